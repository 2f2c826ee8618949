#include "Main/PlayManagerUILogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

#include <QDebug>

#include "Base/PostTask.h"
#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/FileNameHelpers.h"
#include "Common/LangString.h"
#include "Common/SaveFolders.h"
#include "Common/UserMessages.h"
#include "FileIndex/NamingRuleParser.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainPageFileList.h"
#include "Main/MainPlayListener.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/PathNames.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerPlayLogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/VideoInfoDlgEventImp.h"
#include "PageServices/PageHost.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFVideoWindow.h"
#include "Main/MainLog.h"

using LumivexBase::ML_MAIN;
using LumivexBase::ML_PLAY;

namespace {

constexpr int kRepeatOneButton = 156;
constexpr int kSyncPlayButton = 157;
constexpr int kReverseButton = 158;
constexpr int kPlayButton = 159;
// Only these recordings can be cut into a new one.
constexpr int kKvxFileType = 1;

bool IsNormalSpeed(float speed)
{
    return std::fabs(speed - 1.0f) <= 0.0001f;
}

bool Covers(const _QUERY_FILE_INFO& entry, unsigned int time)
{
    return unsigned(entry.startTime) <= time && time <= unsigned(entry.endTime);
}

bool HasTimes(const _QUERY_FILE_INFO& entry)
{
    return entry.startTime >= 0 && entry.endTime >= 0;
}

PlayHandleList NewHandleList()
{
    return PlayHandleList(new std::list<void*>);
}

void Notify(const wchar_t* key)
{
    ShowNotifyMessage(GetLangString(key), true);
}

// "Record Failed!", naming the recordings' folder and why when it cannot be
// written to, then what follows.
void NotifyRecordFailed(const std::wstring& following = {})
{
    const std::wstring failed =
        WithFolderProblem(GetLangString(L"Record Failed!"), CConfigManager::GetInstance()->VideoPath);
    ShowNotifyMessage(following.empty() ? failed : failed + L" " + following, true);
}

}  // namespace

#define POST_PLAY(method, ...) SF_POST_TASK(ML_PLAY, &CPlayManagerPlayLogic::method, m_playLogic, ##__VA_ARGS__)

boost::shared_ptr<CPlayManagerUILogic> CPlayManagerUILogic::Create(boost::weak_ptr<CPlayWinManagerEventImp> owner,
                                                                   CPlayBackends backends)
{
    boost::shared_ptr<CPlayManagerUILogic> logic(new CPlayManagerUILogic(std::move(owner)));
    logic->Init(std::move(backends));
    return logic;
}

CPlayManagerUILogic::CPlayManagerUILogic(boost::weak_ptr<CPlayWinManagerEventImp> owner) : m_owner(std::move(owner))
{
}

CPlayManagerUILogic::~CPlayManagerUILogic() = default;

void CPlayManagerUILogic::Init(CPlayBackends backends)
{
    m_listener.reset(new CMainPlayListener(weak_from_this(), VideoWindow()));
    m_playLogic.reset(new CPlayManagerPlayLogic(weak_from_this(), std::move(backends)));
}

CSFVideoWindow* CPlayManagerUILogic::VideoWindow() const
{
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    return owner ? owner->GetVideoWindow() : nullptr;
}

boost::shared_ptr<CPlayBarEventImp> CPlayManagerUILogic::PlayBar() const
{
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    return owner ? owner->GetPlayBar() : nullptr;
}

boost::shared_ptr<CMainTimeLineEventImp> CPlayManagerUILogic::TimeLine() const
{
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    boost::shared_ptr<CMainPageEventImp> page = owner ? owner->GetMainPage() : nullptr;
    return page ? page->GetMainTimeLine() : nullptr;
}

int CPlayManagerUILogic::CurrentWindow() const
{
    CSFVideoWindow* grid = VideoWindow();
    return grid ? grid->GetCurrentSubWinID() : -1;
}

void CPlayManagerUILogic::UpdatePlayBar(int id, int check) const
{
    if (boost::shared_ptr<CPlayBarEventImp> bar = PlayBar())
        bar->UpdateButtonState(id, check);
}

bool CPlayManagerUILogic::IsPlayBarPlaying() const
{
    boost::shared_ptr<CPlayBarEventImp> bar = PlayBar();
    return bar && bar->IsPlaying();
}

