#include "Export/ExportViewUILogic.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "Export/ExportLog.h"
#include <QTimer>

#include "Base/PostTask.h"
#include "Base/SFAutoMutexLock.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Export/ExportTarget.h"
#include "Export/ExportViewExportLogic.h"
#include "Export/ExportViewPlayLogic.h"
#include "Export/IExportTimeLine.h"
#include "Export/IExportView.h"
#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/NamingRuleParser.h"
#include "Platform/PlayModule/Format/KvxContentProbe.h"
#include "Platform/PlayModule/Source/RecordingCut.h"
#include "Platform/PlayModule/Stream/ContainerRangeReader.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/WidgetTypes.h"

using namespace LumivexBase;

namespace {

constexpr int kKindDay = 0;
constexpr int kKindChannel = 1;
constexpr int kKindSingle = 2;
constexpr const char* kSource = ".\\Export\\ExportView_UILogic";

// One counter for the whole process; a key is never reused.
int TakeFileKey()
{
    static std::atomic<int> counter{0};
    return ++counter;
}

std::wstring FileNameOf(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring StampText(std::uint32_t time)
{
    SF_SOFT_BASE::CSFDateTime local;
    local.FromTime(time);
    wchar_t text[32];
    std::swprintf(text, 32, L"%4d%02d%02d%02d%02d%02d", local.year, local.month, local.day, local.hour,
                  local.minute, local.second);
    return text;
}

std::uint32_t ExportTypeOf(int comboIndex)
{
    switch (comboIndex) {
    case 0: return EXPORT_TYPE_JPEG;
    case 1: return EXPORT_TYPE_BMP;
    case 2: return EXPORT_TYPE_RAW;
    case 3: return EXPORT_TYPE_AVI;
    default: return std::uint32_t(comboIndex);
    }
}

// "/" separators, no trailing one.
std::wstring NormalFolder(std::wstring folder)
{
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    while (folder.size() > 1 && folder.back() == L'/')
        folder.pop_back();
    return folder;
}

}  // namespace

CExportViewUILogic::CExportViewUILogic() = default;
CExportViewUILogic::~CExportViewUILogic() = default;

void CExportViewUILogic::SetPage(const boost::shared_ptr<IExportView>& page) { m_page = page; }
void CExportViewUILogic::SetPlayLogic(const boost::shared_ptr<CExportViewPlayLogic>& playLogic)
{
    m_playLogic = playLogic;
}
void CExportViewUILogic::SetExportLogic(const boost::shared_ptr<CExportViewExportLogic>& exportLogic)
{
    m_exportLogic = exportLogic;
}
void CExportViewUILogic::SetFileManager(const boost::shared_ptr<CFileManager>& fileManager)
{
    m_fileManager = fileManager;
}

// ---- records ----

_EXPORT_FILE_INFO* CExportViewUILogic::Record(int key)
{
    const auto found = m_files.find(key);
    return found == m_files.end() ? nullptr : &found->second;
}

_EXPORT_HANDLE_INFO* CExportViewUILogic::HandleEntry(void* handle)
{
    const auto found = m_handles.find(handle);
    return handle && found != m_handles.end() ? &found->second : nullptr;
}

_EXPORT_HANDLE_INFO* CExportViewUILogic::HandleOf(const _EXPORT_FILE_INFO& record)
{
    return HandleEntry(record.playHandle);
}

bool CExportViewUILogic::HasLiveHandle(const _EXPORT_FILE_INFO& record)
{
    const _EXPORT_HANDLE_INFO* handle = HandleOf(record);
    return handle && handle->IsLive();
}

bool CExportViewUILogic::IsChannelOf(const _EXPORT_FILE_INFO& record, const std::wstring& group,
                                     int dayKey) const
{
    return record.isChannelFile == 1 && record.groupName == group && record.dayKey == dayKey;
}

bool CExportViewUILogic::IsChannelOf(const _EXPORT_FILE_INFO& record, const std::wstring& group, int dayKey,
                                     int channelKey) const
{
    return IsChannelOf(record, group, dayKey) && record.channelKey == channelKey;
}

int CExportViewUILogic::AddRecord(const CFileInfo& info, int fileId, int channelKey, int lineId, int dayKey,
                                  const std::wstring& group, int isChannelFile)
{
    const int key = TakeFileKey();
    _EXPORT_FILE_INFO& record = m_files[key];
    record.fileInfo = info;
    record.fileId = fileId;
    record.channelKey = channelKey;
    record.lineId = lineId ? lineId : key;
    record.dayKey = dayKey;
    record.groupName = group;
    record.isChannelFile = isChannelFile;
    m_paths[info.GetPathString()] = key;
    return key;
}

int CExportViewUILogic::AddChannelFiles(const std::wstring& group, int dayKey, int channelKey)
{
    for (const auto& [key, record] : m_files)
        if (IsChannelOf(record, group, dayKey, channelKey))
            return 0;
    boost::shared_ptr<CFileManager> manager = m_fileManager.lock();
    if (!manager)
        return 0;
    std::vector<std::pair<int, CFileInfo>> files;
    {
        SF_SOFT_BASE::CSFAutoMutexLock lock(manager->GetLock());
        _CHANNEL_MAP* day = manager->FindChannelMap(group.c_str(), dayKey);
        const auto channel = day ? day->find(channelKey) : _CHANNEL_MAP::iterator();
        if (!day || channel == day->end())
            return 0;
        for (const auto& [fileId, info] : channel->second->files)
            files.emplace_back(fileId, *info);
    }
    int lineId = 0;
    for (const auto& [fileId, info] : files) {
        const int key = AddRecord(info, fileId, channelKey, lineId, dayKey, group, 1);
        lineId = lineId ? lineId : key;
    }
    return 1;
}

int CExportViewUILogic::AddDayFiles(const std::wstring& group, int dayKey)
{
    boost::shared_ptr<CFileManager> manager = m_fileManager.lock();
    if (!manager)
        return 0;
    std::vector<std::pair<int, std::vector<std::pair<int, CFileInfo>>>> channels;
    {
        SF_SOFT_BASE::CSFAutoMutexLock lock(manager->GetLock());
        _CHANNEL_MAP* day = manager->FindChannelMap(group.c_str(), dayKey);
        if (!day)
            return 0;
        for (const auto& [channelKey, channel] : *day) {
            channels.emplace_back(channelKey, std::vector<std::pair<int, CFileInfo>>());
            for (const auto& [fileId, info] : channel->files)
                channels.back().second.emplace_back(fileId, *info);
        }
    }
    int made = 0;
    for (const auto& [channelKey, files] : channels) {
        int lineId = 0;
        for (const auto& [fileId, info] : files) {
            if (m_paths.count(info.GetPathString()))
                continue;
            const int key = AddRecord(info, fileId, channelKey, lineId, dayKey, group, 1);
            lineId = lineId ? lineId : key;
            made = 1;
        }
    }
    return made;
}

int CExportViewUILogic::AddSingleFile(int fileId)
{
    for (const auto& [key, record] : m_files)
        if (record.isChannelFile == 0 && record.fileId == fileId)
            return 0;
    boost::shared_ptr<CFileManager> manager = m_fileManager.lock();
    if (!manager)
        return 0;
    CFileInfo info;
    {
        SF_SOFT_BASE::CSFAutoMutexLock lock(manager->GetLock());
        const CFileInfo* found = manager->GetFileInfo(fileId);
        if (!found)
            return 0;
        info = *found;
    }
    AddRecord(info, fileId, -1, 0, -1, std::wstring(), 0);
    return 1;
}

// ---- tree operations ----

void CExportViewUILogic::LockTree(int busyState)
{
    if (auto page = m_page.lock())
        page->SetTreeCheckable(0);
    m_busyState = busyState;
}

// A tree operation that posted nothing unlocks the tree at once.
void CExportViewUILogic::UnlockWhenIdle()
{
    if (!m_pending.empty() || m_busyState == BUSY_NONE)
        return;
    m_busyState = BUSY_NONE;
    if (auto page = m_page.lock())
        page->SetTreeCheckable(1);
}

void CExportViewUILogic::CloseRecord(int key, _EXPORT_FILE_INFO& record)
{
    record.isOpen = 0;
    CloseFile(key);
}

void CExportViewUILogic::OpenAndPlay(const std::list<int>& openList, const std::list<int>& reopenList,
                                     int toPlay)
{
    for (int key : openList) {
        OpenFileWithName(key, m_files[key].fileInfo.GetPathString());
        if (key == toPlay)
            Play(key);
    }
    for (int key : reopenList) {
        OpenFile(key);
        if (key == toPlay)
            Play(key);
    }
}

void CExportViewUILogic::OpenChannel(const std::wstring& group, int dayKey, int channelKey)
{
    if (!AddChannelFiles(group, dayKey, channelKey)) {
        const auto first = std::find_if(m_files.begin(), m_files.end(), [&](const auto& entry) {
            return IsChannelOf(entry.second, group, dayKey, channelKey);
        });
        if (first == m_files.end())
            UncheckItem(group, dayKey, channelKey, kKindChannel);
        if (first == m_files.end() || first->second.isOpen)
            return;
    }
    LockTree(BUSY_OPEN_CHANNEL);
    std::list<int> openList;
    std::list<int> reopenList;
    int toPlay = 0;
    for (auto& [key, record] : m_files) {
        if (IsChannelOf(record, group, dayKey, channelKey)) {
            record.isOpen = 1;
            toPlay = toPlay ? toPlay : key;
            (record.playHandle ? reopenList : openList).push_back(key);
        } else if (IsChannelOf(record, group, dayKey)) {
            if (record.isOpen)
                Stop(key);
        } else if (record.isOpen) {
            CloseRecord(key, record);
        }
    }
    OpenAndPlay(openList, reopenList, toPlay);
    UnlockWhenIdle();
}

void CExportViewUILogic::OpenDay(const std::wstring& group, int dayKey)
{
    const bool added = AddDayFiles(group, dayKey) != 0;
    bool anyOpen = false;
    bool allOpen = true;
    bool known = false;
    for (const auto& [key, record] : m_files) {
        if (!IsChannelOf(record, group, dayKey))
            continue;
        known = true;
        anyOpen = anyOpen || record.isOpen;
        allOpen = allOpen && record.isOpen;
    }
    if (!known)
        UncheckItem(group, dayKey, 0, kKindDay);
    if (!added && allOpen)
        return;
    LockTree(BUSY_OPEN_DAY);
    std::list<int> openList;
    std::list<int> reopenList;
    int toPlay = 0;
    for (auto& [key, record] : m_files) {
        if (IsChannelOf(record, group, dayKey)) {
            if (record.isOpen)
                continue;
            record.isOpen = 1;
            if (!anyOpen && !toPlay)
                toPlay = key;
            (record.playHandle ? reopenList : openList).push_back(key);
        } else if (record.isOpen) {
            CloseRecord(key, record);
        }
    }
    OpenAndPlay(openList, reopenList, toPlay);
    UnlockWhenIdle();
}

void CExportViewUILogic::OpenSingleFile(int fileId)
{
    AddSingleFile(fileId);
    if (std::none_of(m_files.begin(), m_files.end(), [fileId](const auto& entry) {
            return entry.second.isChannelFile == 0 && entry.second.fileId == fileId;
        })) {
        UncheckItem(L"", fileId, -1, kKindSingle);
        return;
    }
    LockTree(BUSY_OPEN_SINGLE);
    int withHandle = 0;
    int withoutHandle = 0;
    for (auto& [key, record] : m_files) {
        if (record.isChannelFile == 0 && record.fileId == fileId) {
            record.isOpen = 1;
            (record.playHandle ? withHandle : withoutHandle) = key;
        } else if (record.isOpen) {
            CloseRecord(key, record);
        }
    }
    if (withHandle) {
        OpenFile(withHandle);
        Play(withHandle);
    } else if (withoutHandle) {
        OpenFileWithName(withoutHandle, m_files[withoutHandle].fileInfo.GetPathString());
        Play(withoutHandle);
    }
    UnlockWhenIdle();
}

void CExportViewUILogic::CloseChannel(const std::wstring& group, int dayKey, int channelKey)
{
    bool closed = false;
    for (auto& [key, record] : m_files) {
        if (record.isOpen && IsChannelOf(record, group, dayKey, channelKey)) {
            CloseRecord(key, record);
            closed = true;
        }
    }
    if (closed)
        LockTree(BUSY_CLOSE_CHANNEL);
}

void CExportViewUILogic::CloseDay(const std::wstring& group, int dayKey)
{
    for (const auto& [key, record] : m_files)
        if (IsChannelOf(record, group, dayKey) && !record.isOpen)
            return;
    bool closed = false;
    for (auto& [key, record] : m_files) {
        if (IsChannelOf(record, group, dayKey)) {
            CloseRecord(key, record);
            closed = true;
        }
    }
    if (closed)
        LockTree(BUSY_CLOSE_DAY);
}

void CExportViewUILogic::CloseSingleFile(int fileId)
{
    bool closed = false;
    for (auto& [key, record] : m_files) {
        if (record.isOpen && record.fileId == fileId) {
            CloseRecord(key, record);
            closed = true;
        }
    }
    if (closed)
        LockTree(BUSY_CLOSE_SINGLE);
}

void CExportViewUILogic::PlayChannel(const std::wstring& group, int dayKey, int channelKey)
{
    int active = 0;
    int first = 0;
    for (const auto& [key, record] : m_files) {
        if (!record.isOpen || !IsChannelOf(record, group, dayKey, channelKey))
            continue;
        if (HasLiveHandle(record))
            return;  // the channel plays already
        first = first ? first : key;
        if (record.isActive && !active)
            active = key;
    }
    LockTree(BUSY_PLAY_CHANNEL);
    if (active || first)
        Play(active ? active : first);
    UnlockWhenIdle();
}

// ---- requests to the play logic ----

template <class Method, class... Args>
void CExportViewUILogic::PostPlay(Method method, const char* name, Args... args)
{
    if (boost::shared_ptr<CExportViewPlayLogic> target = m_playLogic.lock())
        PostTaskToLoop(ML_PLAY, MakeTask(method, target, args...), kSource, __LINE__, name,
                       "CExportViewUILogic");
}

template <class Method, class... Args>
void CExportViewUILogic::PostExport(Method method, const char* name, Args... args)
{
    // A call rather than a bind: a job takes more arguments than a bind does.
    if (boost::shared_ptr<CExportViewExportLogic> target = m_exportLogic.lock())
        PostTaskToLoop(ML_EXPORT, MakeTask<int>([target, method, args...] { ((*target).*method)(args...); }),
                       kSource, __LINE__, name, "CExportViewUILogic");
}

void CExportViewUILogic::AddPending(int key, int op)
{
    m_pending.insert(key * 8 + op);
}

void CExportViewUILogic::EndPending(int key, int op)
{
    if (m_pending.erase(key * 8 + op) == 0 || !m_pending.empty())
        return;
    UpdatePage();
    if (!m_pending.empty())
        return;  // the update started a play
    m_busyState = BUSY_NONE;
    if (auto page = m_page.lock())
        page->SetTreeCheckable(1);
}

void CExportViewUILogic::OpenFile(int key)
{
    AddPending(key, PENDING_OPEN);
    PostPlay(&CExportViewPlayLogic::Task_OpenFile, "&CExportViewPlayLogic::Task_OpenFile", key);
}

void CExportViewUILogic::OpenFileWithName(int key, const std::wstring& path)
{
    AddPending(key, PENDING_OPEN);
    PostPlay(&CExportViewPlayLogic::Task_OpenFileWithName, "&CExportViewPlayLogic::Task_OpenFileWithName", key,
             path);
}

void CExportViewUILogic::Play(int key)
{
    _EXPORT_FILE_INFO& played = m_files[key];
    played.isActive = 1;
    if (played.isChannelFile)
        for (auto& [other, record] : m_files)
            if (other != key && record.isOpen &&
                IsChannelOf(record, played.groupName, played.dayKey, played.channelKey))
                record.isActive = 0;
    AddPending(key, PENDING_PLAY);
    PostPlay(&CExportViewPlayLogic::Task_Play, "&CExportViewPlayLogic::Task_Play", key);
    PostPlay(&CExportViewPlayLogic::Task_SetPlayDirection, "&CExportViewPlayLogic::Task_SetPlayDirection", key,
             0u);
    PostPlay(&CExportViewPlayLogic::Task_SetSpeed, "&CExportViewPlayLogic::Task_SetSpeed", key, m_speed);
}

void CExportViewUILogic::Stop(int key)
{
    AddPending(key, PENDING_STOP);
    PostPlay(&CExportViewPlayLogic::Task_Stop, "&CExportViewPlayLogic::Task_Stop", key);
}

void CExportViewUILogic::StopAndReset(int key)
{
    AddPending(key, PENDING_STOP);
    PostPlay(&CExportViewPlayLogic::Task_StopAndReset, "&CExportViewPlayLogic::Task_StopAndReset", key);
}

void CExportViewUILogic::CloseFile(int key)
{
    Stop(key);
    AddPending(key, PENDING_CLOSE);
    PostPlay(&CExportViewPlayLogic::Task_Close, "&CExportViewPlayLogic::Task_Close", key);
}

// ---- answers of the play logic ----

void CExportViewUILogic::Task_OnCreatePlayHandle(void* handle, int key)
{
    if (_EXPORT_FILE_INFO* record = Record(key))
        record->playHandle = handle;
    _EXPORT_HANDLE_INFO entry;
    entry.fileKey = key;
    m_handles[handle] = entry;
}

void CExportViewUILogic::Task_OnGetLocalIndexFailed(void* handle, int /*key*/)
{
    if (_EXPORT_HANDLE_INFO* entry = HandleEntry(handle))
        entry->needsIndexSave = 1;
}

void CExportViewUILogic::Task_OnOpenFileWithNameSuccess(void* handle, int key)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = Record(key);
    if (entry && record) {
        // A new handle's index is not ready until the library says so, which
        // may come before this answer (an index stored in the recording).
        entry->state = 2;
        if (record->isChannelFile) {
            const std::uint32_t start = record->fileInfo.GetStartTime()->ToTime();
            const std::uint32_t end = record->fileInfo.GetEndTime()->ToTime();
            if (start && end && !entry->hasTimes) {
                entry->hasTimes = 1;
                entry->startTime = start;
                entry->endTime = end;
            }
        }
        if (entry->hasTimes)
            UpdateChannelInfo(handle, key);
    }
    EndPending(key, PENDING_OPEN);
}

