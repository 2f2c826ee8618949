#include "Base/SFThread.h"

namespace SF_SOFT_BASE {

int CSFThread::Create(std::uint32_t stackSize, SFThreadRoutine routine, void* argument,
                      std::uint32_t /*creationFlags*/, std::uint32_t* threadId)
{
    if (m_handle)
        return 1;
    m_handle = CSFThreadHandle::Start(stackSize, routine, argument);
    if (!m_handle)
        return 0;
    if (threadId)
        *threadId = m_handle->GetThreadId();
    return 1;
}

int CSFThread::Wait(std::uint32_t timeoutMs)
{
    if (!m_handle)
        return -1;
    int result = m_handle->Wait(timeoutMs);
    if (result == 0)
        m_handle.reset();
    return result;
}

int CSFThread::IsRunning() const { return m_handle ? 1 : 0; }

std::shared_ptr<CSFThreadHandle> CSFThread::GetState() const { return m_handle; }

}  // namespace SF_SOFT_BASE
