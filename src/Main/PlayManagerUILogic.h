#pragma once

#include <list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "PlayManager/PlayManager.h"
#include "Widgets/PlayProgressTypes.h"

class CMainPlayListener;
class CPlayManagerPlayLogic;
class CPlayWinManagerEventImp;
class CSFVideoWindow;
class CPlayBarEventImp;
class CMainTimeLineEventImp;

// A shared list of play handles made for one post.
using PlayHandleList = boost::shared_ptr<std::list<void*>>;

// The main page's playback state on the GUI thread: which file plays in
// which grid window, the files waiting hidden behind a window, and the
// counters of opens and closes still in flight. Work on play objects is
// posted to the play loop; its answers come back as the _Ret tasks.
class CPlayManagerUILogic : public boost::enable_shared_from_this<CPlayManagerUILogic> {
public:
    // backends: what the page's playback engine is built on (empty: the
    // process's library).
    static boost::shared_ptr<CPlayManagerUILogic> Create(boost::weak_ptr<CPlayWinManagerEventImp> owner,
                                                         CPlayBackends backends = {});
    virtual ~CPlayManagerUILogic();

    // Opening.
    void StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> record, int syncPlay);
    void Task_PlayOneFile_Ret(int result, void* handle, boost::shared_ptr<_QUERY_FILE_INFO> record);
    void Task_WakeFile_Ret(void* handle, int woken);
    // Puts the time spans of the answered files on the time line.
    void ShowPendingTimeSpans();
    void SetWantedReturnNum(int count) { m_nWantedReturnNum = count; }
    int GetWantedReturnNum() const { return m_nWantedReturnNum; }
    void SetWantedShowNum(int count) { m_wantedShowNum = count; }
    int GetWantedShowNum() const { return m_wantedShowNum; }
    _QUERY_FILE_INFO* GetWindowEntry(int window);
    _QUERY_FILE_INFO* GetHiddenEntry(void* handle);
    // The window of a shown file, -1 for any other handle.
    int GetWindowOfHandle(void* handle) const;
    // The window whose next file handle was readied as, -1 for any other
    // (playing alone, it starts as the window's file ends, before the swap).
    int GetWindowReadiedWith(void* handle) const;
    // The handle shown in a window, 0 when none.
    void* GetHandleOfWindow(int window) const;
    // The shown entry of a handle (null for a hidden or unknown one).
    _QUERY_FILE_INFO* GetShownEntry(void* handle);
    // The shown or hidden entry of a handle, or null.
    _QUERY_FILE_INFO* GetEntry(void* handle);
    void SetFileEndMark(void* handle, int value);
    int AreAllFilesEnded() const;
    int SetRepeatOne(int mode);
    int GetRepeatOne() const { return m_repeatOne; }
    int GetSynPlay() const { return m_synPlay; }
    int GetPauseAnswered() const { return m_pauseAnswered; }
    int GetCloseWantedNum() const { return m_closeWantedNum; }
    void Task_SetPlayDirection_FailedRet(PlayHandleList failed, int forward);
    void Task_Pause_Ret(int result, int pause);
    int VerticalSyncEnable(int enable);
    boost::shared_ptr<CPlayWinManagerEventImp> GetPlayWinManager() const { return m_owner.lock(); }
    boost::shared_ptr<CMainPlayListener> GetPlayListener() const { return m_listener; }
    boost::shared_ptr<CPlayManagerPlayLogic> GetPlayLogic() const { return m_playLogic; }

    // Closing.
    void CloseFiles(void* handle, int window);
    void CertainCloseFiles(void* handle, int window);
    int CloseFilesOfDeletedItems(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> items);
    void Task_CloseFiles_Ret(void* handle, int closed);
    void Task_StartRecord_Ret(int result, int window);
    void Task_StopRecord_Ret(int result, int window);
    // A recording that failed while it ran: the user is told what was kept.
    void RecordFailed(void* handle, const std::wstring& keptPath, unsigned int keptSeconds);

    // Play controls.
    void Pause(int pause, void* handle, int window);
    void SetPlaySpeed(float speed);
    void SetPlayDirection(int forward);
    void OneStepPlay(int forward);
    void SetPlayVolume(int volume);
    void SetMutePlay(int mute);
    void ChangeAudio(int newWindow, int oldWindow);
    void SeekRelativePos(void* handle, float percent, int window);

    // Snapshot, recording, index, video information.
    void SnapPicture(void* handle, const std::wstring& path, int imageType, int window);
    void Task_SnapPicure_Ret(int result);
    int StartRecord(void* handle, const std::wstring& path, int recordType, int window);
    void StopRecord(void* handle, int window);
    void SaveIndex(void* handle);
    void PopVideoInfoDlg(int window);
    void Task_GetVideoInfo_Ret(void* handle, std::wstring resolution, std::wstring frameRate,
                               std::wstring duration);

    // Seek and synchronised play.
    void Seek(void* handle, unsigned int time, int window);
    int SetSynPlay(int on);
    // A group's time within the span of the shown files: past their ends
    // the group's clock shows nothing.
    unsigned int ClampToShownTimes(unsigned int time) const;

    // End of file and next file.
    int ChannelFileEndAndPlayNext(void* handle, int wrap);
    int ChannelFileEndAndPlayPrev(void* handle, int wrap);
    void ResetPlayStates();
    void CheckSynPlay();
    void ShowTrace(int flags);

    // The file-list description of an entry's item.
    static boost::shared_ptr<std::list<_GROUP_FILE_INFO>> MakeItemDescription(const _QUERY_FILE_INFO& entry);