void CExportViewUILogic::Task_OnOpenFileSuccess(void* handle, int key)
{
    if (_EXPORT_HANDLE_INFO* entry = HandleEntry(handle)) {
        entry->state = 2;
        if (entry->hasTimes)
            UpdateChannelInfo(handle, key);
    }
    EndPending(key, PENDING_OPEN);
}

void CExportViewUILogic::Task_OnOpenFileFailed(int key)
{
    if (_EXPORT_FILE_INFO* failed = Record(key)) {
        failed->isOpen = 0;
        if (!failed->isChannelFile) {
            CheckItem(*failed, 0);
        } else {
            int dayPlayer = 0;
            int mate = 0;
            int otherChannel = 0;
            for (const auto& [other, record] : m_files) {
                if (other == key || !IsChannelOf(record, failed->groupName, failed->dayKey))
                    continue;
                if (HasLiveHandle(record))
                    dayPlayer = other;
                if (record.isOpen && record.channelKey == failed->channelKey)
                    mate = mate ? mate : other;
                if (record.isOpen && record.channelKey != failed->channelKey)
                    otherChannel = otherChannel ? otherChannel : other;
            }
            if (failed->isActive && mate) {
                Play(mate);
            } else if (!mate) {
                CheckItem(*failed, 0);
                if (failed->isActive && (dayPlayer || otherChannel))
                    Play(dayPlayer ? dayPlayer : otherChannel);
            }
        }
    }
    EndPending(key, PENDING_OPEN);
    ShowNotifyMessage(GetLangString(L"Open the video file unsuccessfully"), true);
}