void CPlayManagerUILogic::MarkPlaying(const _QUERY_FILE_INFO& entry, int on) const
{
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    if (owner)
        MainPageFileList::SetFilesHilight(owner->GetMainPage(), MakeItemDescription(entry), on);
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CPlayManagerUILogic::MakeItemDescription(const _QUERY_FILE_INFO& entry)
{
    std::wstring name;
    if (entry.queryType == QUERY_FILEPATH_SINGLE) {
        name = FileNameWithoutExtension(entry.path);
    } else {
        CNamingRuleParser parser(nullptr);
        parser.Parse(FileNameOf(entry.path).c_str());
        name = parser.name;
    }
    _GROUP_FILE_INFO item;
    item.groupName = name;
    item.key = entry.requestKey;
    if (entry.channelKey > -1)
        item.channels[entry.channelKey] = nullptr;
    return boost::shared_ptr<std::list<_GROUP_FILE_INFO>>(new std::list<_GROUP_FILE_INFO>{item});
}

// ---- window state and opening ----

void CPlayManagerUILogic::StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> record,
                                           int syncPlay)
{
    // The record starts a new play: forward, not ended, not paused, no index yet.
    record->endMark = 0;
    record->directionMark = 1;
    record->pauseMark = 0;
    record->indexMark = 0;
    const int window = record->window;
    if (m_shown.count(window))
        CloseFiles(nullptr, window);
    UpdatePlayBar(kPlayButton, 1);
    MarkPlaying(*record, 1);
    if (CSFVideoWindow* grid = VideoWindow())
        grid->SetSubWinVideoByID(window, 1);
    boost::shared_ptr<IPlayObjectListener> listener = m_listener;
    POST_PLAY(Task_PlayOneFile, path, listener, record, syncPlay);
}

void CPlayManagerUILogic::Task_PlayOneFile_Ret(int result, void* handle, boost::shared_ptr<_QUERY_FILE_INFO> record)
{
    --m_nWantedReturnNum;
    qCDebug(lcMain, "Task_PlayOneFile_Ret playid = %p result = %d", handle, result);
    if (m_nWantedReturnNum <= 0)
        qCDebug(lcMain, "m_nWantedReturnNum <= 0");
    unsigned int start = 0;
    unsigned int end = 0;
    const bool pendingTime = m_listener->TakePendingTimeInfo(handle, start, end);
    if (result != 1) {
        // A failed open still counts as answered, so the batch goes on.
        MarkPlaying(*record, 0);
        if (CSFVideoWindow* grid = VideoWindow())
            grid->SetSubWinVideoByID(record->window, 0);
        if (m_handleToWindow.empty() && m_nWantedReturnNum <= 0)
            UpdatePlayBar(kPlayButton, 0);
        Notify(L"open or play record failed!");
    } else {
        const int window = record->window;
        if (m_shown.count(window)) {
            m_hidden[handle] = *record;
            ReadyIfNextFile(handle);
            qCDebug(lcMain, "Hide ---playid = %p at winid = %d", handle, window);
        } else {
            m_handleToWindow[handle] = window;
            m_shown[window] = *record;
            // The play loop may have kept it as a record when the window's first file failed.
            POST_PLAY(Task_WakeFile, handle, 0u);
            ShowInWindow(*record);
            ReadyNextFile(window);
            qCDebug(lcMain, "Show ---playid = %p at winid = %d", handle, window);
        }
        if (pendingTime)
            m_listener->OnPlayTimeInfoChanged(handle, start, end);
        else if (HasTimes(*record))
            AddTimeSpan(*record);
    }
    if (m_wantedShowNum > 0)
        --m_wantedShowNum;
    if (m_nWantedReturnNum == 0)
        Pause(0, nullptr, -1);
    CheckSynPlay();
    if (result == 1 && m_handleToWindow.count(handle) && m_handleToWindow[handle] == CurrentWindow())
        POST_PLAY(Task_OpenAudio, handle);
}

void CPlayManagerUILogic::ShowInWindow(const _QUERY_FILE_INFO& record)
{
    // An earlier file of the window that failed to open blanked it and its list item.
    MarkPlaying(record, 1);
    if (CSFVideoWindow* grid = VideoWindow())
        grid->SetSubWinVideoByID(record.window, 1);
}

void CPlayManagerUILogic::Task_WakeFile_Ret(void* handle, int woken)
{
    if (woken || !m_handleToWindow.count(handle))
        return;
    // A file that no longer opens ends where it stands: its window goes on with the next one.
    Notify(L"open or play record failed!");
    m_listener->OnFileEnd(handle);
}

void CPlayManagerUILogic::AddTimeSpan(const _QUERY_FILE_INFO& record)
{
    // Gathered: a day's thousands of answers change each row a few times only.
    if (m_pendingSpans.empty())
        SF_POST_TASK(ML_MAIN, &CPlayManagerUILogic::ShowPendingTimeSpans, shared_from_this());
    m_pendingSpans[record.window].push_back({record.fileId, record.startTime, record.endTime, 1});
    m_pendingSpanLabels[record.window] = CMainPlayListener::MakeRecordLabel(record);
}

void CPlayManagerUILogic::ShowPendingTimeSpans()
{
    std::map<int, std::vector<UISF_TimeSegment>> spans;
    spans.swap(m_pendingSpans);
    boost::shared_ptr<CMainTimeLineEventImp> timeLine = TimeLine();
    for (auto& [window, windowSpans] : spans) {
        auto shown = m_shown.find(window);
        if (!timeLine || shown == m_shown.end())
            continue;
        // The shown file's span may have come from its library meanwhile.
        for (UISF_TimeSegment& span : windowSpans)
            if (span.id == shown->second.fileId && HasTimes(shown->second)) {
                span.start = shown->second.startTime;
                span.end = shown->second.endTime;
            }
        timeLine->UpdateTimeRecords(window, m_pendingSpanLabels[window], windowSpans);
    }
    m_pendingSpanLabels.clear();
}

