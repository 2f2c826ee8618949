#include "SingleInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

std::string CSingleInstanceLock::LockFilePath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime && *runtime) ? runtime : std::filesystem::temp_directory_path().string();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + "Lumivex";
}

bool CSingleInstanceLock::Acquire()
{
    if (m_fd >= 0)
        return true;
    const int fd = ::open(LockFilePath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
