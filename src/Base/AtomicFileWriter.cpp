#include "Base/AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace SF_SOFT_BASE {
namespace {

constexpr const char* kTempSuffix = ".~XXXXXX";
constexpr std::size_t kTempSuffixLength = CAtomicFileWriter::kTemporarySuffixSize;

// "<target>.~XXXXXX", with the file name cut so that the temporary's name
// fits the file system even when the target's name is as long as allowed.
std::string MakeTempPattern(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t maxName = NAME_MAX - kTempSuffixLength;
    std::string pattern = target;
    if (pattern.size() - nameStart > maxName)
        pattern.resize(nameStart + maxName);
    return pattern + kTempSuffix;
}

// Creates an empty file of a name of its own beside the target; its
// descriptor, or -1.
int CreateTemporary(const std::string& target, std::string& name)
{
    if (target.empty())
        return -1;
    const std::string pattern = MakeTempPattern(target);
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0)
        return -1;
    fchmod(fd, 0644);
    name = buffer.data();
    return fd;
}

constexpr int kMaxFreeNameTries = 1000;

// 0 when renamed, else the errno (EEXIST: the name is taken).
int RenameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) == 0)
        return ::unlink(from.c_str()) == 0 ? 0 : errno;
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    if (::access(to.c_str(), F_OK) == 0)
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string NumberedName(const std::string& path, int number)
{
    const std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = path.size();
    return path.substr(0, dot) + "(" + std::to_string(number) + ")" + path.substr(dot);
}

}  // namespace

bool CAtomicFileWriter::SyncFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

std::string CAtomicFileWriter::RenameToFreeName(const std::string& from, const std::string& wanted)
{
    for (int number = 0; number < kMaxFreeNameTries; ++number) {
        const std::string name = number == 0 ? wanted : NumberedName(wanted, number);
        const int error = RenameWithoutReplacing(from, name);
        if (error == 0)
            return name;
        if (error != EEXIST)
            return {};
    }
    return {};
}

CAtomicFileWriter::CAtomicFileWriter(std::string targetPath) : m_target(std::move(targetPath)) {}

CAtomicFileWriter::~CAtomicFileWriter()
{
    Discard();
}

bool CAtomicFileWriter::Open()
{
    Discard();
    m_fd = CreateTemporary(m_target, m_temp);
    m_failed = false;
    return m_fd >= 0;
}

std::string CAtomicFileWriter::CreateTemporaryBeside(const std::string& targetPath)
{
    std::string name;
    const int fd = CreateTemporary(targetPath, name);
    if (fd < 0)
        return {};
    ::close(fd);
    return name;
}

bool CAtomicFileWriter::Write(const void* data, std::size_t size)
{
    if (m_fd < 0 || m_failed)
        return false;
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(m_fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_failed = true;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CAtomicFileWriter::Commit()
{
    if (m_fd < 0)
        return false;
    bool ok = !m_failed && ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    ok = ok && std::rename(m_temp.c_str(), m_target.c_str()) == 0;
    if (!ok)
        ::unlink(m_temp.c_str());
    m_temp.clear();
    return ok;
}

void CAtomicFileWriter::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

bool CAtomicFileWriter::WriteWhole(const std::string& targetPath, const std::string& bytes)
{
    CAtomicFileWriter writer(targetPath);
    return writer.Open() && writer.Write(bytes.data(), bytes.size()) && writer.Commit();
}

}  // namespace SF_SOFT_BASE
