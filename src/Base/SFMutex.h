#pragma once

#include <mutex>

namespace SF_SOFT_BASE {

// Recursive lock: the owning thread may lock again.
class CSFMutex {
public:
    CSFMutex() = default;
    virtual ~CSFMutex() = default;
    CSFMutex(const CSFMutex&) = delete;
    CSFMutex& operator=(const CSFMutex&) = delete;

    void Lock();
    void Unlock();
    // Nonzero when entered, 0 when another thread holds it.
    int TryLock();

private:
    std::recursive_mutex m_mutex;
};

}  // namespace SF_SOFT_BASE
