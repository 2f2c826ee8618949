#include "FileIndex/FileManager.h"
#include "FileIndex/NaturalOrder.h"

#include <algorithm>
#include <tuple>

#include "Base/SFAutoMutexLock.h"
#include "FileIndex/FileManagerListener.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/RecordFormats.h"
#include "FileIndex/SFFileFind.h"

using SF_SOFT_BASE::CSFAutoMutexLock;
using SF_SOFT_BASE::CSFDateTime;

namespace {

struct PublishedDay {
    std::wstring group;
    int dayKey;
    std::vector<int> channelKeys;
};

// Appends the paths in start order. The scan leaves the records scattered
// in memory, so those a few steps ahead are fetched early.
void AppendPaths(const std::map<int, std::unique_ptr<CFileInfo>>& files, std::vector<std::wstring>& paths)
{
    constexpr int kAhead = 8;
    auto ahead = files.begin();
    for (int i = 0; i < kAhead && ahead != files.end(); ++i, ++ahead)
        __builtin_prefetch(ahead->second.get());
    for (const auto& [startKey, record] : files) {
        if (ahead != files.end())
            __builtin_prefetch((ahead++)->second.get());
        paths.push_back(record->GetPathString());
    }
}

void SortList(std::list<int>& keys)
{
    if (!std::is_sorted(keys.begin(), keys.end()))
        keys.sort();
}

}  // namespace

CFileManager::CFileManager(IFileManagerListener* listener, const std::list<std::wstring>* extensions)
    : m_index(std::make_unique<_FILE_INDEX>()),
      m_listener(listener),
      m_extensions(extensions ? *extensions : FileIndexFormats::GetDefaultRecordFormats())
{
}

CFileManager::~CFileManager() = default;

void CFileManager::SetListener(IFileManagerListener* listener)
{
    CSFAutoMutexLock lock(&m_lock);
    m_listener = listener;
}

bool CFileManager::LoadPath(const wchar_t* pattern, int* noMatch)
{
    if (!pattern)
        return false;
    std::vector<int> flags;
    LoadPaths({std::wstring(pattern)}, &flags);
    if (noMatch)
        *noMatch = flags.front();
    return true;
}

void CFileManager::LoadPaths(const std::vector<std::wstring>& patterns, std::vector<int>* noMatch)
{
    LoadPaths(patterns.size(), [&patterns](std::size_t i) { return patterns[i]; }, noMatch);
}

void CFileManager::LoadPaths(std::size_t count, const std::function<std::wstring(std::size_t)>& patternAt,
                             std::vector<int>* noMatch)
{
    ++m_loadMark;
    m_seenSingles.clear();
    // What a load into an empty index holds, it met.
    const bool mayHaveVanished = !IsEmpty();
    // The listed folders are kept only to find what vanished from them.
    std::set<std::wstring> listedFolders;
    std::set<std::wstring>* listed = mayHaveVanished ? &listedFolders : nullptr;
    std::vector<int> flags(count, 1);
    for (std::size_t i = 0; i < count; ++i)
        ScanListedFolder(patternAt(i), &flags[i], listed);
    if (mayHaveVanished && !listedFolders.empty())
        RemoveVanishedFiles(listedFolders);
    m_seenSingles.clear();
    SortIndex();
    PublishIndex();
    if (noMatch)
        *noMatch = std::move(flags);
}

void CFileManager::ScanListedFolder(const std::wstring& pattern, int* noMatch, std::set<std::wstring>* listedFolders)
{
    m_folderListed = false;
    ScanFolder(pattern, std::wstring(), 1, noMatch);
    if (m_folderListed && listedFolders)
        listedFolders->insert(pattern.substr(0, pattern.rfind(L'/') + 1));
}

bool CFileManager::IsEmpty() const
{
    CSFAutoMutexLock lock(&m_lock);
    return m_index->groups.empty() && m_index->singleFiles.empty();
}

bool CFileManager::ScanFolder(const std::wstring& pattern, const std::wstring& /*folderName*/,
                              int depth, int* noMatch)
{
    PendingScan scan;
    ScanEntries(pattern, depth, noMatch, scan);
    AddPendingRecordings(scan);
    AddPendingSingles(scan);
    return true;
}

void CFileManager::AddPendingSingles(PendingScan& scan)
{
    std::sort(scan.singles.begin(), scan.singles.end(), NaturalLess);
    for (const std::wstring& path : scan.singles) {
        AddSingleFile(path.c_str());
        m_seenSingles.insert(path);
    }
}

