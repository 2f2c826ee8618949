#pragma once

#include <string>

// One running instance per user: an exclusive lock on a file named
// "Lumivex" in $XDG_RUNTIME_DIR (the temporary folder when that is unset).
// The lock is held until the process ends, also after a crash.
class CSingleInstanceLock {
public:
    CSingleInstanceLock() = default;
    ~CSingleInstanceLock();
    CSingleInstanceLock(const CSingleInstanceLock&) = delete;
    CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another holds it.
    // A lock file that cannot be opened does not stop the program (true).
    bool Acquire();

    static std::string LockFilePath();

private:
    int m_fd = -1;
};
