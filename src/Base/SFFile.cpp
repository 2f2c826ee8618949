#include "Base/SFFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Base/FileSystemHelpers.h"
#include "Platform/Win32/Win32Types.h"

namespace SF_SOFT_BASE {
namespace {

int OpenFlags(std::uint32_t access, std::uint32_t disposition)
{
    int flags = O_CLOEXEC;
    bool read = access & GENERIC_READ;
    bool write = access & GENERIC_WRITE;
    flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return flags;  // OPEN_EXISTING
    }
}

}  // namespace

CSFFile::~CSFFile() { Close(); }

int CSFFile::Open(const char* name, std::uint32_t access, std::uint32_t /*shareMode*/,
                  std::uint32_t creationDisposition, std::uint32_t /*flags*/)
{
    if (!name)
        return 0;
    Close();
    int fd;
    do {
        fd = ::open(name, OpenFlags(access, creationDisposition), 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return 0;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    m_fd = fd;
    return 1;
}

void CSFFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::uint32_t CSFFile::Read(void* buffer, std::uint32_t count)
{
    if (m_fd < 0 || !buffer)
        return 0;
    std::uint32_t done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::uint32_t>(n);
    }
    return done;
}

std::uint32_t CSFFile::Write(const void* buffer, std::uint32_t count)
{
    if (m_fd < 0 || !buffer)
        return 0;
    std::uint32_t done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0;
        done += static_cast<std::uint32_t>(n);
    }
    return done;
}

int CSFFile::Seek(std::uint32_t low, std::uint32_t high, int origin)
{
    if (m_fd < 0)
        return 0;
    auto offset = static_cast<std::int64_t>((std::uint64_t(high) << 32) | low);
    int whence = origin == 2 ? SEEK_END : origin == 1 ? SEEK_CUR : SEEK_SET;
    if (origin == 2)
        offset = -offset;
    return ::lseek(m_fd, offset, whence) < 0 ? 0 : 1;
}

int CSFFile::SeekToEnd(std::uint32_t* high, std::uint32_t* low)
{
    if (m_fd < 0)
        return 0;
    off_t end = ::lseek(m_fd, 0, SEEK_END);
    if (end < 0)
        return 0;
    if (high)
        *high = static_cast<std::uint32_t>(std::uint64_t(end) >> 32);
    if (low)
        *low = static_cast<std::uint32_t>(end);
    return 1;
}

int CSFFile::CreateDirectory(const char* path)
{
    return path && ::mkdir(path, 0755) == 0 ? 1 : 0;
}

int CSFFile::DeleteFile(const char* path)
{
    return path && ::unlink(path) == 0 ? 1 : 0;
}

void CSFFile::GetCurrentDirectory(std::uint32_t size, char* buffer)
{
    if (!buffer || size == 0)
        return;
    buffer[0] = '\0';
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return;
    std::strncpy(buffer, cwd, size - 1);
    buffer[size - 1] = '\0';
    std::free(cwd);
}

int CSFFile::GetDiskFreeSpace(const char* path, std::uint64_t* freeBytes)
{
    std::uint64_t bytes = 0;
    bool known = path && QueryAvailableSpace(path, &bytes);
    if (freeBytes)
        *freeBytes = bytes;
    return known ? 1 : 0;
}

}  // namespace SF_SOFT_BASE
