#pragma once

#include <pthread.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace SF_SOFT_BASE {

using SFThreadRoutine = std::uint32_t (*)(void*);

// One started thread. Shared by the CSFThread that started it and whoever
// waits for it; the running thread holds a reference of its own, so the
// record outlives the thread body.
class CSFThreadHandle : public std::enable_shared_from_this<CSFThreadHandle> {
public:
    // Starts the routine on a new thread; null when the thread cannot be made.
    // stackSize 0 means the default.
    static std::shared_ptr<CSFThreadHandle> Start(std::uint32_t stackSize, SFThreadRoutine routine,
                                                  void* argument);
    ~CSFThreadHandle();
    CSFThreadHandle(const CSFThreadHandle&) = delete;
    CSFThreadHandle& operator=(const CSFThreadHandle&) = delete;

    // 0 when the thread has ended (it is then joined), 258 on time-out,
    // -1 when called from the thread itself without a time limit.
    int Wait(std::uint32_t timeoutMs);
    std::uint32_t GetThreadId() const;
    std::uint32_t GetExitCode() const;
    bool IsCurrentThread() const;

private:
    CSFThreadHandle(SFThreadRoutine routine, void* argument);
    static void* Entry(void* self);
    void RunBody();

    SFThreadRoutine m_routine;
    void* m_argument;
    pthread_t m_thread{};
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    std::uint32_t m_threadId = 0;
    std::uint32_t m_exitCode = 0;
    bool m_ended = false;
    bool m_joined = false;
};

// Id of the calling thread, as the system numbers threads.
std::uint32_t CurrentThreadId();

}  // namespace SF_SOFT_BASE