_QUERY_FILE_INFO* CPlayManagerUILogic::GetWindowEntry(int window)
{
    auto it = m_shown.find(window);
    return it == m_shown.end() ? nullptr : &it->second;
}

_QUERY_FILE_INFO* CPlayManagerUILogic::GetHiddenEntry(void* handle)
{
    auto it = m_hidden.find(handle);
    return it == m_hidden.end() ? nullptr : &it->second;
}

int CPlayManagerUILogic::GetWindowOfHandle(void* handle) const
{
    auto it = m_handleToWindow.find(handle);
    return it == m_handleToWindow.end() ? -1 : it->second;
}

int CPlayManagerUILogic::GetWindowReadiedWith(void* handle) const
{
    for (const auto& [window, readied] : m_readyFor)
        if (readied == handle && handle)
            return window;
    return -1;
}

void* CPlayManagerUILogic::GetHandleOfWindow(int window) const
{
    for (const auto& [handle, shownWindow] : m_handleToWindow)
        if (shownWindow == window)
            return handle;
    return nullptr;
}

void* CPlayManagerUILogic::HandleOrWindowHandle(void* handle, int window) const
{
    if (handle || window < 0)
        return handle;
    return GetHandleOfWindow(window);
}

_QUERY_FILE_INFO* CPlayManagerUILogic::GetShownEntry(void* handle)
{
    const int window = GetWindowOfHandle(handle);
    return window >= 0 ? GetWindowEntry(window) : nullptr;
}

_QUERY_FILE_INFO* CPlayManagerUILogic::GetEntry(void* handle)
{
    _QUERY_FILE_INFO* shown = GetShownEntry(handle);
    return shown ? shown : GetHiddenEntry(handle);
}

void CPlayManagerUILogic::SetFileEndMark(void* handle, int value)
{
    if (_QUERY_FILE_INFO* entry = GetEntry(handle))
        entry->endMark = value;
}

int CPlayManagerUILogic::AreAllFilesEnded() const
{
    // A window whose file ended shows its next one while there is one: the
    // files it does not show are behind it or ahead of a shown file still playing.
    for (const auto& shown : m_shown)
        if (shown.second.endMark == 0)
            return 0;
    return 1;
}

int CPlayManagerUILogic::SetRepeatOne(int mode)
{
    if (m_synPlay == 1 && mode == 1) {
        UpdatePlayBar(kRepeatOneButton, 0);
        return 0;
    }
    const int previous = m_repeatOne;
    m_repeatOne = mode;
    if (mode == 1 && !m_shown.empty() && m_shown.begin()->second.queryType == QUERY_FILEPATH_DAY)
        ReannounceEndedFiles();
    return previous;
}

void CPlayManagerUILogic::Task_SetPlayDirection_FailedRet(PlayHandleList failed, int forward)
{
    if (forward != 0)
        return;
    for (void* handle : *failed)
        if (_QUERY_FILE_INFO* entry = GetEntry(handle))
            entry->directionMark = 1;
    if (_QUERY_FILE_INFO* current = GetWindowEntry(CurrentWindow()))
        UpdatePlayBar(kReverseButton, current->directionMark == 1 ? 0 : 1);
    Notify(L"Failed to play backward!");
}

void CPlayManagerUILogic::Task_Pause_Ret(int, int)
{
    m_pauseAnswered = 1;
}

int CPlayManagerUILogic::VerticalSyncEnable(int enable)
{
    CSFVideoWindow* grid = VideoWindow();
    return grid ? grid->VerticalSyncEnable(enable) : 0;
}

// ---- closing ----

void CPlayManagerUILogic::ClearWindow(int window)
{
    m_recordingWindows.erase(window);  // closing the file ends its recording
    m_pendingSpans.erase(window);
    if (boost::shared_ptr<CMainTimeLineEventImp> timeLine = TimeLine())
        timeLine->RemoveChannelRecord(window);
    if (CSFVideoWindow* grid = VideoWindow()) {
        grid->SetSubWinVideoByID(window, 0);
        grid->SetSubWinRecordState(window, 0);
    }
    if (_QUERY_FILE_INFO* entry = GetWindowEntry(window))
        MarkPlaying(*entry, 0);
}

void CPlayManagerUILogic::CloseOneWindow(void* handle, std::list<void*>& closing)
{
    closing.push_back(handle);
    const int window = GetWindowOfHandle(handle);
    ClearWindow(window);
    m_handleToWindow.erase(handle);
    m_shown.erase(window);
    m_readyFor.erase(window);
    for (auto it = m_hidden.begin(); it != m_hidden.end();) {
        if (it->second.window == window) {
            closing.push_back(it->first);
            it = m_hidden.erase(it);
        } else {
            ++it;
        }
    }
}

