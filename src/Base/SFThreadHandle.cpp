#include "Base/SFThreadHandle.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

#include "Base/SFSignalStack.h"

namespace SF_SOFT_BASE {

std::uint32_t CurrentThreadId()
{
    return static_cast<std::uint32_t>(::syscall(SYS_gettid));
}

CSFThreadHandle::CSFThreadHandle(SFThreadRoutine routine, void* argument)
    : m_routine(routine), m_argument(argument)
{
}

std::shared_ptr<CSFThreadHandle> CSFThreadHandle::Start(std::uint32_t stackSize,
                                                        SFThreadRoutine routine, void* argument)
{
    std::shared_ptr<CSFThreadHandle> handle(new CSFThreadHandle(routine, argument));
    handle->m_joined = true;  // nothing to join or detach until the thread is made
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0)
        return nullptr;
    if (stackSize != 0 && pthread_attr_setstacksize(&attr, stackSize) != 0) {
        pthread_attr_destroy(&attr);
        return nullptr;
    }
    // The new thread owns one reference to its record until its body ends.
    auto* own = new std::shared_ptr<CSFThreadHandle>(handle);
    int rc = pthread_create(&handle->m_thread, &attr, &CSFThreadHandle::Entry, own);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete own;
        return nullptr;
    }
    std::unique_lock<std::mutex> lock(handle->m_mutex);
    handle->m_joined = false;
    handle->m_cond.wait(lock, [&] { return handle->m_threadId != 0; });
    return handle;
}

void* CSFThreadHandle::Entry(void* self)
{
    std::unique_ptr<std::shared_ptr<CSFThreadHandle>> own(
        static_cast<std::shared_ptr<CSFThreadHandle>*>(self));
    (*own)->RunBody();
    return nullptr;
}

void CSFThreadHandle::RunBody()
{
    SFEnsureSignalStack();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_threadId = CurrentThreadId();
    }
    m_cond.notify_all();
    std::uint32_t code = m_routine(m_argument);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_exitCode = code;
        m_ended = true;
    }
    m_cond.notify_all();
}

CSFThreadHandle::~CSFThreadHandle()
{
    if (!m_joined)
        pthread_detach(m_thread);
}

int CSFThreadHandle::Wait(std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_joined)
        return 0;
    if (IsCurrentThread())
        return timeoutMs == 0xFFFFFFFF ? -1 : 258;
    auto ended = [this] { return m_ended; };
    if (timeoutMs == 0xFFFFFFFF)
        m_cond.wait(lock, ended);
    else if (!m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended))
        return 258;
    pthread_join(m_thread, nullptr);
    m_joined = true;
    return 0;
}

std::uint32_t CSFThreadHandle::GetThreadId() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_threadId;
}

std::uint32_t CSFThreadHandle::GetExitCode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_exitCode;
}

bool CSFThreadHandle::IsCurrentThread() const
{
    return pthread_equal(m_thread, pthread_self()) != 0;
}

}  // namespace SF_SOFT_BASE
