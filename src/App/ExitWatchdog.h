#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Bounds a step of the shutdown: unless disarmed within the deadline, onLate
// runs on a thread of its own (to end the process, so that a worker blocked
// in a system call cannot keep it, and its single-instance lock, alive).
class CExitWatchdog {
public:
    CExitWatchdog(int deadlineMs, std::function<void()> onLate);
    // Disarms and joins.
    ~CExitWatchdog();
    CExitWatchdog(const CExitWatchdog&) = delete;
    CExitWatchdog& operator=(const CExitWatchdog&) = delete;

    void Disarm();

private:
    void Watch(int deadlineMs);

    std::function<void()> m_onLate;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_disarmed = false;
    std::thread m_thread;
};