void CPlayManagerUILogic::CloseFiles(void* handle, int window)
{
    PlayHandleList closing = NewHandleList();
    if (!handle && window == -1) {
        for (const auto& [shownHandle, shownWindow] : m_handleToWindow) {
            closing->push_back(shownHandle);
            ClearWindow(shownWindow);
        }
        m_handleToWindow.clear();
        m_shown.clear();
        m_readyFor.clear();
        for (const auto& hidden : m_hidden)
            closing->push_back(hidden.first);
        m_hidden.clear();
    } else {
        if (!handle) {
            if (window < -1)
                return;
            handle = GetHandleOfWindow(window);
            if (!handle)
                return;
        }
        if (!m_handleToWindow.count(handle))
            return;
        CloseOneWindow(handle, *closing);
    }
    if (m_handleToWindow.empty())
        UpdatePlayBar(kPlayButton, 0);
    if (m_handleToWindow.empty() && m_hidden.empty())
        ForgetGroup();
    if (closing->empty()) {
        // Nothing to close: the exit may go on unless closes are still answering.
        m_closeWantedNum = std::max(m_closeWantedNum, 0);
        ReportClosedWhenDone();
        return;
    }
    // Closes already in flight still answer: add to them.
    m_closeWantedNum = std::max(m_closeWantedNum, 0) + int(closing->size());
    POST_PLAY(Task_CloseFiles, closing);
}

void CPlayManagerUILogic::ForgetGroup()
{
    // The play loop closes the group with its last file; the Sync Play
    // button stays as the user left it, so the next files form a new group.
    m_synPlay = 0;
}

void CPlayManagerUILogic::Task_CloseFiles_Ret(void*, int)
{
    --m_closeWantedNum;
    ReportClosedWhenDone();
}

void CPlayManagerUILogic::ReportClosedWhenDone()
{
    if (m_closeWantedNum >= 1 || m_nWantedReturnNum >= 1 || m_deferredCloses > 0)
        return;
    if (!m_handleToWindow.empty() || !m_hidden.empty())
        return;
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    boost::shared_ptr<CMainPageEventImp> page = owner ? owner->GetMainPage() : nullptr;
    boost::shared_ptr<IPageHost> host = page ? page->GetMainFrame() : nullptr;
    if (host && host->IsClosing() == 1) {
        host->Task_OnCloseSuccess(0);
        qCDebug(lcMain, "all playmodule closed,main page close successfully!");
    }
}

void CPlayManagerUILogic::CertainCloseFiles(void* handle, int window)
{
    if (m_closeWantedNum <= 0 && m_nWantedReturnNum <= 0) {
        CloseFiles(handle, window);
        return;
    }
    // Answers arriving meanwhile must not end the page before this close ran.
    ++m_deferredCloses;
    SF_POST_TASK(ML_MAIN, &CPlayManagerUILogic::RetryCertainClose, shared_from_this(), handle, window);
}

void CPlayManagerUILogic::RetryCertainClose(void* handle, int window)
{
    --m_deferredCloses;
    CertainCloseFiles(handle, window);
}

int CPlayManagerUILogic::CloseFilesOfDeletedItems(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> items)
{
    for (const _GROUP_FILE_INFO& item : *items) {
        if (item.channels.empty()) {
            for (const auto& [window, entry] : m_shown)
                if (entry.requestKey == item.key) {
                    CloseFiles(nullptr, window);
                    break;
                }
            continue;
        }
        for (const auto& channel : item.channels) {
            for (const auto& [window, entry] : m_shown) {
                if (entry.requestKey != item.key || entry.channelKey != channel.first)
                    continue;
                CNamingRuleParser parser(nullptr);
                if (parser.Parse(FileNameOf(entry.path).c_str()) && parser.name == item.groupName) {
                    CloseFiles(nullptr, window);
                    break;
                }
            }
        }
    }
    return 1;
}

void CPlayManagerUILogic::Task_StartRecord_Ret(int result, int window)
{
    if (result == RECORD_STARTED)
        m_recordingWindows.insert(window);
    else
        m_recordingWindows.erase(window);
    if (result == RECORD_FAILED)
        NotifyRecordFailed();
    else if (result == RECORD_REFUSED)
        Notify(L"It can not record as playing under abnormal playing state!");
    if (CSFVideoWindow* grid = VideoWindow())
        grid->SetSubWinRecordState(window, result == RECORD_STARTED ? 1 : 0);
}

void CPlayManagerUILogic::Task_StopRecord_Ret(int result, int window)
{
    // Stops are also posted where nothing records (a file switch, a seek,
    // a speed change): only a running recording's stop can fail.
    if (m_recordingWindows.erase(window) && !result)
        NotifyRecordFailed();
    if (CSFVideoWindow* grid = VideoWindow())
        grid->SetSubWinRecordState(window, 0);
}

void CPlayManagerUILogic::RecordFailed(void* handle, const std::wstring& keptPath, unsigned int keptSeconds)
{
    const int window = GetWindowOfHandle(handle);
    m_recordingWindows.erase(window);
    if (CSFVideoWindow* grid = VideoWindow(); grid && window >= 0)
        grid->SetSubWinRecordState(window, 0);
    const std::wstring kept = keptPath.empty()
                                  ? std::wstring(GetLangString(L"Nothing was kept."))
                                  : std::to_wstring(keptSeconds) + GetLangString(L" s were kept in ") + keptPath;
    NotifyRecordFailed(kept);
}

// ---- play controls ----

