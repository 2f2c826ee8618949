#include "PlayManager/IVSPortPool.h"

#include <atomic>

#include "Base/SFAutoMutexLock.h"

namespace {

std::atomic<CIVSPortPool*> g_pool{nullptr};
SF_SOFT_BASE::CSFMutex g_creationLock;

}  // namespace

CIVSPortPool* CIVSPortPool::Instance()
{
    if (CIVSPortPool* pool = g_pool.load(std::memory_order_acquire))
        return pool;
    SF_SOFT_BASE::CSFAutoMutexLock lock(&g_creationLock);
    if (!g_pool.load(std::memory_order_relaxed))
        g_pool.store(new CIVSPortPool, std::memory_order_release);
    return g_pool.load(std::memory_order_relaxed);
}

int CIVSPortPool::Alloc()
{
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_lock);
    for (int port = 0; port < kPortCount; ++port) {
        if (m_slots[port] == 0) {
            m_slots[port] = 1;
            return port;
        }
    }
    return -1;
}

void CIVSPortPool::Free(int port)
{
    if (static_cast<unsigned>(port) >= static_cast<unsigned>(kPortCount))
        return;
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_lock);
    m_slots[port] = 0;
}
