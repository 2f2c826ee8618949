#pragma once

#include <string>

// One running instance per user and program folder: an exclusive lock on
// the file "Lumivex-<uid>.lock" in the program folder, whose Config and
// Index folders it guards. The place depends on nothing in the environment.
// The lock is held until the process ends, also after a crash.
class CSingleInstanceLock {
public:
    CSingleInstanceLock() = default;
    ~CSingleInstanceLock();
    CSingleInstanceLock(const CSingleInstanceLock&) = delete;
    CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

    // True when this process now holds the lock of the program folder;
    // false when another holds it. A lock file that cannot be opened does
    // not stop the program (true).
    bool Acquire(const std::string& programFolder);

    // Empty without a program folder.
    static std::string LockFilePath(const std::string& programFolder);

private:
    int m_fd = -1;
};
