#include "Common/IndexFileStore.h"

#include "Base/FileSystemHelpers.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Common/LangString.h"
#include "Common/SaveFolders.h"
#include "Base/AtomicFileWriter.h"
#include "FileIndex/SFFileFind.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using SF_SOFT_BASE::Utf8ToWide;
using SF_SOFT_BASE::WideToUtf8;

void PutInt64(unsigned char* out, std::int64_t value)
{
    auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

std::int64_t GetInt64(const unsigned char* in)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t(in[i]) << (8 * i);
    return static_cast<std::int64_t>(bits);
}

// A time value after the calendar conversion (years from 2038 count as 2037).
std::int64_t CalendarTime(std::int64_t seconds)
{
    if (seconds <= 0)
        return seconds;
    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(static_cast<std::uint32_t>(std::min<std::int64_t>(seconds, UINT32_MAX)));
    return date.ToTime();
}

// Up to limit bytes from the start of a regular file (never a FIFO or a
// device, which could block); false when it cannot be opened or read.
bool ReadFileStart(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes)
{
    const int fd = SF_SOFT_BASE::OpenRegularFileForReading(path);
    if (fd < 0)
        return false;
    struct stat status{};
    bool ok = ::fstat(fd, &status) == 0;
    bytes->assign(ok ? std::min<std::uint64_t>(limit, std::uint64_t(status.st_size)) : 0, 0);
    std::size_t done = 0;
    while (ok && done < bytes->size()) {
        const ssize_t n = ::read(fd, bytes->data() + done, bytes->size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += ok ? std::size_t(n) : 0;
    }
    ::close(fd);
    return ok;
}

bool ParseIndexHead(const std::vector<unsigned char>& bytes, CIndexFileStore::Head* head)
{
    if (bytes.size() < CIndexFileStore::kHeadSize)
        return false;
    head->size = GetInt64(bytes.data());
    head->creationTime = GetInt64(bytes.data() + 8);
    head->modificationTime = GetInt64(bytes.data() + 16);
    return true;
}

}  // namespace

CIndexFileStore::CIndexFileStore(std::wstring folder, FreeSpaceQuery freeSpace)
    : m_folder(std::move(folder)), m_freeSpace(std::move(freeSpace))
{
    if (!m_freeSpace)
        m_freeSpace = SF_SOFT_BASE::QueryAvailableSpace;
}

std::wstring CIndexFileStore::GetIndexFilePath(const std::wstring& recordingPath) const
{
    // The name after the last separator of either kind, so that the index
    // file always lands in the index folder.
    const auto cut = recordingPath.find_last_of(L"/\\");
    std::wstring name = cut == std::wstring::npos ? recordingPath : recordingPath.substr(cut + 1);
    if (name.size() >= 4)
        name.resize(name.size() - 4);
    return m_folder + name + L".qxi";
}

bool CIndexFileStore::ReadRecordingHead(const std::string& recordingPath, Head* head)
{
    struct statx status{};
    if (statx(AT_FDCWD, recordingPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &status) != 0)
        return false;
    head->size = static_cast<std::int64_t>(status.stx_size);
    head->creationTime = (status.stx_mask & STATX_BTIME) ? status.stx_btime.tv_sec
                                                          : status.stx_ctime.tv_sec;
    head->modificationTime = status.stx_mtime.tv_sec;
    return true;
}

bool CIndexFileStore::IsIndexFileValid(const std::wstring& recordingPath) const
{
    return ReadValidIndex(recordingPath, kHeadSize, nullptr);
}

bool CIndexFileStore::ReadIndexFile(const std::wstring& recordingPath, std::vector<unsigned char>* data) const
{
    return ReadValidIndex(recordingPath, SIZE_MAX, data) && data->size() > 0;
}

bool CIndexFileStore::ReadValidIndex(const std::wstring& recordingPath, std::size_t limit,
                                     std::vector<unsigned char>* data) const
{
    Head recording;
    if (!ReadRecordingHead(WideToUtf8(recordingPath), &recording))
        return false;
    std::vector<unsigned char> bytes;
    Head stored;
    if (!ReadFileStart(WideToUtf8(GetIndexFilePath(recordingPath)), limit, &bytes) ||
        !ParseIndexHead(bytes, &stored) || !(stored == recording))
        return false;
    if (data)
        data->assign(bytes.begin() + kHeadSize, bytes.end());
    return true;
}

bool CIndexFileStore::SaveIndexFile(const void* data, std::uint32_t length, const std::wstring& recordingPath,
                                    int* writeError) const
{
    if (writeError)
        *writeError = 0;
    Head head;
    if (!data || length == 0 || !ReadRecordingHead(WideToUtf8(recordingPath), &head))
        return false;
    if (IsSpaceLow())
        CleanIndexFolder();
    std::error_code error;
    std::filesystem::create_directories(WideToUtf8(m_folder), error);
    unsigned char bytes[kHeadSize];
    PutInt64(bytes, head.size);
    PutInt64(bytes + 8, head.creationTime);
    PutInt64(bytes + 16, head.modificationTime);
    SF_SOFT_BASE::CAtomicFileWriter writer(WideToUtf8(GetIndexFilePath(recordingPath)));
    if (writer.Open() && writer.Write(bytes, kHeadSize) && writer.Write(data, length) && writer.Commit())
        return true;
    if (writeError)
        *writeError = writer.Error() ? writer.Error() : EIO;
    return false;
}

bool CIndexFileStore::IsSpaceLow() const
{
    std::uint64_t available = 0;
    return m_freeSpace(WideToUtf8(m_folder), &available) && available < kLowSpaceBytes;
}

void CIndexFileStore::CleanIndexFolder() const
{
    CSFFileFind finder;
    if (!finder.FindFile((m_folder + L"*.*").c_str()))
        return;
    const std::int64_t now = CalendarTime(std::time(nullptr));
    do {
        const wchar_t* path = finder.GetFilePath();
        if (finder.IsDots() || finder.IsDirectory() || !path)
            continue;
        std::string file = WideToUtf8(path);
        struct stat status{};
        if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        if (now - CalendarTime(status.st_atime) > kUnusedSeconds)
            ::unlink(file.c_str());
    } while (finder.FindNextFile());
}

namespace {

const CIndexFileStore& AppIndexStore()
{
    static const CIndexFileStore store(SFGetAppDir() + L"/Index/");
    return store;
}

}  // namespace

std::wstring GetIndexFilePath(const std::wstring& recordingPath)
{
    return AppIndexStore().GetIndexFilePath(recordingPath);
}

bool IsIndexFileValid(const std::wstring& recordingPath)
{
    return AppIndexStore().IsIndexFileValid(recordingPath);
}

bool ReadIndexFile(const std::wstring& recordingPath, std::vector<unsigned char>* data)
{
    return AppIndexStore().ReadIndexFile(recordingPath, data);
}

bool SaveIndexFile(const void* data, std::uint32_t length, const std::wstring& recordingPath)
{
    int writeError = 0;
    if (AppIndexStore().SaveIndexFile(data, length, recordingPath, &writeError))
        return true;
    if (writeError)  // the write failed, not the recording or the data
        TellFileProblem(GetLangString(L"An index file cannot be saved:"), GetIndexFilePath(recordingPath),
                        writeError);
    return false;
}

void CleanIndexFolder()
{
    AppIndexStore().CleanIndexFolder();
}