void CFileManager::ScanEntries(const std::wstring& pattern, int depth, int* noMatch, PendingScan& scan)
{
    *noMatch = 1;
    if (depth > 1)
        return;
    CSFFileFind find;
    if (!find.FindFile(pattern.c_str()))
        return;
    CNamingRuleParser parser(&m_extensions);
    // Every entry once; a read error ends the folder.
    do {
        ExamineEntry(find, parser, depth, noMatch, scan);
    } while (find.FindNextFile());
    if (depth == 1)
        m_folderListed = find.GetLastError() == CSFFileFind::kErrorNoMoreFiles;
    find.Close();
}

void CFileManager::ExamineEntry(CSFFileFind& find, CNamingRuleParser& parser, int depth, int* noMatch,
                                PendingScan& scan)
{
    if (find.IsDots() || find.IsHidden() || find.IsTemporary() || find.IsSystem())
        return;
    // The path stays valid while only the title and extension are asked for.
    const wchar_t* path = find.GetFilePath();
    if (!path)
        return;
    if (find.IsDirectory()) {
        const std::wstring folder(path);
        const std::wstring title = find.GetFileTitle();
        if (!parser.ParseDateFolder(title.c_str()))
            return;
        int folderNoMatch = 1;
        ScanEntries(folder + L"/*.*", depth + 1, &folderNoMatch, scan);
        if (folderNoMatch == 0)
            *noMatch = 0;
        return;
    }
    if (!parser.IsSupportedExtension(find.GetFileExt()))
        return;
    *noMatch = 0;
    if (parser.Parse(find.GetFileTitle())) {
        scan.Queue(parser, MakeRecord(parser), path);
    } else {
        scan.singles.emplace_back(path);
    }
}

bool CFileManager::AddSingleFile(const wchar_t* path)
{
    if (!path)
        return false;
    CSFAutoMutexLock lock(&m_lock);
    if (!m_index->singleFilePaths.insert(path).second)
        return false;
    auto record = std::make_unique<CFileInfo>();
    record->SetPath(path);
    m_index->singleFiles[FileIndexKeys::TakeNextFileId()] = std::move(record);
    return true;
}

bool CFileManager::AddRecording(const CNamingRuleParser* parsed, const wchar_t* path)
{
    if (!parsed || !path)
        return false;
    std::unique_ptr<CFileInfo> record = MakeRecord(*parsed);
    record->SetPath(path);
    CSFAutoMutexLock lock(&m_lock);
    _CHANNEL_INDEX& channel = ChannelOf(GroupOf(parsed->name), parsed->DayKey(), parsed->channel);
    return InsertFile(channel, static_cast<int>(parsed->StartKey()), std::move(record));
}

std::unique_ptr<CFileInfo> CFileManager::MakeRecord(const CNamingRuleParser& parsed) const
{
    auto record = std::make_unique<CFileInfo>();
    record->SetStartTime(parsed.start);
    record->SetEndTime(parsed.end);
    record->SetLoadMark(m_loadMark);
    return record;
}

void CFileManager::PendingScan::Queue(const CNamingRuleParser& parsed, std::unique_ptr<CFileInfo> record,
                                      const wchar_t* path)
{
    const auto [name, added] = groups.try_emplace(parsed.name, int(names.size()));
    if (added)
        names.push_back(parsed.name);
    const std::wstring_view fullPath(path);
    const std::size_t nameStart = fullPath.rfind(L'/') + 1;
    record->SetPath(FolderOf(fullPath.substr(0, nameStart)), fullPath.substr(nameStart));
    recordings.push_back(
        {name->second, parsed.DayKey(), parsed.channel, static_cast<int>(parsed.StartKey()), std::move(record)});
}

const CCompactPath::Folder& CFileManager::PendingScan::FolderOf(std::wstring_view text)
{
    if (!folder || folderText != text) {
        folderText.assign(text);
        folder = CCompactPath::MakeFolder(text);
    }
    return folder;
}

// Sorted by group, day, channel and start (stable: of two recordings with
// one start, the last met stays, as with AddRecording).
void CFileManager::AddPendingRecordings(PendingScan& scan)
{
    const auto key = [](const PendingRecording& r) { return std::tie(r.group, r.dayKey, r.channel, r.startKey); };
    std::stable_sort(scan.recordings.begin(), scan.recordings.end(),
                     [&](const PendingRecording& a, const PendingRecording& b) { return key(a) < key(b); });
    {
        CSFAutoMutexLock lock(&m_lock);
        _CHANNEL_INDEX* channel = nullptr;
        const PendingRecording* previous = nullptr;
        for (PendingRecording& r : scan.recordings) {
            if (!previous || r.group != previous->group || r.dayKey != previous->dayKey ||
                r.channel != previous->channel)
                channel = &ChannelOf(GroupOf(scan.names[std::size_t(r.group)]), r.dayKey, r.channel);
            InsertFile(*channel, r.startKey, std::move(r.record));
            previous = &r;
        }
    }
    scan.recordings.clear();
}

