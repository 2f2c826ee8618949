#include "Base/SFAutoMutexLock.h"

#include "Base/SFMutex.h"

namespace SF_SOFT_BASE {

CSFAutoMutexLock::CSFAutoMutexLock(CSFMutex* mutex) : m_mutex(mutex), m_locked(1)
{
    m_mutex->Lock();
}

CSFAutoMutexLock::~CSFAutoMutexLock()
{
    if (m_locked == 1)
        m_mutex->Unlock();
}

void CSFAutoMutexLock::Unlock()
{
    if (m_locked == 1) {
        m_mutex->Unlock();
        m_locked = 0;
    }
}

void CSFAutoMutexLock::Lock()
{
    if (m_locked == 0) {
        m_mutex->Lock();
        m_locked = 1;
    }
}

}  // namespace SF_SOFT_BASE
