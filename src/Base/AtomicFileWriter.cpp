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

// Where the extension of the file name in path starts (its end when none).
std::size_t ExtensionStart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? path.size() : dot;
}

std::string NumberedName(const std::string& path, int number)
{
    const std::size_t dot = ExtensionStart(path);
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

std::string CAtomicFileWriter::IncompleteName(const std::string& target)
{
    const std::size_t dot = ExtensionStart(target);
    return target.substr(0, dot) + "_incomplete" + target.substr(dot);
}

CAtomicFileWriter::CAtomicFileWriter(std::string targetPath) : m_target(std::move(targetPath)) {}

CAtomicFileWriter::~CAtomicFileWriter()
{
    Discard();
}

bool CAtomicFileWriter::Open()
{
    Discard();
    errno = 0;
    m_temp = CHeldTemporary::CreateBeside(m_target);
    m_failed = false;
    m_error = m_temp.IsValid() ? 0 : (errno ? errno : EIO);
    return m_temp.IsValid();
}

bool CAtomicFileWriter::Write(const void* data, std::size_t size)
{
    if (!m_temp.IsValid() || m_failed)
        return false;
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(m_temp.Descriptor(), bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_error = written < 0 ? errno : ENOSPC;
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
    if (!m_temp.IsValid())
        return false;
    bool ok = !m_failed && ::fsync(m_temp.Descriptor()) == 0;
    // Renamed while still held; the descriptor closes after.
    ok = ok && std::rename(m_temp.Path().c_str(), m_target.c_str()) == 0;
    if (!ok && !m_failed)
        m_error = errno;
    if (ok)
        m_temp.Release();
    else
        m_temp.Remove();
    return ok;
}

std::string CAtomicFileWriter::CommitToFreeName()
{
    std::string placed;
    if (m_temp.IsValid() && !m_failed && ::fsync(m_temp.Descriptor()) == 0)
        placed = RenameToFreeName(m_temp.Path(), m_target);
    if (placed.empty())
        m_temp.Remove();
    else
        m_temp.Release();
    return placed;
}

void CAtomicFileWriter::Discard()
{
    m_temp.Remove();
}

bool CAtomicFileWriter::WriteWhole(const std::string& targetPath, const std::string& bytes, int* error)
{
    CAtomicFileWriter writer(targetPath);
    const bool written = writer.Open() && writer.Write(bytes.data(), bytes.size()) && writer.Commit();
    if (error)
        *error = writer.Error();
    return written;
}

}  // namespace SF_SOFT_BASE
