#pragma once

#include "Platform/PlayModule/Engine/TimeSource.h"

#include <atomic>

namespace PlayModuleTest {

// Every reading is a second later: a play clock on it finds every frame due.
class RushingTimeSource : public PLAY_MODULE::ITimeSource {
public:
    std::int64_t NowUs() const override { return m_now += 1'000'000; }

private:
    mutable std::atomic<std::int64_t> m_now{0};
};

// Stands still until the test moves it.
class ManualTimeSource : public PLAY_MODULE::ITimeSource {
public:
    std::int64_t NowUs() const override { return m_now.load(); }
    void AdvanceMs(std::int64_t ms) { m_now += ms * 1000; }

private:
    std::atomic<std::int64_t> m_now{1'000'000'000};
};

}  // namespace PlayModuleTest
