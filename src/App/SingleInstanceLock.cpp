#include "SingleInstanceLock.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string EnvironmentFolder(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value == '/' ? WithSlash(value) : std::string();
}

// The runtime folder, else the cache folder (made when missing).
std::string UserLockFolder()
{
    std::string folder = EnvironmentFolder("XDG_RUNTIME_DIR");
    if (!folder.empty())
        return folder;
    folder = EnvironmentFolder("XDG_CACHE_HOME");
    if (folder.empty()) {
        const std::string home = EnvironmentFolder("HOME");
        if (home.empty())
            return {};
        folder = home + ".cache/";
    }
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

// The descriptors of the locks held, plus one (0: a free slot). A forked
// child closes its copies at once: a child stuck before its exec would
// otherwise keep the lock after this process ended.
constexpr int kHeldSlots = 8;
std::atomic<int> g_heldPlusOne[kHeldSlots];

void CloseHeldInChild()
{
    for (std::atomic<int>& slot : g_heldPlusOne)
        if (const int fdPlusOne = slot.load(); fdPlusOne > 0)
            ::close(fdPlusOne - 1);
}

void RememberHeld(int fd)
{
    static const bool registered = ::pthread_atfork(nullptr, nullptr, &CloseHeldInChild) == 0;
    (void)registered;
    for (std::atomic<int>& slot : g_heldPlusOne) {
        int expected = 0;
        if (slot.compare_exchange_strong(expected, fd + 1))
            return;
    }
}

void ForgetHeld(int fd)
{
    for (std::atomic<int>& slot : g_heldPlusOne) {
        int expected = fd + 1;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

// FNV-1a: a stable name for a program folder.
std::uint64_t FolderHash(const std::string& folder)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char byte : folder) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    return hash;
}

// The descriptor, else -1 with *error set.
int OpenLockFile(const std::string& path, int* error)
{
    const int fd =
        path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    *error = fd >= 0 ? 0 : path.empty() ? ENOENT : errno;
    return fd;
}

}  // namespace

std::string CSingleInstanceLock::LockFilePath(const std::string& programFolder)
{
    if (programFolder.empty())
        return {};
    return WithSlash(programFolder) + "Lumivex-" + std::to_string(::geteuid()) + ".lock";
}

std::string CSingleInstanceLock::FallbackLockFilePath(const std::string& programFolder)
{
    const std::string folder = UserLockFolder();
    if (folder.empty())
        return {};
    char name[64];
    std::snprintf(name, sizeof name, "Lumivex-%u-%016llx.lock", unsigned(::geteuid()),
                  static_cast<unsigned long long>(FolderHash(WithSlash(programFolder))));
    return folder + name;
}

CSingleInstanceLock::Result CSingleInstanceLock::Acquire(const std::string& programFolder)
{
    if (m_fd >= 0)
        return Result::Acquired;
    int fd = OpenLockFile(LockFilePath(programFolder), &m_lockFileError);
    m_outside = fd < 0;
    int fallbackError = 0;
    if (m_outside)
        fd = OpenLockFile(FallbackLockFilePath(programFolder), &fallbackError);
    return fd < 0 ? Result::Unavailable : Lock(fd);
}

CSingleInstanceLock::Result CSingleInstanceLock::Lock(int fd)
{
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return Result::HeldByAnother;
    }
    m_fd = fd;
    RememberHeld(fd);
    return Result::Acquired;
}

CSingleInstanceLock::~CSingleInstanceLock()
{
    if (m_fd >= 0) {
        ForgetHeld(m_fd);
        ::close(m_fd);
    }
}
