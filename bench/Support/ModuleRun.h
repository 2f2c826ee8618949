#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/PlayModule.h"

namespace BENCH {

using PLAY_MODULE::PM_FRAME_INFO;

// Counts what one play module hands over.
class CFrameCounter : public PLAY_MODULE::IPlayModuleListener {
public:
    void OnFileRefFinished(PLAY_MODULE::CPlayModule*, int) override { ++indexes; }
    void OnFileEnd(PLAY_MODULE::CPlayModule*) override { ++ends; }
    void OnStreamData(PLAY_MODULE::CPlayModule*, unsigned char*, int, PM_FRAME_INFO*, int) override {}
    void OnFrameVisible(PLAY_MODULE::CPlayModule*, int, unsigned char*, int, PM_FRAME_INFO* info) override
    {
        stampMs = info->nStampMs;
        key = info->nKeyFrame != 0;
        ++frames;
    }
    void OnFileTimeDone(PLAY_MODULE::CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(PLAY_MODULE::CPlayModule*, unsigned char*, int, int, int, int) override { return 1; }

    // Polls until condition holds; false after limit.
    template <typename Condition>
    static bool WaitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(60))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }

    std::atomic<int> frames{0};
    std::atomic<int> ends{0};
    std::atomic<int> indexes{0};
    std::atomic<int> stampMs{-1};
    std::atomic<bool> key{false};
};

// A module opened, shown its first frame, paused, with its index scanned.
struct CPausedModule {
    CFrameCounter counter;
    PLAY_MODULE::CPlayModule module{&counter};
    bool Open(const std::string& path);
    double DurationMs();
    // Wall ms of action until the module has shown one more frame.
    template <typename Action>
    double Time(Action action)
    {
        const int before = counter.frames;
        const auto start = std::chrono::steady_clock::now();
        action();
        CFrameCounter::WaitFor([&] { return counter.frames > before; }, std::chrono::seconds(10));
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    double SeekExact(double timeMs);
};

}  // namespace BENCH