void CExportViewUILogic::Task_OnPlay(void* handle, int key)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = Record(key);
    if (entry && record) {
        if (CSFVideoWindow* window = VideoWindow()) {
            m_subWinId = window->GetCurrentSubWinID();
            window->SetSubWinVideoByID(m_subWinId, 1);
        }
        if (record->isChannelFile)
            for (const auto& [other, sibling] : m_files)
                if (sibling.isOpen && IsChannelOf(sibling, record->groupName, record->dayKey) &&
                    HasLiveHandle(sibling)) {
                    if (other != key)
                        Stop(other);  // one recording of a day plays at a time
                    break;
                }
        entry->state = 0;
        if (auto page = m_page.lock())
            page->ShowPlaying(record->lineId);
        HilightItem(*record, 1);
    }
    EndPending(key, PENDING_PLAY);
}

void CExportViewUILogic::Task_OnPause(void* handle, int /*key*/)
{
    if (_EXPORT_HANDLE_INFO* entry = HandleEntry(handle))
        entry->state = 1;
    if (auto page = m_page.lock())
        page->ResetPlayButton();
}

void CExportViewUILogic::Task_OnStop(void* handle, int key)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = Record(key);
    if (entry && record) {
        entry->state = 2;
        HilightItem(*record, 0);
    }
    EndPending(key, PENDING_STOP);
}