_GROUP_INDEX& CFileManager::GroupOf(const std::wstring& name)
{
    std::unique_ptr<_GROUP_INDEX>& group = m_index->groups[name];
    if (!group)
        group = std::make_unique<_GROUP_INDEX>();
    return *group;
}

_CHANNEL_INDEX& CFileManager::ChannelOf(_GROUP_INDEX& group, int dayKey, int channelKey)
{
    std::unique_ptr<_CHANNEL_MAP>& day = group.days[dayKey];
    if (!day) {
        day = std::make_unique<_CHANNEL_MAP>();
        group.dayKeys.push_back(dayKey);
    }
    std::unique_ptr<_CHANNEL_INDEX>& channel = (*day)[channelKey];
    if (!channel)
        channel = std::make_unique<_CHANNEL_INDEX>();
    return *channel;
}

// A start later than every one of the channel goes to the tree's end at once.
// A file met again takes the running load's mark; another copy of a listed
// recording (same start, other path) takes its place: the copy opened last is listed.
bool CFileManager::InsertFile(_CHANNEL_INDEX& channel, int startKey, std::unique_ptr<CFileInfo> record)
{
    auto& files = channel.files;
    const bool last = files.empty() || std::prev(files.end())->first < startKey;
    const auto slot = last ? files.emplace_hint(files.end(), startKey, nullptr) : files.try_emplace(startKey).first;
    const bool known = slot->second != nullptr;
    if (known && slot->second->HasSamePath(*record)) {
        slot->second->SetLoadMark(m_loadMark);
        return false;
    }
    if (known) {
        *slot->second = std::move(*record);
    } else {
        slot->second = std::move(record);
        channel.startTimes.push_back(startKey);
    }
    return true;
}

void CFileManager::SortIndex()
{
    CSFAutoMutexLock lock(&m_lock);
    for (auto& [name, group] : m_index->groups) {
        SortList(group->dayKeys);
        for (auto& [dayKey, day] : group->days) {
            for (auto& [channelKey, channel] : *day)
                SortList(channel->startTimes);
        }
    }
}

void CFileManager::PublishIndex()
{
    // Copied under the lock, reported without it.
    std::vector<PublishedDay> days;
    std::vector<std::pair<int, CFileInfo>> singles;
    IFileManagerListener* listener = nullptr;
    {
        CSFAutoMutexLock lock(&m_lock);
        listener = m_listener;
        if (!listener)
            return;
        for (const auto& [name, group] : m_index->groups) {
            for (int dayKey : group->dayKeys) {
                auto day = group->days.find(dayKey);
                if (day == group->days.end() || !day->second)
                    continue;
                PublishedDay published{name, dayKey, {}};
                for (const auto& entry : *day->second)
                    published.channelKeys.push_back(entry.first);
                std::sort(published.channelKeys.begin(), published.channelKeys.end(), ChannelStreamKey());
                days.push_back(std::move(published));
            }
        }
        for (const auto& [fileId, record] : m_index->singleFiles)
            singles.emplace_back(fileId, *record);
    }
    for (PublishedDay& day : days) {
        CSFDateTime date;
        date.FromTime(static_cast<std::uint32_t>(day.dayKey));
        listener->OnGroupDay(day.group.c_str(), day.dayKey, &date, &day.channelKeys);
    }
    for (auto& [fileId, record] : singles)
        listener->OnSingleFile(fileId, &record);
}

CFileInfo* CFileManager::GetFileInfo(int fileId)
{
    CSFAutoMutexLock lock(&m_lock);
    auto found = m_index->singleFiles.find(fileId);
    return found == m_index->singleFiles.end() ? nullptr : found->second.get();
}

_CHANNEL_MAP* CFileManager::FindChannelMap(const wchar_t* group, int dayKey)
{
    if (!group)
        return nullptr;
    CSFAutoMutexLock lock(&m_lock);
    auto foundGroup = m_index->groups.find(group);
    if (foundGroup == m_index->groups.end())
        return nullptr;
    auto foundDay = foundGroup->second->days.find(dayKey);
    return foundDay == foundGroup->second->days.end() ? nullptr : foundDay->second.get();
}

bool CFileManager::GetGroupFileList(std::list<_GROUP_FILE_INFO>* groups, std::vector<std::wstring>* paths)
{
    if (!groups)
        return false;
    CSFAutoMutexLock lock(&m_lock);
    if (!m_listener)
        return !groups->empty();
    if (paths)
        paths->reserve(paths->size() + CountGroupFiles());
    for (const auto& [name, group] : m_index->groups) {
        for (int dayKey : group->dayKeys) {
            auto day = group->days.find(dayKey);
            if (day == group->days.end() || !day->second)
                continue;
            _GROUP_FILE_INFO item;
            item.groupName = name;
            item.key = dayKey;
            for (const auto& [channelKey, channel] : *day->second) {
                item.channels[channelKey] = nullptr;
                if (paths)
                    AppendPaths(channel->files, *paths);
            }
            groups->push_back(std::move(item));
        }
    }
    return !groups->empty();
}