void CPlayManagerUILogic::Pause(int pause, void* handle, int window)
{
    PlayHandleList handles = NewHandleList();
    if (!handle && window == -1) {
        for (const auto& [shownHandle, shownWindow] : m_handleToWindow) {
            handles->push_back(shownHandle);
            m_shown[shownWindow].pauseMark = pause;
        }
    } else {
        if (!handle)
            handle = GetHandleOfWindow(window);
        handles->push_back(handle);
        if (_QUERY_FILE_INFO* entry = GetEntry(handle))
            entry->pauseMark = pause;
    }
    if (handles->empty())
        return;
    m_pauseAnswered = 0;
    if (m_synPlay == 1) {
        POST_PLAY(Task_GroupPause, pause);
        return;
    }
    POST_PLAY(Task_Pause, handles, pause);
    if (pause == 0)
        ReannounceEndedFiles();
}

void CPlayManagerUILogic::ReannounceEndedFiles()
{
    // A copy: the end handling may close windows.
    const std::map<void*, int> shown = m_handleToWindow;
    for (const auto& [handle, window] : shown) {
        _QUERY_FILE_INFO* entry = GetWindowEntry(window);
        if (entry && entry->endMark == 1)
            m_listener->OnFileEnd(handle);
    }
}

void CPlayManagerUILogic::SetPlaySpeed(float speed)
{
    const bool normal = IsNormalSpeed(speed);
    if (m_synPlay == 1) {
        POST_PLAY(Task_GroupPlaySpeed, speed);
        if (!normal) {
            const std::map<void*, int> shown = m_handleToWindow;
            for (const auto& [handle, window] : shown)
                StopRecord(handle, window);
        }
        return;
    }
    const int current = CurrentWindow();
    void* currentHandle = nullptr;
    PlayHandleList handles = NewHandleList();
    CSFVideoWindow* grid = VideoWindow();
    for (const auto& [handle, window] : m_handleToWindow) {
        if (!normal && grid)
            grid->SetSubWinRecordState(window, 0);
        if (window == current)
            currentHandle = handle;
        handles->push_back(handle);
    }
    POST_PLAY(Task_SetPlaySpeed, handles, speed);
    if (!currentHandle)
        return;
    if (normal)
        POST_PLAY(Task_OpenAudio, currentHandle);
    else
        POST_PLAY(Task_CloseAudio, currentHandle);
}

bool CPlayManagerUILogic::CanPlayBackward() const
{
    if (!m_shown.empty() && m_shown.begin()->second.queryType == QUERY_FILEPATH_DAY)
        return std::all_of(m_shown.begin(), m_shown.end(), [](const auto& shown) { return shown.second.indexMark == 1; });
    const int current = CurrentWindow();
    auto it = m_shown.find(current);
    if (it == m_shown.end())
        return true;
    return !GetHandleOfWindow(current) || it->second.indexMark == 1;
}

void CPlayManagerUILogic::FlipDirection(int forward, std::list<void*>& handles)
{
    CSFVideoWindow* grid = VideoWindow();
    if (m_shown.begin()->second.queryType == QUERY_FILEPATH_DAY) {
        for (const auto& [handle, window] : m_handleToWindow) {
            if (!forward && grid)
                grid->SetSubWinRecordState(window, 0);
            handles.push_back(handle);
        }
        for (auto& shown : m_shown)
            TurnEntry(shown.second, forward);
        for (auto& hidden : m_hidden) {
            handles.push_back(hidden.first);
            TurnEntry(hidden.second, forward);
        }
        return;
    }
    const int current = CurrentWindow();
    _QUERY_FILE_INFO* entry = GetWindowEntry(current);
    if (!entry)
        return;
    if (void* handle = GetHandleOfWindow(current)) {
        if (!forward && grid)
            grid->SetSubWinRecordState(current, 0);
        handles.push_back(handle);
        TurnEntry(*entry, forward);
    }
    if (entry->queryType != QUERY_FILEPATH_CHANNEL)
        return;
    for (auto& hidden : m_hidden) {
        if (hidden.second.window != current)
            continue;
        handles.push_back(hidden.first);
        TurnEntry(hidden.second, forward);
    }
}

// An end reached the other way lies behind the file's play now.
void CPlayManagerUILogic::TurnEntry(_QUERY_FILE_INFO& entry, int forward)
{
    if (entry.directionMark != forward)
        entry.endMark = 0;
    entry.directionMark = forward;
}

void CPlayManagerUILogic::SetPlayDirection(int forward)
{
    if (forward == 0 && !CanPlayBackward()) {
        UpdatePlayBar(kReverseButton, 0);
        Notify(L"System is creating index!Can not play in reverse!");
        return;
    }
    UpdatePlayBar(kReverseButton, forward ? 0 : 1);
    PlayHandleList handles = NewHandleList();
    if (!m_shown.empty())
        FlipDirection(forward, *handles);
    if (m_synPlay == 1)
        POST_PLAY(Task_GroupPlayDirection, forward);
    else
        POST_PLAY(Task_SetPlayDirection, handles, forward);
    for (const auto& shown : m_shown)
        ReadyNextFile(shown.first);
}