void CExportViewUILogic::Task_OnClose(void* handle, int key)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = Record(key);
    if (entry && record) {
        entry->state = 3;
        // What plays next is settled once for all the closes of a batch.
        if (record->isChannelFile)
            m_closedDays.emplace(record->groupName, record->dayKey);
        else
            m_singleClosed = true;
        if (entry->isOnTimeLine) {
            // The row goes with the first of its files that closes.
            m_rowUpdates.erase(record->lineId);
            auto timeLine = TimeLine();
            if (timeLine && timeLine->GetChannelRecord(record->lineId))
                timeLine->RemoveChannelRecord(record->lineId);
            entry->isOnTimeLine = 0;
        }
        UpdateSpan(false);
        CheckItem(*record, 0);
    }
    EndPending(key, PENDING_CLOSE);
}

// After closes: a day with nothing playing plays another channel of it still
// open, and a player with nothing open is cleared and shows play.
void CExportViewUILogic::SettleClosedDays()
{
    const std::set<std::pair<std::wstring, int>> days = std::move(m_closedDays);
    m_closedDays.clear();
    bool clear = std::exchange(m_singleClosed, false);
    for (const auto& [group, dayKey] : days) {
        bool dayPlays = false;
        int otherChannel = -1;
        for (const auto& [key, sibling] : m_files) {
            if (!sibling.isOpen || !IsChannelOf(sibling, group, dayKey))
                continue;
            dayPlays = dayPlays || HasLiveHandle(sibling);
            otherChannel = otherChannel == -1 ? sibling.channelKey : otherChannel;
        }
        if (!dayPlays && otherChannel != -1)
            PlayChannel(group, dayKey, otherChannel);
        else if (!dayPlays)
            clear = true;
    }
    if (clear)
        ClearPlayerWhenIdle();
}

void CExportViewUILogic::ClearPlayerWhenIdle()
{
    for (const auto& [key, record] : m_files)
        if (record.isOpen)
            return;
    for (const auto& [handle, entry] : m_handles)
        if (entry.IsLive())
            return;
    if (CSFVideoWindow* window = VideoWindow())
        window->SetSubWinVideoByID(m_subWinId, 0);
    if (auto page = m_page.lock())
        page->ResetPlayButton();
}

void CExportViewUILogic::Task_OnDeletePlayHandle(void* handle, int key)
{
    m_analysesDue.erase(key);
    m_handles.erase(handle);
    m_files.erase(key);
}

void CExportViewUILogic::Task_OnDeleteFilesAll()
{
    if (IsExporting())
        return;
    if (auto page = m_page.lock())
        page->ResetAfterExport();
}

// ---- play objects ----

int CExportViewUILogic::OnQTRenderSubWin(void*, boost::shared_ptr<unsigned char[]> frame, int width, int height,
                                         boost::shared_ptr<SynSmartPtr>)
{
    if (CSFVideoWindow* window = VideoWindow()) {
        m_subWinId = window->GetCurrentSubWinID();
        window->RenderSubWin(m_subWinId, frame.get(), RENDER_DATA_QIMAGE, width, height);
    }
    return 1;
}

int CExportViewUILogic::OnDDRenderSubWinEx(void*, boost::shared_ptr<int>, unsigned char* frame, int width,
                                           int height, boost::shared_ptr<SynSmartPtr>, int, int)
{
    if (CSFVideoWindow* window = VideoWindow()) {
        m_subWinId = window->GetCurrentSubWinID();
        window->RenderOffScreenSurface(m_subWinId, frame, width, height, -1, -1);
    }
    return 1;
}

// A lookup that waits for this index is asked again now.
void CExportViewUILogic::OnFileRefFinished(void* handle, int)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    if (!entry)
        return;
    entry->isIndexReady = 1;
    if (entry->awaitsIndex)
        AskAgain(entry->fileKey);
}

void CExportViewUILogic::OnFileEnd(void* handle)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* ended = entry ? Record(entry->fileKey) : nullptr;
    if (!ended)
        return;
    const int key = entry->fileKey;
    if (!ended->isChannelFile) {
        PostPlay(&CExportViewPlayLogic::Task_RePlay, "&CExportViewPlayLogic::Task_RePlay", key);
        return;
    }
    int next = 0;
    int first = 0;
    for (const auto& [other, record] : m_files) {
        if (!record.isOpen || record.lineId != ended->lineId ||
            !IsChannelOf(record, ended->groupName, ended->dayKey))
            continue;
        if (other > key && !next)
            next = other;
        if (other <= key && !first)
            first = other;
    }
    if (!next && first == key) {
        PostPlay(&CExportViewPlayLogic::Task_RePlay, "&CExportViewPlayLogic::Task_RePlay", key);
        return;
    }
    if (next || first) {
        StopAndReset(key);
        Play(next ? next : first);
    }
}

void CExportViewUILogic::OnPlayTimeInfoChanged(void* handle, unsigned int start, unsigned int end)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = entry ? Record(entry->fileKey) : nullptr;
    if (!record || !record->isOpen)
        return;
    entry->hasTimes = 1;
    entry->startTime = start;
    entry->endTime = end;
    UpdateChannelInfo(handle, entry->fileKey);
}

void CExportViewUILogic::OnPlayPositionChanged(void* handle, unsigned int position)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = entry ? Record(entry->fileKey) : nullptr;
    if (!record || !record->isOpen || !entry->isOnTimeLine)
        return;
    if (auto timeLine = TimeLine())
        timeLine->SetPlayTime(record->lineId, int(position));
}

// ---- page, player and time line ----

void CExportViewUILogic::CheckItem(const _EXPORT_FILE_INFO& record, int check)
{
    if (auto page = m_page.lock())
        page->SetTreeItemCheck(record.groupName, record.isChannelFile ? record.dayKey : record.fileId,
                               record.channelKey, record.isChannelFile ? kKindChannel : kKindSingle, check);
}

// An item with nothing known to open (the list is not taken over yet, or
// its files left the index) does not stay checked.
void CExportViewUILogic::UncheckItem(const std::wstring& group, int key, int channelKey, int kind)
{
    if (auto page = m_page.lock())
        page->SetTreeItemCheck(group, key, channelKey, kind, 0);
}