std::size_t CFileManager::CountGroupFiles() const
{
    std::size_t count = 0;
    for (const auto& [name, group] : m_index->groups)
        for (const auto& [dayKey, day] : group->days)
            for (const auto& [channelKey, channel] : *day)
                count += channel->files.size();
    return count;
}

bool CFileManager::GetSingleFileList(std::list<_SINGLE_FILE_INFO>* singles, std::vector<std::wstring>*)
{
    if (!singles)
        return false;
    CSFAutoMutexLock lock(&m_lock);
    for (const auto& [fileId, record] : m_index->singleFiles)
        singles->push_back(_SINGLE_FILE_INFO{fileId, record->GetPathString()});
    return !singles->empty();
}

void CFileManager::RemoveFiles(const wchar_t* group, int dayKey, int channelKey, int fileId)
{
    CSFAutoMutexLock lock(&m_lock);
    if (fileId != 0) {
        RemoveSingleFile(fileId);
        return;
    }
    if (!group)
        return;
    auto foundGroup = m_index->groups.find(group);
    if (foundGroup == m_index->groups.end())
        return;
    if (channelKey != FileIndexKeys::kSingleFileChannel)
        RemoveChannel(foundGroup, dayKey, channelKey);
    else if (dayKey != 0)
        RemoveDay(foundGroup, dayKey);
    else
        m_index->groups.erase(foundGroup);
    SortIndex();
}

void CFileManager::RemoveSingleFile(int fileId)
{
    auto found = m_index->singleFiles.find(fileId);
    if (found == m_index->singleFiles.end())
        return;
    m_index->singleFilePaths.erase(found->second->GetPathString());
    m_index->singleFiles.erase(found);
}

bool CFileManager::IsInOneOf(const std::wstring& path, const std::set<std::wstring>& folders)
{
    const std::size_t slash = path.rfind(L'/');
    if (slash == std::wstring::npos || slash + 1 == path.size())
        return false;
    return folders.count(path.substr(0, slash + 1)) != 0;
}

void CFileManager::RemoveVanishedFiles(const std::set<std::wstring>& folders)
{
    CSFAutoMutexLock lock(&m_lock);
    for (auto single = m_index->singleFiles.begin(); single != m_index->singleFiles.end();) {
        const std::wstring& path = single->second->GetPathString();
        if (m_seenSingles.count(path) || !IsInOneOf(path, folders)) {
            ++single;
            continue;
        }
        m_index->singleFilePaths.erase(path);
        single = m_index->singleFiles.erase(single);
    }
    for (auto group = m_index->groups.begin(); group != m_index->groups.end();) {
        auto& days = group->second->days;
        for (auto day = days.begin(); day != days.end();) {
            for (auto channel = day->second->begin(); channel != day->second->end();) {
                auto& files = channel->second->files;
                for (auto file = files.begin(); file != files.end();) {
                    const CFileInfo& record = *file->second;
                    if (record.GetLoadMark() == m_loadMark || !IsInOneOf(record.GetPathString(), folders)) {
                        ++file;
                        continue;
                    }
                    channel->second->startTimes.remove(file->first);
                    file = files.erase(file);
                }
                channel = files.empty() ? day->second->erase(channel) : std::next(channel);
            }
            if (day->second->empty()) {
                group->second->dayKeys.remove(day->first);
                day = days.erase(day);
            } else {
                ++day;
            }
        }
        group = days.empty() ? m_index->groups.erase(group) : std::next(group);
    }
}

void CFileManager::RemoveDay(std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>>::iterator group, int dayKey)
{
    _GROUP_INDEX& index = *group->second;
    if (index.days.erase(dayKey) == 0)
        return;
    index.dayKeys.remove(dayKey);
    RemoveGroupIfEmpty(group);
}

void CFileManager::RemoveChannel(std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>>::iterator group,
                                 int dayKey, int channelKey)
{
    auto day = group->second->days.find(dayKey);
    if (day == group->second->days.end())
        return;
    if (day->second->erase(channelKey) == 0)
        return;
    if (day->second->empty())
        RemoveDay(group, dayKey);
}

void CFileManager::RemoveGroupIfEmpty(std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>>::iterator group)
{
    if (group->second->days.empty())
        m_index->groups.erase(group);
}
