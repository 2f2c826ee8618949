#include "FileIndex/SFFileFind.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "Base/TextCodec.h"

namespace {

constexpr std::size_t kMaxExtensionLength = 15;

bool IsEveryNameMask(const std::wstring& mask) { return mask.empty() || mask == L"*" || mask == L"*.*"; }

// Wide text of a file name; plain ASCII (the common case) widens directly.
void DecodeName(std::string_view name, std::wstring& out)
{
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii) {
        out = SF_SOFT_BASE::Utf8ToWide(name);
        return;
    }
    out.resize(name.size());
    std::copy(name.begin(), name.end(), out.begin());
}

}  // namespace

CSFFileFind::~CSFFileFind() { Close(); }

bool CSFFileFind::FindFile(const wchar_t* pattern)
{
    Close();
    if (!pattern || !*pattern) {
        m_lastError = kErrorPathNotFound;
        return false;
    }
    const std::wstring text(pattern);
    const std::size_t slash = text.rfind(L'/');
    m_root = slash == std::wstring::npos ? std::wstring() : text.substr(0, slash + 1);
    const std::wstring mask = slash == std::wstring::npos ? text : text.substr(slash + 1);
    m_maskUtf8 = IsEveryNameMask(mask) ? std::string() : SF_SOFT_BASE::WideToUtf8(mask);
    m_folderUtf8 = m_root.empty() ? std::string(".") : SF_SOFT_BASE::WideToUtf8(m_root);

    m_dir = ::opendir(m_folderUtf8.c_str());
    if (!m_dir) {
        m_lastError = ErrorFromErrno(errno);
        m_root.clear();
        return false;
    }
    if (!ReadNextMatching()) {
        const DWORD error = m_lastError == kErrorNoMoreFiles ? kErrorFileNotFound : m_lastError;
        Close();
        m_lastError = error;
        return false;
    }
    return true;
}

bool CSFFileFind::FindNextFile()
{
    if (!m_dir) {
        m_lastError = kErrorNoMoreFiles;
        return false;
    }
    return ReadNextMatching();
}

void CSFFileFind::Close()
{
    if (m_dir)
        ::closedir(m_dir);
    m_dir = nullptr;
    m_hasCurrent = false;
    m_currentUtf8.clear();
    m_currentName.clear();
    m_currentAttributes = 0;
}

bool CSFFileFind::ReadNextMatching()
{
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(m_dir);
        if (!entry) {
            m_lastError = errno == 0 ? kErrorNoMoreFiles : ErrorFromErrno(errno);
            return false;
        }
        if (!TakesName(entry->d_name))
            continue;
        SetCurrent(entry->d_name, entry->d_type);
        m_lastError = kErrorNone;
        return true;
    }
}

bool CSFFileFind::TakesName(const char* name) const
{
    return m_maskUtf8.empty() || ::fnmatch(m_maskUtf8.c_str(), name, FNM_PERIOD) == 0;
}

void CSFFileFind::SetCurrent(const char* name, unsigned char type)
{
    m_hasCurrent = true;
    m_currentUtf8 = name;
    DecodeName(m_currentUtf8, m_currentName);

    m_currentAttributes = AttributesOf(name, type);
    if (name[0] == '.')
        m_currentAttributes |= kAttrHidden;
}

DWORD CSFFileFind::AttributesOf(const char* name, unsigned char type) const
{
    if (type == DT_UNKNOWN || type == DT_LNK) {
        // Links count as what they point to; a dangling one as nothing.
        struct stat st;
        const std::string path = m_folderUtf8 + (m_folderUtf8.back() == '/' ? "" : "/") + name;
        if (::stat(path.c_str(), &st) != 0)
            return kAttrSystem;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_FIFO;
    }
    if (type == DT_DIR)
        return kAttrDirectory;
    return type == DT_REG ? kAttrNormal : kAttrSystem;
}

bool CSFFileFind::MatchesMask(DWORD mask) const { return m_hasCurrent && (m_currentAttributes & mask) != 0; }

bool CSFFileFind::IsDots() const
{
    return m_hasCurrent && IsDirectory() && (m_currentName == L"." || m_currentName == L"..");
}

const wchar_t* CSFFileFind::GetFileName()
{
    m_nameBuffer = m_hasCurrent ? m_currentName : std::wstring();
    return m_nameBuffer.c_str();
}

const wchar_t* CSFFileFind::GetFilePath()
{
    if (m_root.empty() || !m_hasCurrent)
        return nullptr;
    m_pathBuffer = m_root;
    if (m_pathBuffer.back() != L'/')
        m_pathBuffer += L'/';
    m_pathBuffer += m_currentName;
    return m_pathBuffer.c_str();
}

std::size_t CSFFileFind::ExtensionStart() const
{
    const std::size_t dot = m_currentName.rfind(L'.');
    return dot == std::wstring::npos ? m_currentName.size() : dot;
}

const wchar_t* CSFFileFind::GetFileTitle()
{
    if (m_hasCurrent)
        m_nameBuffer.assign(m_currentName, 0, ExtensionStart());
    else
        m_nameBuffer.clear();
    return m_nameBuffer.c_str();
}

const wchar_t* CSFFileFind::GetFileExt()
{
    m_extBuffer.clear();
    const std::size_t start = ExtensionStart();
    if (m_hasCurrent && m_currentName.size() - start <= kMaxExtensionLength)
        m_extBuffer.assign(m_currentName, start);
    return m_extBuffer.c_str();
}

std::uint64_t CSFFileFind::GetLength() const
{
    if (!m_hasCurrent)
        return 0;
    struct stat st;
    const std::string path = m_folderUtf8 + (m_folderUtf8.back() == '/' ? "" : "/") + m_currentUtf8;
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

DWORD CSFFileFind::ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kErrorPathNotFound;
    case EACCES:
    case EPERM:
        return kErrorAccessDenied;
    case ENAMETOOLONG:
        return kErrorFileNameTooLong;
    default:
        return kErrorReadFault;
    }
}