void CExportViewUILogic::HilightItem(const _EXPORT_FILE_INFO& record, int hilight)
{
    if (auto page = m_page.lock())
        page->SetTreeItemHilight(record.groupName, record.isChannelFile ? record.dayKey : record.fileId,
                                 record.channelKey, record.isChannelFile ? kKindChannel : kKindSingle,
                                 hilight);
}

CSFVideoWindow* CExportViewUILogic::VideoWindow()
{
    if (!m_videoWindow)
        if (auto page = m_page.lock())
            m_videoWindow = page->GetVideoWindow();
    return m_videoWindow;
}

boost::shared_ptr<IExportTimeLine> CExportViewUILogic::TimeLine()
{
    boost::shared_ptr<IExportTimeLine> timeLine = m_timeLine.lock();
    if (!timeLine)
        if (auto page = m_page.lock()) {
            timeLine = page->GetTimeLineView();
            m_timeLine = timeLine;
        }
    return timeLine;
}

std::wstring CExportViewUILogic::RowLabel(const _EXPORT_FILE_INFO& record) const
{
    if (!record.isChannelFile)
        return FileNameOf(record.fileInfo.GetPathString());
    const int stream = FileIndexKeys::GetStreamIndex(record.channelKey);
    std::wstring label = std::wstring(GetLangString(L"Channel")) + L":" +
                         std::to_wstring(FileIndexKeys::GetChannelNumber(record.channelKey)) + L"_";
    if (stream)
        return label + GetLangString(L"extra") + std::to_wstring(stream);
    return label + GetLangString(L"main");
}

void CExportViewUILogic::UpdateChannelInfo(void* handle, int key)
{
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = Record(key);
    if (!entry || !record || !entry->hasTimes)
        return;
    RowUpdate& update = m_rowUpdates[record->lineId];
    if (update.segments.empty())
        update.name = RowLabel(*record);
    update.segments.push_back({key, std::int32_t(entry->startTime), std::int32_t(entry->endTime), 1});
    entry->isOnTimeLine = 1;
    UpdateSpan(true);
}

// The rows' segments that changed, one row update each.
void CExportViewUILogic::UpdateRows()
{
    std::map<int, RowUpdate> updates = std::move(m_rowUpdates);
    m_rowUpdates.clear();
    auto timeLine = updates.empty() ? nullptr : TimeLine();
    if (!timeLine)
        return;
    for (auto& [lineId, update] : updates) {
        UISF_Channel row;
        if (const UISF_Channel* existing = timeLine->GetChannelRecord(lineId)) {
            row = *existing;
        } else {
            row.channel = lineId;
            row.name = std::move(update.name);
        }
        std::unordered_map<int, UISF_TimeSegment*> byId;
        for (UISF_TimeSegment& segment : row.segments)
            byId.emplace(segment.id, &segment);
        for (const UISF_TimeSegment& segment : update.segments) {
            const auto found = byId.find(segment.id);
            if (found != byId.end()) {
                found->second->start = segment.start;
                found->second->end = segment.end;
            } else {
                row.segments.push_back(segment);
                byId.emplace(segment.id, &row.segments.back());
            }
        }
        timeLine->SetChannelRecord(row);
    }
}

// The span is worked out once per batch of answers (a batch that both moved
// and kept the cut marks is worked out where it changes from one to the other).
void CExportViewUILogic::UpdateSpan(bool movesCutMarks)
{
    if (m_spanDue && m_spanMovesCutMarks != movesCutMarks)
        ComputeSpan(m_spanMovesCutMarks);
    m_spanDue = true;
    m_spanMovesCutMarks = movesCutMarks;
    RequestPageUpdate();
}

// Within a tree operation its last answer updates the page; other answers
// are gathered for a short while.
void CExportViewUILogic::RequestPageUpdate()
{
    if (m_pageUpdatePosted)
        return;
    m_pageUpdatePosted = true;
    boost::weak_ptr<CExportViewUILogic> self = shared_from_this();
    QTimer::singleShot(m_pageUpdateMs, [self] {
        if (auto logic = self.lock())
            logic->UpdatePage();
    });
}

void CExportViewUILogic::UpdatePage()
{
    m_pageUpdatePosted = false;
    UpdateRows();
    if (std::exchange(m_spanDue, false))
        ComputeSpan(m_spanMovesCutMarks);
    if (!m_closedDays.empty() || m_singleClosed)
        SettleClosedDays();
}

// The earliest start and latest end of the recordings on the time line; the
// cut marks follow a bound that changed.
void CExportViewUILogic::ComputeSpan(bool movesCutMarks)
{
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    for (auto& [key, record] : m_files) {
        const _EXPORT_HANDLE_INFO* entry = record.isOpen ? HandleOf(record) : nullptr;
        if (!entry || !entry->isOnTimeLine || !entry->hasTimes)
            continue;
        start = start == 0 ? entry->startTime : std::min(start, entry->startTime);
        end = std::max(end, entry->endTime);
    }
    if (start > end)
        std::swap(start, end);
    auto page = movesCutMarks ? m_page.lock() : boost::shared_ptr<IExportView>();
    if (start != m_spanStart && page)
        page->SetCutTime(start, 0);
    if (end != m_spanEnd && page)
        page->SetCutTime(end, 1);
    m_spanStart = start;
    m_spanEnd = end;
}

// ---- player controls ----

int CExportViewUILogic::CurrentKey()
{
    for (const auto& [key, record] : m_files)
        if (record.isOpen && HasLiveHandle(record))
            return key;
    return 0;
}

void CExportViewUILogic::PlayCurrent()
{
    if (const int key = CurrentKey())
        Play(key);
}

void CExportViewUILogic::Pause()
{
    if (const int key = CurrentKey())
        PostPlay(&CExportViewPlayLogic::Task_Pause, "&CExportViewPlayLogic::Task_Pause", key);
}

void CExportViewUILogic::PlayNext()
{
    if (const int key = CurrentKey())
        PostPlay(&CExportViewPlayLogic::Task_StepForward, "&CExportViewPlayLogic::Task_StepForward", key);
}

void CExportViewUILogic::PlayPrev()
{
    if (const int key = CurrentKey())
        PostPlay(&CExportViewPlayLogic::Task_StepBackward, "&CExportViewPlayLogic::Task_StepBackward", key);
}

void CExportViewUILogic::SetPlaySpeed(float speed)
{
    m_speed = speed;
    if (const int key = CurrentKey())
        PostPlay(&CExportViewPlayLogic::Task_SetSpeed, "&CExportViewPlayLogic::Task_SetSpeed", key, speed);
}

