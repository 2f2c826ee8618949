#include "FileIndex/FileIndexTypes.h"

#include <atomic>

namespace FileIndexKeys {
namespace {

std::atomic<std::int32_t> g_nextFileId{1};

}  // namespace

std::int32_t TakeNextFileId() { return g_nextFileId.fetch_add(1); }

std::int32_t PeekNextFileId() { return g_nextFileId.load(); }

}  // namespace FileIndexKeys

bool ChannelStreamKey::operator()(std::int32_t a, std::int32_t b) const
{
    using namespace FileIndexKeys;
    if (GetChannelNumber(a) != GetChannelNumber(b))
        return GetChannelNumber(a) < GetChannelNumber(b);
    return GetStreamIndex(a) < GetStreamIndex(b);
}

std::int32_t GetDayKey(const SF_SOFT_BASE::CSFDateTime& date)
{
    return SF_SOFT_BASE::CSFDateTime::MakeTime(date.year, date.month, date.day, 0, 0, 0);
}

void CFileInfo::SetPath(const wchar_t* path)
{
    m_path.Assign(path ? std::wstring_view(path) : std::wstring_view());
}

void CFileInfo::SetPath(const CCompactPath::Folder& folder, std::wstring_view name)
{
    m_path.Assign(folder, name);
}