void CPlayManagerUILogic::OneStepPlay(int forward)
{
    if (m_synPlay == 1) {
        Notify(L"Can not step play while synchronous playing!");
        return;
    }
    boost::shared_ptr<CPlayBarEventImp> bar = PlayBar();
    if (bar && bar->GetSpeed() >= 16.0f) {
        Notify(L"Can not step play while fast playing upon 16x speed!");
        return;
    }
    PlayHandleList handles = NewHandleList();
    for (const auto& [handle, window] : m_handleToWindow) {
        handles->push_back(handle);
        if (!forward && m_shown[window].endMark == 1)
            m_shown[window].endMark = 0;
    }
    if (!handles->empty())
        POST_PLAY(Task_OneStepPlay, handles, forward);
}

void CPlayManagerUILogic::SetPlayVolume(int volume)
{
    PlayHandleList handles = NewHandleList();
    for (const auto& shown : m_handleToWindow)
        handles->push_back(shown.first);
    const int level = std::clamp(volume, 0, 100);
    POST_PLAY(Task_SetPlayVolume, handles, 2 * level - 100);
}

void CPlayManagerUILogic::SetMutePlay(int mute)
{
    PlayHandleList handles = NewHandleList();
    const int current = CurrentWindow();
    for (const auto& [handle, window] : m_handleToWindow)
        if (window == current)
            handles->push_back(handle);
    POST_PLAY(Task_MutePlay, handles, mute);
}

void CPlayManagerUILogic::ChangeAudio(int newWindow, int oldWindow)
{
    void* newHandle = nullptr;
    void* oldHandle = nullptr;
    for (const auto& [handle, window] : m_handleToWindow) {
        if (window == newWindow)
            newHandle = handle;
        if (window == oldWindow)
            oldHandle = handle;
    }
    if (oldHandle)
        POST_PLAY(Task_CloseAudio, oldHandle);
    if (newHandle)
        POST_PLAY(Task_OpenAudio, newHandle);
}

void CPlayManagerUILogic::SeekRelativePos(void* handle, float percent, int window)
{
    handle = HandleOrWindowHandle(handle, window);
    if (!handle)
        return;
    POST_PLAY(Task_SeekRelativePos, handle, percent);
}

// ---- snapshot, recording, index, video information ----

void CPlayManagerUILogic::SnapPicture(void* handle, const std::wstring& path, int imageType, int window)
{
    handle = HandleOrWindowHandle(handle, window);
    if (!handle)
        return;
    POST_PLAY(Task_SnapPicure, handle, path, PLAY_MODULE::PM_IMAGE_TYPE(imageType));
}

void CPlayManagerUILogic::Task_SnapPicure_Ret(int result)
{
    if (result != 1)
        ShowNotifyMessage(WithFolderProblem(GetLangString(L"Snapshot Failed!"), CConfigManager::GetInstance()->SnapPath),
                          true);
}

int CPlayManagerUILogic::StartRecord(void* handle, const std::wstring& path, int recordType, int window)
{
    if (!handle && window >= 0)
        handle = GetHandleOfWindow(window);
    _QUERY_FILE_INFO* entry = GetWindowEntry(window);
    if (!entry)
        return 0;
    if (GetFileTypeByExtension(entry->path) != kKvxFileType) {
        Notify(L"Only .kvx files can be recorded!");
        return 0;
    }
    POST_PLAY(Task_StartRecord, handle, path, recordType, window);
    return 1;
}

void CPlayManagerUILogic::StopRecord(void* handle, int window)
{
    handle = HandleOrWindowHandle(handle, window);
    if (!handle)
        return;
    POST_PLAY(Task_StopRecord, handle, window);
}

void CPlayManagerUILogic::SaveIndex(void* handle)
{
    _QUERY_FILE_INFO* entry = GetEntry(handle);
    if (!entry)
        return;
    entry->indexMark = 1;
    POST_PLAY(Task_SaveRef, handle, entry->path);
}

void CPlayManagerUILogic::PopVideoInfoDlg(int window)
{
    void* handle = window > -1 ? GetHandleOfWindow(window) : nullptr;
    if (handle)
        POST_PLAY(Task_GetVideoInfo, handle);
}

void CPlayManagerUILogic::Task_GetVideoInfo_Ret(void* handle, std::wstring resolution, std::wstring frameRate,
                                                std::wstring duration)
{
    _QUERY_FILE_INFO* entry = GetShownEntry(handle);
    if (!entry)
        return;
    struct stat st;
    if (::stat(SF_SOFT_BASE::WideToUtf8(entry->path).c_str(), &st) != 0)
        return;
    const double size = double(st.st_size);
    wchar_t sizeText[32];
    if (st.st_size > 1048576)
        std::swprintf(sizeText, 32, L"%0.3f MB", size / 1048576);
    else
        std::swprintf(sizeText, 32, L"%0.3f KB", size / 1024);
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    boost::shared_ptr<CVideoInfoDlgEventImp> dialog = owner ? owner->GetVideoInfoDlg() : nullptr;
    if (dialog)
        dialog->SetVideoInfo(resolution, frameRate, duration, sizeText, entry->path);
}

// ---- seek and synchronised play ----