void CExportViewUILogic::Seek(std::uint32_t time, int /*which*/)
{
    const auto live = std::find_if(m_handles.begin(), m_handles.end(),
                                   [](const auto& entry) { return entry.second.IsLive(); });
    if (live == m_handles.end())
        return;
    const int key = live->second.fileKey;
    const _EXPORT_FILE_INFO* current = Record(key);
    if (!current || !current->playHandle)
        return;
    const auto inside = [time](const _EXPORT_HANDLE_INFO& entry) {
        return entry.startTime < time && time < entry.endTime;
    };
    if (inside(live->second)) {
        PostPlay(&CExportViewPlayLogic::Task_Seek, "&CExportViewPlayLogic::Task_Seek", key, time);
        return;
    }
    for (auto& [other, record] : m_files) {
        const _EXPORT_HANDLE_INFO* entry = HandleOf(record);
        if (other == key || !record.isOpen || !entry || !inside(*entry) ||
            !IsChannelOf(record, current->groupName, current->dayKey, current->channelKey))
            continue;
        StopAndReset(key);
        Play(other);
        PostPlay(&CExportViewPlayLogic::Task_Seek, "&CExportViewPlayLogic::Task_Seek", other, time);
        return;
    }
}

// ---- removal ----

void CExportViewUILogic::SaveRefAll()
{
    for (const auto& [key, record] : m_files) {
        const _EXPORT_HANDLE_INFO* entry = HandleEntry(record.playHandle);
        if (entry && entry->needsIndexSave && entry->isIndexReady)
            PostPlay(&CExportViewPlayLogic::Task_SaveRef, "&CExportViewPlayLogic::Task_SaveRef", key,
                     record.fileInfo.GetPathString());
    }
}

void CExportViewUILogic::DeleteSingleFile(int fileId)
{
    const auto found = std::find_if(m_files.begin(), m_files.end(),
                                    [&](const auto& entry) { return entry.second.fileId == fileId; });
    if (found == m_files.end())
        return;
    const int key = found->first;
    ForgetPath(key, found->second);
    if (!found->second.playHandle && !found->second.isOpen) {
        m_files.erase(found);
    } else {
        found->second.isOpen = 0;
        PostPlay(&CExportViewPlayLogic::Task_DeleteHandle, "&CExportViewPlayLogic::Task_DeleteHandle", key);
    }
}

void CExportViewUILogic::ForgetPath(int key, const _EXPORT_FILE_INFO& record)
{
    const auto found = m_paths.find(record.fileInfo.GetPathString());
    if (found != m_paths.end() && found->second == key)
        m_paths.erase(found);
}

void CExportViewUILogic::DeleteChannel(const std::wstring& group, int dayKey, int channelKey)
{
    const std::list<int> keys = RemoveRecords([&](const _EXPORT_FILE_INFO& record) {
        return record.groupName == group && record.dayKey == dayKey && record.channelKey == channelKey;
    });
    if (!keys.empty())
        PostPlay(&CExportViewPlayLogic::Task_DeleteHandles, "&CExportViewPlayLogic::Task_DeleteHandles", keys);
}

void CExportViewUILogic::DeleteGroup(const std::wstring& group, int dayKey)
{
    const std::list<int> keys = RemoveRecords([&](const _EXPORT_FILE_INFO& record) {
        return record.groupName == group && record.dayKey == dayKey;
    });
    if (!keys.empty())
        PostPlay(&CExportViewPlayLogic::Task_DeleteHandles, "&CExportViewPlayLogic::Task_DeleteHandles", keys);
}

void CExportViewUILogic::DeleteFilesAll()
{
    const std::list<int> keys = RemoveRecords([](const _EXPORT_FILE_INFO&) { return true; });
    m_paths.clear();
    if (keys.empty() || !m_playLogic.lock()) {
        Task_OnDeleteFilesAll();
        return;
    }
    PostPlay(&CExportViewPlayLogic::Task_DeleteAllHandles, "&CExportViewPlayLogic::Task_DeleteAllHandles", keys);
}

// Records that hold nothing go at once; the others are closed and their keys
// returned, for the play logic to delete their play objects.
std::list<int> CExportViewUILogic::RemoveRecords(const std::function<bool(const _EXPORT_FILE_INFO&)>& matches)
{
    std::list<int> keys;
    for (auto entry = m_files.begin(); entry != m_files.end();) {
        _EXPORT_FILE_INFO& record = entry->second;
        if (!matches(record)) {
            ++entry;
            continue;
        }
        const int key = entry->first;
        ForgetPath(key, record);
        if (!record.playHandle && !record.isOpen) {
            entry = m_files.erase(entry);
            continue;
        }
        record.isOpen = 0;
        keys.push_back(key);
        ++entry;
    }
    return keys;
}

// ---- export run ----

void CExportViewUILogic::StartExport(int comboIndex, const std::wstring& folder, std::uint32_t start,
                                     std::uint32_t end, std::uint32_t interval)
{
    auto page = m_page.lock();
    if (!page)
        return;
    if (std::none_of(m_files.begin(), m_files.end(), [](const auto& entry) { return entry.second.isOpen; })) {
        page->PostNoExportFile();
        return;
    }
    m_snapshotInterval = interval;
    m_exportStart = start;
    m_exportEnd = end;
    m_exportFolder = NormalFolder(folder);
    m_exportType = ExportTypeOf(comboIndex);
    std::list<int> keys;
    for (auto& [key, record] : m_files) {
        const _EXPORT_HANDLE_INFO* entry = record.isOpen ? HandleOf(record) : nullptr;
        if (!entry)
            continue;
        if (entry->startTime <= end && entry->endTime >= start)
            keys.push_back(key);
        else
            record.isSelected = 0;
    }
    if (HasFileOf4GiB(keys)) {
        ClearExportMarks();
        page->PostFileTooLarge();
        return;
    }
    if (keys.empty()) {
        page->PostNoExportFile();
        return;
    }
    const std::map<ExportRefusal, std::vector<std::wstring>> refused = Unexportable(keys);
    if (!refused.empty()) {
        ClearExportMarks();
        for (const auto& [reason, names] : refused)
            page->PostCannotExport(names, reason);
        return;
    }
    qCDebug(lcExport, "CExportViewUILogic::StartExport  %d", int(keys.size()));
    m_analysisFailed = false;
    m_analysesAsked = keys.size();
    m_preparedShown = -1;
    for (int key : keys) {
        _EXPORT_FILE_INFO& record = m_files[key];
        const _EXPORT_HANDLE_INFO* entry = HandleOf(record);
        record.isSelected = 1;
        record.exportStart = std::max(entry->startTime, start);
        record.exportEnd = std::min(entry->endTime, end);
        AskKeyFrames(key, record, *HandleOf(record));
    }
    m_exporting = 1;
    page->OnExportStarted();
    ShowPrepared();
}

// The share of the span's recordings whose key frames are found.
void CExportViewUILogic::ShowPrepared()
{
    auto page = m_page.lock();
    if (!page || !m_exporting || m_analysesAsked == 0)
        return;
    const std::size_t done = m_analysesAsked - std::min(m_analysesAsked, m_analysesDue.size());
    const int percent = int(done * 100 / m_analysesAsked);
    if (percent == m_preparedShown)
        return;
    m_preparedShown = percent;
    page->SetPrepareProgress(percent);
}