private:
    explicit CPlayManagerUILogic(boost::weak_ptr<CPlayWinManagerEventImp> owner);
    void Init(CPlayBackends backends);

    CSFVideoWindow* VideoWindow() const;
    boost::shared_ptr<CPlayBarEventImp> PlayBar() const;
    boost::shared_ptr<CMainTimeLineEventImp> TimeLine() const;
    int CurrentWindow() const;
    void UpdatePlayBar(int id, int check) const;
    void MarkPlaying(const _QUERY_FILE_INFO& entry, int on) const;
    // A window's first shown file: the window and its list item show it.
    void ShowInWindow(const _QUERY_FILE_INFO& record);
    // A file's span from its record, for the time line.
    void AddTimeSpan(const _QUERY_FILE_INFO& record);
    void ClearWindow(int window);
    void CloseOneWindow(void* handle, std::list<void*>& closing);
    // Tells a closing main window that the page is done once nothing is open or in flight.
    void ReportClosedWhenDone();
    void RetryCertainClose(void* handle, int window);
    // The group ends with the files it played.
    void ForgetGroup();
    // Hands every shown file already at its end to the end handling again.
    void ReannounceEndedFiles();
    // handle, or when it is null the file shown in window (null when none).
    void* HandleOrWindowHandle(void* handle, int window) const;
    // time: where the hidden file starts playing (0: at its start in its direction).
    void SwapWindow(int window, void* shown, void* hidden, unsigned int time = 0);
    void* HiddenFileCovering(int window, unsigned int time) const;
    // Shows in window the file covering time (shown when none); returns it.
    void* ShowFileOfTime(int window, void* shown, unsigned int time);
    bool EntriesHaveTimes() const;
    bool CanPlayBackward() const;
    void FlipDirection(int forward, std::list<void*>& handles);
    static void TurnEntry(_QUERY_FILE_INFO& entry, int forward);
    bool IsPlayBarPlaying() const;
    void* HiddenNeighbour(int window, std::int32_t fileId, bool next, bool wrap);
    // Has the play loop open ahead the file a window shows next in its play
    // direction (the closer one, for a file newly kept behind it).
    void ReadyNextFile(int window);
    void ReadyIfNextFile(void* hidden);
    void PostReady(int window, void* handle, bool forward);

    boost::weak_ptr<CPlayWinManagerEventImp> m_owner;
    boost::shared_ptr<CMainPlayListener> m_listener;
    boost::shared_ptr<CPlayManagerPlayLogic> m_playLogic;
    std::map<void*, int> m_handleToWindow;
    std::set<int> m_recordingWindows;  // windows whose recording runs and was not reported failed
    std::map<int, _QUERY_FILE_INFO> m_shown;
    std::map<void*, _QUERY_FILE_INFO> m_hidden;
    std::map<int, void*> m_readyFor;  // the hidden file readied for a window
    std::map<int, std::vector<UISF_TimeSegment>> m_pendingSpans;  // by window
    std::map<int, std::wstring> m_pendingSpanLabels;
    int m_repeatOne = 0;
    int m_synPlay = 0;
    int m_wantedShowNum = -1;
    int m_nWantedReturnNum = 0;
    int m_closeWantedNum = 0;
    int m_deferredCloses = 0;
    int m_pauseAnswered = 1;
};
