#pragma once

namespace SF_SOFT_BASE {

class CSFMutex;

// Scoped lock over a CSFMutex that may be released early and taken again.
class CSFAutoMutexLock {
public:
    explicit CSFAutoMutexLock(CSFMutex* mutex);
    virtual ~CSFAutoMutexLock();
    CSFAutoMutexLock(const CSFAutoMutexLock&) = delete;
    CSFAutoMutexLock& operator=(const CSFAutoMutexLock&) = delete;

    void Unlock();
    void Lock();

private:
    CSFMutex* m_mutex;
    int m_locked;
};

}  // namespace SF_SOFT_BASE