// Why the chosen format cannot be made of a recording (none: it can): a
// raw copy is a byte cut, which must play on its own; the other formats read
// a container's span as records. Files that cannot be read are left to the
// export, which reports them.
std::optional<ExportRefusal> CExportViewUILogic::RefusalOf(int key) const
{
    const std::string path = SF_SOFT_BASE::WideToUtf8(m_files.at(key).fileInfo.GetPathString());
    const PLAY_MODULE::ByteCut cut = PLAY_MODULE::ByteCutOf(path);
    if (m_exportType == EXPORT_TYPE_RAW && cut == PLAY_MODULE::ByteCut::NeedsWholeFile)
        return ExportRefusal::WholeFileContainer;
    if (m_exportType != EXPORT_TYPE_RAW && cut != PLAY_MODULE::ByteCut::Unknown &&
        !PLAY_MODULE::FileLooksLikeKvx(path) && !PLAY_MODULE::CContainerRangeReader::Reads(path))
        return ExportRefusal::UncutVideo;
    return std::nullopt;
}

// The names of the recordings refused, by the reason.
std::map<ExportRefusal, std::vector<std::wstring>> CExportViewUILogic::Unexportable(const std::list<int>& keys) const
{
    std::map<ExportRefusal, std::vector<std::wstring>> refused;
    for (int key : keys)
        if (const std::optional<ExportRefusal> reason = RefusalOf(key))
            refused[*reason].push_back(FileNameOf(m_files.at(key).fileInfo.GetPathString()));
    return refused;
}

bool CExportViewUILogic::HasFileOf4GiB(const std::list<int>& keys) const
{
    for (int key : keys) {
        struct stat status;
        const std::string path = SF_SOFT_BASE::WideToUtf8(m_files.at(key).fileInfo.GetPathString());
        if (::stat(path.c_str(), &status) == 0 &&
            std::uint64_t(status.st_size) > std::numeric_limits<std::uint32_t>::max())
            return true;
    }
    return false;
}

void CExportViewUILogic::StopExport()
{
    if (!m_exporting)
        return;
    m_exporting = 0;
    PostExport(&CExportViewExportLogic::Task_StopExport, "&CExportViewExportLogic::Task_StopExport");
    if (!m_analysesDue.empty())
        PostPlay(&CExportViewPlayLogic::Task_DropLookups, "&CExportViewPlayLogic::Task_DropLookups");
    if (auto page = m_page.lock())
        page->DisableExportButton();
    if (EndIndexWaits())
        ContinueAfterAnalysis(false);
    if (!m_engineRunning)
        return;
    boost::weak_ptr<CExportViewUILogic> self = shared_from_this();
    QTimer::singleShot(kEngineStopWaitMs, [self, run = m_engineRuns] {
        if (auto logic = self.lock())
            logic->GiveUpEngineStop(run);
    });
}

// When the export ends before it wrote, lookups that wait for their index
// count as answered at once; whether there were any.
bool CExportViewUILogic::EndIndexWaits()
{
    bool ended = false;
    for (int key : std::vector<int>(m_analysesDue.begin(), m_analysesDue.end())) {
        _EXPORT_FILE_INFO* record = Record(key);
        _EXPORT_HANDLE_INFO* entry = record ? HandleOf(*record) : nullptr;
        if (!entry || !entry->awaitsIndex)
            continue;
        entry->awaitsIndex = 0;
        entry->isAnalysed = 1;
        EndLookups(key);
        ended = true;
    }
    return ended;
}

// The engine never reported after the stop: the page goes on without it.
void CExportViewUILogic::GiveUpEngineStop(int run)
{
    if (!m_engineRunning || run != m_engineRuns)
        return;
    qCDebug(lcExport, "CExportViewUILogic: the engine did not report its stop in time");
    OnExportStop();
}

void CExportViewUILogic::Task_OnAnalyseFileSuccess(void* handle, int key, std::uint64_t startPos,
                                                   std::uint64_t endPos)
{
    qCDebug(lcExport, "CExportViewUILogic::Task_OnAnalyseFileSuccess %d", key);
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    _EXPORT_FILE_INFO* record = Record(key);
    if (!entry || !record)
        return;
    entry->isAnalysed = 1;
    entry->isAnalyseOk = 1;
    entry->analysedStart = startPos;
    entry->analysedEnd = endPos;
    EndLookups(key);
    ShowPrepared();
    if (m_exporting)
        PostExport(&CExportViewExportLogic::Task_AddFile, "&CExportViewExportLogic::Task_AddFile",
                   int(m_exportType), record->fileInfo.GetPathString(), TargetOf(*record), startPos, endPos,
                   int(m_snapshotInterval), record->exportStart, record->exportEnd, entry->startTime);
    ContinueAfterAnalysis(true);
}

void CExportViewUILogic::EndLookups(int key)
{
    m_analysesDue.erase(key);
    PostPlay(&CExportViewPlayLogic::Task_EndAnalysis, "&CExportViewPlayLogic::Task_EndAnalysis", key);
}

void CExportViewUILogic::AskKeyFrames(int key, const _EXPORT_FILE_INFO& record, _EXPORT_HANDLE_INFO& entry)
{
    entry.askedWithIndexReady = entry.isIndexReady;
    m_analysesDue.insert(key);
    const bool pictures = m_exportType == EXPORT_TYPE_JPEG || m_exportType == EXPORT_TYPE_BMP;
    PostPlay(&CExportViewPlayLogic::Task_AnalyseFilePos, "&CExportViewPlayLogic::Task_AnalyseFilePos", key,
             record.exportStart, record.exportEnd, pictures);
}

// A lookup asked while the library still built the recording's index is
// asked again when the index is done (built or failed); a lookup asked with
// the index done fails the export when it fails.
void CExportViewUILogic::Task_OnAnalyseFileFailed(void* handle, int key)
{
    qCDebug(lcExport, "CExportViewUILogic::Task_OnAnalyseFileFailed %d", key);
    _EXPORT_HANDLE_INFO* entry = HandleEntry(handle);
    if (!entry)
        return;
    entry->isAnalyseOk = 0;
    if (m_exporting && !entry->askedWithIndexReady && entry->analyseRetries < kAnalyseRetries) {
        ++entry->analyseRetries;
        entry->isAnalysed = 0;
        AskAgainWhenIndexed(key, *entry);
        return;
    }
    entry->isAnalysed = 1;
    EndLookups(key);
    if (m_exporting) {
        m_exporting = 0;
        m_analysisFailed = true;
        EndIndexWaits();
    }
    ContinueAfterAnalysis(false);
}

// Lookups a stop dropped before they ran: each counts as answered.
void CExportViewUILogic::Task_OnLookupsDropped(std::list<int> keys)
{
    for (int key : keys) {
        _EXPORT_FILE_INFO* record = Record(key);
        if (_EXPORT_HANDLE_INFO* entry = record ? HandleOf(*record) : nullptr) {
            entry->isAnalysed = 1;
            entry->isAnalyseOk = 0;
        }
        m_analysesDue.erase(key);
    }
    ContinueAfterAnalysis(false);
}