void CPlayManagerUILogic::SwapWindow(int window, void* shown, void* hidden, unsigned int time)
{
    qCDebug(lcMain, "Hide ---playid = %p at winid = %d", shown, window);
    qCDebug(lcMain, "Show ---playid = %p at winid = %d", hidden, window);
    m_handleToWindow[hidden] = window;
    m_hidden[shown] = m_shown[window];
    m_shown[window] = m_hidden[hidden];
    m_handleToWindow.erase(shown);
    m_hidden.erase(hidden);
    // Only shown files play: the new one opens before the old one closes.
    POST_PLAY(Task_WakeFile, hidden, time);
    POST_PLAY(Task_SleepFile, shown);
    ReadyNextFile(window);
}

void* CPlayManagerUILogic::HiddenFileCovering(int window, unsigned int time) const
{
    for (const auto& [hiddenHandle, entry] : m_hidden)
        if (entry.window == window && Covers(entry, time))
            return hiddenHandle;
    return nullptr;
}

void* CPlayManagerUILogic::ShowFileOfTime(int window, void* shown, unsigned int time)
{
    void* target = Covers(m_shown[window], time) ? nullptr : HiddenFileCovering(window, time);
    if (!target)
        return shown;
    StopRecord(shown, window);
    if (CurrentWindow() == window)
        POST_PLAY(Task_CloseAudio, shown);
    SwapWindow(window, shown, target, time);
    // It may have played to its end before: resuming must not announce that end again.
    SetFileEndMark(target, 0);
    if (m_synPlay != 1)
        Pause(IsPlayBarPlaying() ? 0 : 1, target, -1);
    return target;
}

void CPlayManagerUILogic::Seek(void* handle, unsigned int time, int window)
{
    if (!handle && window >= 0)
        handle = GetHandleOfWindow(window);
    const int shownWindow = GetWindowOfHandle(handle);
    if (shownWindow < 0)
        return;
    if (m_synPlay == 1) {
        // The group seeks every file: each window shows the one of that time.
        const std::map<void*, int> shown = m_handleToWindow;
        for (const auto& [shownHandle, groupWindow] : shown)
            ShowFileOfTime(groupWindow, shownHandle, time);
        POST_PLAY(Task_GroupSeek, time);
        if (!IsPlayBarPlaying())
            POST_PLAY(Task_GroupPause, 1);
        return;
    }
    void* target = ShowFileOfTime(shownWindow, handle, time);
    POST_PLAY(Task_Seek, target, time);
    if (CurrentWindow() == shownWindow)
        POST_PLAY(Task_OpenAudio, target);
}

unsigned int CPlayManagerUILogic::ClampToShownTimes(unsigned int time) const
{
    unsigned int first = 0;
    unsigned int last = 0;
    for (const auto& [window, entry] : m_shown) {
        if (!HasTimes(entry))
            return time;
        first = first ? std::min(first, unsigned(entry.startTime)) : unsigned(entry.startTime);
        last = std::max(last, unsigned(entry.endTime));
    }
    return m_shown.empty() ? time : std::clamp(time, first, std::max(first, last));
}

bool CPlayManagerUILogic::EntriesHaveTimes() const
{
    return std::all_of(m_shown.begin(), m_shown.end(), [](const auto& e) { return HasTimes(e.second); }) &&
           std::all_of(m_hidden.begin(), m_hidden.end(), [](const auto& e) { return HasTimes(e.second); });
}

int CPlayManagerUILogic::SetSynPlay(int on)
{
    boost::shared_ptr<CMainTimeLineEventImp> timeLine = TimeLine();
    CSFPlayProgressPanel* panel = timeLine ? timeLine->GetPlayProgressPanel() : nullptr;
    if (panel)
        panel->ShowCommonCursor(on != 0);
    UpdatePlayBar(kSyncPlayButton, on);
    auto refuse = [&] {
        UpdatePlayBar(kSyncPlayButton, 0);
        if (panel)
            panel->ShowCommonCursor(false);
        m_synPlay = 0;
        return 0;
    };
    if (on == 1 && (m_handleToWindow.empty() || m_shown[m_handleToWindow.begin()->second].queryType != QUERY_FILEPATH_DAY))
        return refuse();
    PlayHandleList handles = NewHandleList();
    for (const auto& [handle, window] : m_handleToWindow) {
        if (m_shown[window].queryType != QUERY_FILEPATH_DAY)
            return refuse();
        handles->push_back(handle);
    }
    if (!EntriesHaveTimes()) {
        Notify(L"It can't synchronizing play , because of file parsing uncompletely!");
        return refuse();
    }
    if (!handles->empty()) {
        boost::shared_ptr<IPlayObjectListener> listener = m_listener;
        POST_PLAY(Task_GroupSyn, handles, on, listener);
        if (!IsPlayBarPlaying())
            Pause(1, nullptr, -1);
        UpdatePlayBar(kRepeatOneButton, 0);
        SetRepeatOne(0);
    }
    m_synPlay = on;
    return 1;
}

// ---- end of file and next file ----

