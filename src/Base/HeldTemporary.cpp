#include "Base/HeldTemporary.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SF_SOFT_BASE {

namespace {

// "<target>.~lumivex-XXXXXX", with the file name cut so that the
// temporary's name fits the file system even when the target's name is as
// long as allowed.
std::string MakePattern(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t maxName = NAME_MAX - CHeldTemporary::kSuffixSize;
    std::string pattern = target;
    if (pattern.size() - nameStart > maxName)
        pattern.resize(nameStart + maxName);
    return pattern + CHeldTemporary::kMark + std::string(CHeldTemporary::kRandomSize, 'X');
}

bool Lock(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// A clean-up may try a file between its making and its locking; it lets go
// of a young empty one at once, so the maker waits that out.
bool LockNewFile(int fd)
{
    constexpr int kTries = 1000;
    for (int tried = 0; tried < kTries; ++tried) {
        if (Lock(fd))
            return true;
        ::usleep(1000);
    }
    return false;
}

}  // namespace

CHeldTemporary::~CHeldTemporary()
{
    Release();
}

CHeldTemporary::CHeldTemporary(CHeldTemporary&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1))
{
}

CHeldTemporary& CHeldTemporary::operator=(CHeldTemporary&& other) noexcept
{
    if (this != &other) {
        Release();
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

CHeldTemporary CHeldTemporary::CreateBeside(const std::string& target)
{
    CHeldTemporary held;
    if (target.empty())
        return held;
    const std::string pattern = MakePattern(target);
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0)
        return held;
    ::fchmod(fd, 0644);
    if (!LockNewFile(fd)) {
        ::unlink(buffer.data());
        ::close(fd);
        return held;
    }
    held.m_path = buffer.data();
    held.m_fd = fd;
    return held;
}

CHeldTemporary CHeldTemporary::TryHold(const std::string& path)
{
    CHeldTemporary held;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return held;
    if (!Lock(fd)) {
        ::close(fd);
        return held;
    }
    held.m_path = path;
    held.m_fd = fd;
    return held;
}

bool CHeldTemporary::EndsWithSuffix(const std::string& name, std::size_t end)
{
    if (end > name.size() || end < kSuffixSize)
        return false;
    const std::size_t start = end - kSuffixSize;
    return name.compare(start, kMarkSize, kMark) == 0 &&
           std::all_of(name.begin() + std::ptrdiff_t(start + kMarkSize), name.begin() + std::ptrdiff_t(end),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void CHeldTemporary::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void CHeldTemporary::Remove()
{
    if (m_fd >= 0 && !m_path.empty())
        ::unlink(m_path.c_str());
    Release();
}

}  // namespace SF_SOFT_BASE