// At once when the index was done meanwhile, else when its report comes
// (OnFileRefFinished), or after the fallback wait.
void CExportViewUILogic::AskAgainWhenIndexed(int key, _EXPORT_HANDLE_INFO& entry)
{
    if (entry.isIndexReady) {
        AskKeyFrames(key, m_files.at(key), entry);
        return;
    }
    entry.awaitsIndex = 1;
    boost::weak_ptr<CExportViewUILogic> self = shared_from_this();
    QTimer::singleShot(m_analyseRetryMs, [self, key, round = entry.analyseRetries] {
        if (auto logic = self.lock())
            logic->RetryAnalysis(key, round);
    });
}

// The fallback wait of the lookup failed in this round is over.
void CExportViewUILogic::RetryAnalysis(int key, int round)
{
    _EXPORT_FILE_INFO* record = Record(key);
    _EXPORT_HANDLE_INFO* entry = record ? HandleOf(*record) : nullptr;
    if (entry && entry->awaitsIndex && entry->analyseRetries == round)
        AskAgain(key);
}

// The wait of a lookup for its index is over: asked again, or, when the
// export ended meanwhile, answered.
void CExportViewUILogic::AskAgain(int key)
{
    _EXPORT_FILE_INFO* record = Record(key);
    _EXPORT_HANDLE_INFO* entry = record ? HandleOf(*record) : nullptr;
    if (!entry)
        return;
    entry->awaitsIndex = 0;
    if (m_exporting) {
        AskKeyFrames(key, *record, *entry);
        return;
    }
    entry->isAnalysed = 1;
    EndLookups(key);
    ContinueAfterAnalysis(false);
}

void CExportViewUILogic::ContinueAfterAnalysis(bool succeeded)
{
    if (!m_analysesDue.empty())
        return;  // more answers are due
    bool anySelected = false;
    for (const auto& [key, record] : m_files) {
        if (!record.isSelected)
            continue;
        anySelected = true;
        const _EXPORT_HANDLE_INFO* entry = HandleOf(record);
        if (!entry || !entry->isAnalysed || (m_exporting && !entry->isAnalyseOk))
            return;  // more answers are due
    }
    if (m_exporting && succeeded) {
        m_engineRunning = true;
        ++m_engineRuns;
        PostExport(&CExportViewExportLogic::Task_StartExport, "&CExportViewExportLogic::Task_StartExport");
        ClearExportMarks();
        return;
    }
    if (m_exporting || !anySelected)
        return;
    // The export was given up before it started.
    PostExport(&CExportViewExportLogic::Task_Clear, "&CExportViewExportLogic::Task_Clear");
    ClearExportMarks();
    const bool failed = m_analysisFailed;
    m_analysisFailed = false;
    OnExportStop();
    if (failed)
        OnExportFailed(0);
}

void CExportViewUILogic::ClearExportMarks()
{
    m_analysesDue.clear();
    for (auto& [key, record] : m_files) {
        record.isSelected = 0;
        if (_EXPORT_HANDLE_INFO* entry = HandleOf(record)) {
            entry->isAnalysed = 0;
            entry->isAnalyseOk = 0;
            entry->analyseRetries = 0;
            entry->askedWithIndexReady = 0;
            entry->awaitsIndex = 0;
        }
    }
}

std::wstring CExportViewUILogic::TargetOf(const _EXPORT_FILE_INFO& record) const
{
    if (m_exportType == EXPORT_TYPE_JPEG || m_exportType == EXPORT_TYPE_BMP)
        return record.channelKey != -1 ? m_exportFolder + L"/" + std::to_wstring(record.channelKey)
                                       : m_exportFolder;
    const std::wstring fileName = FileNameOf(record.fileInfo.GetPathString());
    std::wstring name;
    if (record.channelKey != -1) {
        CNamingRuleParser parser;
        parser.Parse(fileName.c_str());
        const int stream = FileIndexKeys::GetStreamIndex(record.channelKey);
        name = parser.name + L"@ch" + std::to_wstring(FileIndexKeys::GetChannelNumber(record.channelKey)) +
               (stream ? L"@extra" + std::to_wstring(stream) : std::wstring(L"@main"));
    } else {
        name = fileName.substr(0, fileName.rfind(L'.'));
    }
    const wchar_t* extension = m_exportType == EXPORT_TYPE_AVI ? L".avi" : L".kvx";
    return m_exportFolder + L"/" + name + L"_" + StampText(record.exportStart) + L"_" +
           StampText(record.exportEnd) + extension;
}

// ---- engine reports ----

void CExportViewUILogic::OnExportEnd()
{
    m_exporting = 0;
    m_engineRunning = false;
    if (auto page = m_page.lock())
        page->OnExportFinished();
}

void CExportViewUILogic::OnExportProgress(int percent)
{
    if (auto page = m_page.lock())
        page->SetExportProgress(percent);
}

void CExportViewUILogic::OnExportStop()
{
    m_exporting = 0;
    m_engineRunning = false;
    auto page = m_page.lock();
    if (!page)
        return;
    page->OnExportStopped();
    if (m_handles.empty())
        page->ResetAfterExport();
}

// The user is told where the part of a clip cut short is, or that it went.
void CExportViewUILogic::OnExportClipCut(std::string target, std::string keptPath)
{
    const std::wstring text =
        keptPath.empty()
            ? std::wstring(GetLangString(L"The clip cut short was removed: ")) + SF_SOFT_BASE::Utf8ToWide(target)
            : std::wstring(GetLangString(L"The clip cut short is kept as ")) + SF_SOFT_BASE::Utf8ToWide(keptPath);
    ShowNotifyMessage(text, true);
}

void CExportViewUILogic::OnExportPicturesRenamed(std::string folder, int count)
{
    ShowNotifyMessage(std::to_wstring(count) +
                          GetLangString(L" pictures were saved under new names, as theirs were taken, in ") +
                          SF_SOFT_BASE::Utf8ToWide(folder),
                      true);
}

void CExportViewUILogic::OnExportClipRenamed(std::string /*target*/, std::string placedPath)
{
    ShowNotifyMessage(std::wstring(GetLangString(L"The clip was saved under a new name, as its own was taken: ")) +
                          SF_SOFT_BASE::Utf8ToWide(placedPath),
                      true);
}

void CExportViewUILogic::OnExportNothingPlayable(std::string source)
{
    m_unplayable = FileNameOf(SF_SOFT_BASE::Utf8ToWide(source));
}

void CExportViewUILogic::OnExportFailed(int)
{
    m_exporting = 0;
    const std::wstring unplayable = std::move(m_unplayable);
    m_unplayable.clear();
    auto page = m_page.lock();
    if (page && unplayable.empty())
        page->PostExportFailed(m_exportFolder);
    else if (page)
        page->PostNothingPlayable(unplayable);
}
