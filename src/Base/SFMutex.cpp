#include "Base/SFMutex.h"

namespace SF_SOFT_BASE {

void CSFMutex::Lock() { m_mutex.lock(); }

void CSFMutex::Unlock() { m_mutex.unlock(); }

int CSFMutex::TryLock() { return m_mutex.try_lock() ? 1 : 0; }

}  // namespace SF_SOFT_BASE
