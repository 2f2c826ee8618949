#pragma once

#include <string>

// One running instance per user: an exclusive lock on a file named
// "Lumivex" in $XDG_RUNTIME_DIR; when that is unset, in a folder of the
// user's own ("lumivex-<uid>" in the temporary folder, else
// ~/.cache/lumivex), never in one another user could have made.
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

    // Empty when no folder of the user's own can be had.
    static std::string LockFilePath();

private:
    int m_fd = -1;
};
