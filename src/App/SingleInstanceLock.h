#pragma once

#include <string>

// One running instance per user and program folder: an exclusive lock on
// the file "Lumivex-<uid>.lock" in the program folder, whose Config and
// Index folders it guards. The place depends on nothing in the environment
// while the program folder takes the file; when it refuses it (a read-only
// or foreign install), the user's lock for that folder is taken in the
// runtime folder, else in the cache folder. The lock is held until the
// process ends, also after a crash; a forked child does not hold it.
class CSingleInstanceLock {
public:
    enum class Result { Acquired, HeldByAnother, Unavailable };

    CSingleInstanceLock() = default;
    ~CSingleInstanceLock();
    CSingleInstanceLock(const CSingleInstanceLock&) = delete;
    CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

    // Acquired when this process now holds the lock of the program folder;
    // HeldByAnother when another holds it; Unavailable when no lock file
    // could be opened anywhere.
    Result Acquire(const std::string& programFolder);
    // True when the lock had to be taken outside the program folder, as the
    // folder refused the lock file (the folder itself, or only that file).
    bool IsOutsideProgramFolder() const { return m_outside; }
    // Why the program folder refused the lock file (an errno: ELOOP for a
    // link, EISDIR for a folder, EACCES, EROFS); 0 when it took it.
    int LockFileError() const { return m_lockFileError; }

    // Empty without a program folder.
    static std::string LockFilePath(const std::string& programFolder);
    // The user's lock of the program folder outside it; empty when neither
    // the runtime nor the cache folder is known.
    static std::string FallbackLockFilePath(const std::string& programFolder);

private:
    Result Lock(int fd);

    int m_fd = -1;
    bool m_outside = false;
    int m_lockFileError = 0;
};
