#include "Base/SFEvent.h"

#include <chrono>

namespace SF_SOFT_BASE {

int CSFEvent::Create(int initialState, int manualReset)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_created = true;
    m_manualReset = manualReset != 0;
    m_signalled = initialState != 0;
    return 1;
}

int CSFEvent::Set()
{
    // Notified under the lock: a waiter that wakes may destroy the event at once.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_created)
        return 0;
    m_signalled = true;
    if (m_manualReset)
        m_cond.notify_all();
    else
        m_cond.notify_one();
    return 1;
}

void CSFEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_created)
        m_signalled = false;
}

int CSFEvent::Wait(std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_created)
        return kNotCreated;
    auto signalled = [this] { return m_signalled || !m_created; };
    if (timeoutMs == kInfinite)
        m_cond.wait(lock, signalled);
    else if (!m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), signalled))
        return kTimeout;
    if (!m_created)
        return kNotCreated;
    if (!m_manualReset)
        m_signalled = false;
    return kSignalled;
}

int CSFEvent::Close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_created = false;
    m_signalled = false;
    m_cond.notify_all();  // a waiter on a closed event returns -1
    return 1;
}

bool CSFEvent::IsCreated() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_created;
}

}  // namespace SF_SOFT_BASE
