#include "Base/FileSystemHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "Base/BaseLog.h"

#include <cerrno>
#include <filesystem>

#include "Base/TextCodec.h"

namespace SF_SOFT_BASE {
namespace {

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool QueryAvailableSpace(const std::string& path, std::uint64_t* bytes)
{
    std::filesystem::path probe = path.empty() ? "." : path;
    while (!Exists(probe.string())) {
        std::filesystem::path parent = probe.parent_path();
        if (parent.empty() || parent == probe) {
            probe = ".";
            break;
        }
        probe = parent;
    }
    struct statvfs vfs;
    if (::statvfs(probe.c_str(), &vfs) != 0)
        return false;
    *bytes = std::uint64_t(vfs.f_bavail) * vfs.f_frsize;
    return true;
}

std::uint64_t GetDriveFreeSpace(const char* path)
{
    std::uint64_t bytes = 0;
    if (!path || !QueryAvailableSpace(path, &bytes))
        return 0;
    return bytes;
}

int CreateDirectoryRecursive(const std::wstring& path)
{
    std::string narrow = WideToUtf8(path);
    qCDebug(lcBase, "%s", narrow.c_str());
    if (Exists(narrow))
        return 0;
    int result = -1;
    for (std::size_t i = 1; i < narrow.size(); ++i) {
        if (narrow[i] != '/')
            continue;
        std::string folder = narrow.substr(0, i);
        if (Exists(folder))
            continue;
        // Another thread may make the same folder in between.
        result = ::mkdir(folder.c_str(), 0755) == 0 || (errno == EEXIST && IsFolder(folder)) ? 0 : -1;
        if (result != 0)
            break;
    }
    // Success only when the path now exists: without a trailing '/' its
    // last part is never made. Another thread may have made every part.
    return Exists(narrow) ? 0 : -1;
}

std::wstring MakeAbsoluteDirPath(const std::wstring& path)
{
    std::wstring rest = !path.empty() && path[0] == L'\\' ? path.substr(1) : path;
    std::filesystem::path p(WideToUtf8(rest));
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(p, ec);
    if (ec)
        absolute = p;
    std::wstring result = Utf8ToWide(absolute.lexically_normal().generic_string());
    if (result.empty() || result.back() != L'/')
        result += L'/';
    return result;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsAbsentOrSmallRegularFile(const std::string& path, std::uintmax_t maxBytes)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return true;
    return S_ISREG(st.st_mode) && std::uintmax_t(st.st_size) <= maxBytes;
}

int OpenRegularFileForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = ENXIO;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes)
{
    bytes.clear();
    const int fd = OpenRegularFileForReading(path);
    if (fd < 0)
        return false;
    char buffer[65536];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0 && bytes.size() + std::size_t(got) <= maxBytes)
        bytes.append(buffer, std::size_t(got));
    ::close(fd);
    if (got == 0)
        return true;
    bytes.clear();
    return false;
}

std::string FollowLinks(const std::string& path)
{
    constexpr int kMaxLinks = 40;
    std::filesystem::path current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error)))
            return current.string();
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error)
            return path;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return path;
}

void DebugLogWide(const std::wstring& text)
{
    qCDebug(lcBase, "%s", WideToUtf8(text).c_str());
}

}  // namespace SF_SOFT_BASE
