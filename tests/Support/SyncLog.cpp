#include "Support/SyncLog.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <mutex>
#include <set>
#include <string>

namespace {

struct Log {
    std::mutex mutex;
    bool on = false;
    std::set<std::string> synced;
    std::set<std::string> syncedTargets;  // renamed to, from a file flushed before
};

Log& TheLog()
{
    static Log log;
    return log;
}

std::string PathOf(int fd)
{
    char path[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size = ::readlink(link.c_str(), path, sizeof path - 1);
    return size > 0 ? std::string(path, std::size_t(size)) : std::string();
}

std::string Absolute(const char* path)
{
    char resolved[PATH_MAX];
    return path && ::realpath(path, resolved) ? std::string(resolved) : std::string(path ? path : "");
}

}  // namespace

extern "C" int fsync(int fd)
{
    using Fsync = int (*)(int);
    static const auto next = reinterpret_cast<Fsync>(::dlsym(RTLD_NEXT, "fsync"));
    const int result = next(fd);
    Log& log = TheLog();
    std::lock_guard lock(log.mutex);
    if (log.on && result == 0)
        log.synced.insert(PathOf(fd));
    return result;
}

namespace {

// The flushed content goes with the file to its new name.
void NoteMove(const std::string& source, const char* to, int result)
{
    Log& log = TheLog();
    std::lock_guard lock(log.mutex);
    if (log.on && result == 0 && log.synced.count(source)) {
        log.synced.insert(Absolute(to));
        log.syncedTargets.insert(Absolute(to));
    }
}

}  // namespace

extern "C" int rename(const char* from, const char* to)
{
    using Rename = int (*)(const char*, const char*);
    static const auto next = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "rename"));
    const std::string source = Absolute(from);
    const int result = next(from, to);
    NoteMove(source, to, result);
    return result;
}

// Paths relative to the working folder only, as the program renames.
extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags)
{
    using Rename = int (*)(int, const char*, int, const char*, unsigned int);
    static const auto next = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "renameat2"));
    const std::string source = Absolute(from);
    const int result = next(fromFolder, from, toFolder, to, flags);
    NoteMove(source, to, result);
    return result;
}

namespace SYNC_LOG {

void Start()
{
    Log& log = TheLog();
    std::lock_guard lock(log.mutex);
    log.synced.clear();
    log.syncedTargets.clear();
    log.on = true;
}

void Stop()
{
    Log& log = TheLog();
    std::lock_guard lock(log.mutex);
    log.on = false;
}

bool SyncedBeforeRenameTo(const std::string& target)
{
    Log& log = TheLog();
    std::lock_guard lock(log.mutex);
    return log.syncedTargets.count(Absolute(target.c_str())) > 0;
}

}  // namespace SYNC_LOG
