#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace SF_SOFT_BASE {

// Signalled/unsignalled event, manual- or auto-reset.
// Wait results: 0 signalled, 258 timed out, -1 not created.
class CSFEvent {
public:
    static constexpr int kSignalled = 0;
    static constexpr int kTimeout = 258;
    static constexpr int kNotCreated = -1;
    static constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

    CSFEvent() = default;
    virtual ~CSFEvent() = default;
    CSFEvent(const CSFEvent&) = delete;
    CSFEvent& operator=(const CSFEvent&) = delete;

    // 1 on success.
    int Create(int initialState, int manualReset);
    // 0 when not created.
    int Set();
    void Reset();
    int Wait(std::uint32_t timeoutMs);
    int Close();
    bool IsCreated() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_created = false;
    bool m_manualReset = false;
    bool m_signalled = false;
};

}  // namespace SF_SOFT_BASE
