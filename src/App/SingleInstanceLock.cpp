#include "SingleInstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::string CSingleInstanceLock::LockFilePath(const std::string& programFolder)
{
    if (programFolder.empty())
        return {};
    std::string folder = programFolder;
    if (folder.back() != '/')
        folder += '/';
    return folder + "Lumivex-" + std::to_string(::geteuid()) + ".lock";
}

bool CSingleInstanceLock::Acquire(const std::string& programFolder)
{
    if (m_fd >= 0)
        return true;
    const std::string path = LockFilePath(programFolder);
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
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
