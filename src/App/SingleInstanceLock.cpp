#include "SingleInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

// A folder of this user's own: a real folder (not a link), owned by the
// user and writable by no one else. Made (0700) when missing.
bool IsOwnFolder(const std::string& folder)
{
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Without a runtime folder: "lumivex-<uid>" in the temporary folder, or
// when another user took that name, "lumivex" in the user's cache folder.
std::string FallbackFolder()
{
    std::error_code error;
    std::string temp = std::filesystem::temp_directory_path(error).string();
    if (error || temp.empty())
        temp = "/tmp";
    const std::string own = temp + "/lumivex-" + std::to_string(::geteuid());
    if (IsOwnFolder(own))
        return own;
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    const std::string cache = std::string(home) + "/.cache";
    ::mkdir(cache.c_str(), 0700);
    const std::string folder = cache + "/lumivex";
    return IsOwnFolder(folder) ? folder : std::string();
}

}  // namespace

std::string CSingleInstanceLock::LockFilePath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime && *runtime) ? runtime : FallbackFolder();
    if (folder.empty())
        return {};
    if (folder.back() != '/')
        folder += '/';
    return folder + "Lumivex";
}

bool CSingleInstanceLock::Acquire()
{
    if (m_fd >= 0)
        return true;
    const std::string path = LockFilePath();
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

CSingleInstanceLock::~CSingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
