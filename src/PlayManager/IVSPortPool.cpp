#include "PlayManager/IVSPortPool.h"

#include "Base/SFAutoMutexLock.h"

CIVSPortPool* CIVSPortPool::Instance()
{
    // Never destroyed: library threads may free ports while the process ends.
    static CIVSPortPool* const pool = new CIVSPortPool;
    return pool;
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
