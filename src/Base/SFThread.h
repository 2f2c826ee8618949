#pragma once

#include <cstdint>
#include <memory>

#include "Base/SFThreadHandle.h"

namespace SF_SOFT_BASE {

// The one place where the program starts a thread.
class CSFThread {
public:
    CSFThread() = default;
    // Never waits for or ends the thread: a running thread goes on by itself.
    virtual ~CSFThread() = default;
    CSFThread(const CSFThread&) = delete;
    CSFThread& operator=(const CSFThread&) = delete;

    // 1 when the thread runs (or already ran), 0 when it could not be made.
    int Create(std::uint32_t stackSize, SFThreadRoutine routine, void* argument,
               std::uint32_t creationFlags, std::uint32_t* threadId = nullptr);
    // -1 when not running; 0 when it ended (the state is then cleared); 258 on time-out.
    int Wait(std::uint32_t timeoutMs);
    int IsRunning() const;
    // The running thread's record (null when not running).
    std::shared_ptr<CSFThreadHandle> GetState() const;

private:
    std::shared_ptr<CSFThreadHandle> m_handle;
};

}  // namespace SF_SOFT_BASE