void* CPlayManagerUILogic::HiddenNeighbour(int window, std::int32_t fileId, bool next, bool wrap)
{
    void* found = nullptr;
    std::int32_t foundId = 0;
    for (auto& [handle, entry] : m_hidden) {
        if (entry.window != window)
            continue;
        const bool beyond = next ? entry.fileId > fileId : entry.fileId < fileId;
        if (beyond == wrap)
            continue;
        if (wrap)
            entry.endMark = 0;
        // Forward: the smallest id past the shown file; backward: the largest before it.
        const bool better = !found || (next ? entry.fileId <= foundId : entry.fileId >= foundId);
        if (better) {
            found = handle;
            foundId = entry.fileId;
        }
    }
    return found;
}

void CPlayManagerUILogic::PostReady(int window, void* handle, bool forward)
{
    auto readied = m_readyFor.find(window);
    if (readied == m_readyFor.end() ? !handle : readied->second == handle)
        return;
    m_readyFor[window] = handle;
    POST_PLAY(Task_ReadyFile, window, handle, forward ? 1 : 0);
}

void CPlayManagerUILogic::ReadyNextFile(int window)
{
    auto shown = m_shown.find(window);
    if (shown == m_shown.end())
        return;
    const bool forward = shown->second.directionMark != 0;
    PostReady(window, HiddenNeighbour(window, shown->second.fileId, forward, false), forward);
}

void CPlayManagerUILogic::ReadyIfNextFile(void* hidden)
{
    const _QUERY_FILE_INFO& entry = m_hidden[hidden];
    auto shown = m_shown.find(entry.window);
    if (shown == m_shown.end())
        return;
    const bool forward = shown->second.directionMark != 0;
    auto before = [forward](std::int32_t a, std::int32_t b) { return forward ? a < b : a > b; };
    if (!before(shown->second.fileId, entry.fileId))
        return;
    auto readied = m_readyFor.find(entry.window);
    const _QUERY_FILE_INFO* current = readied == m_readyFor.end() ? nullptr : GetHiddenEntry(readied->second);
    if (!current || before(entry.fileId, current->fileId))
        PostReady(entry.window, hidden, forward);
}

int CPlayManagerUILogic::ChannelFileEndAndPlayNext(void* handle, int wrap)
{
    const int window = GetWindowOfHandle(handle);
    _QUERY_FILE_INFO* entry = GetShownEntry(handle);
    if (!entry)
        return 1;
    void* next = HiddenNeighbour(window, entry->fileId, true, false);
    if (next) {
        m_hidden[next].endMark = 0;
        entry->endMark = 1;
    } else if (wrap == 1) {
        next = HiddenNeighbour(window, entry->fileId, true, true);
    }
    if (!next) {
        if (wrap == 1) {
            entry->endMark = 0;
            SeekRelativePos(handle, 0.0f, -1);
            return 1;
        }
        entry->endMark = 1;
        return 0;
    }
    SwapWindow(window, handle, next);
    if (CurrentWindow() == window)
        POST_PLAY(Task_OpenAudio, next);
    Pause(0, next, -1);
    SeekRelativePos(next, 0.0f, -1);
    return 1;
}

int CPlayManagerUILogic::ChannelFileEndAndPlayPrev(void* handle, int wrap)
{
    const int window = GetWindowOfHandle(handle);
    _QUERY_FILE_INFO* entry = GetShownEntry(handle);
    if (!entry)
        return 1;
    void* previous = HiddenNeighbour(window, entry->fileId, false, false);
    if (previous) {
        m_hidden[previous].endMark = 0;
        entry->endMark = 0;
    } else if (wrap == 1) {
        previous = HiddenNeighbour(window, entry->fileId, false, true);
    }
    if (!previous) {
        entry->endMark = 0;
        if (wrap != 1)
            return 0;
        SeekRelativePos(handle, 100.0f, -1);
        return 1;
    }
    SwapWindow(window, handle, previous);
    Pause(0, previous, -1);
    if (CurrentWindow() == window)
        POST_PLAY(Task_OpenAudio, previous);
    SeekRelativePos(previous, 99.0f, -1);
    return 1;
}

void CPlayManagerUILogic::ResetPlayStates()
{
    for (auto& shown : m_shown) {
        if (shown.second.queryType != QUERY_FILEPATH_DAY)
            break;
        shown.second.queryType = QUERY_FILEPATH_CHANNEL;
    }
    for (auto& hidden : m_hidden) {
        if (hidden.second.queryType != QUERY_FILEPATH_DAY)
            break;
        hidden.second.queryType = QUERY_FILEPATH_CHANNEL;
    }
    if (m_synPlay)
        SetSynPlay(0);
}

void CPlayManagerUILogic::CheckSynPlay()
{
    // Once the group runs, later time reports change nothing.
    if (m_synPlay == 1 || m_wantedShowNum != 0)
        return;
    boost::shared_ptr<CPlayBarEventImp> bar = PlayBar();
    if (!bar || bar->IsSyncPlay() != 1 || !EntriesHaveTimes())
        return;
    SetSynPlay(1);
}

void CPlayManagerUILogic::ShowTrace(int flags)
{
    PlayHandleList handles = NewHandleList();
    for (const auto& shown : m_handleToWindow)
        handles->push_back(shown.first);
    for (const auto& hidden : m_hidden)
        handles->push_back(hidden.first);
    POST_PLAY(Task_ShowTrace, handles, flags);
}
