#pragma once

#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "PlayManager/PlayManager.h"

class CNextFileReadier;
class CPlayManagerUILogic;
class IPlayObjectListener;

using PlayHandleList = boost::shared_ptr<std::list<void*>>;

// Result of a record request.
enum RECORD_RESULT { RECORD_FAILED = 0, RECORD_STARTED = 1, RECORD_REFUSED = 2 };

// The main page's play-thread half: owns the page's playback engine and
// the table of files it opened. Every Task_ runs on the play loop; answers
// go to the UI logic on the GUI loop while it exists.
class CPlayManagerPlayLogic {
public:
    // Create on the GUI thread (the engine's timer lives there).
    CPlayManagerPlayLogic(boost::weak_ptr<CPlayManagerUILogic> uiLogic, CPlayBackends backends = {});
    virtual ~CPlayManagerPlayLogic();

    // The first file of a window opens and plays; a later one is kept as its
    // record only (no play object) until Task_WakeFile. With Sync Play asked
    // for a day, the first file stands on its first frame until a resume of
    // the file (Task_Pause) or the group starts it.
    int Task_PlayOneFile(std::wstring path, const boost::shared_ptr<IPlayObjectListener>& listener,
                         boost::shared_ptr<_QUERY_FILE_INFO> record, int syncPlay);
    // Opens and plays a kept file under its handle, in the group when one plays:
    // from time (seconds since 1970), or with time 0 from its start in its
    // direction. One woken at a time while a group plays joins it at the
    // group's next seek (Task_GroupSeek), which moves the group to that time.
    int Task_WakeFile(void* handle, unsigned int time);
    // Closes a file's play object and keeps its record under the same handle.
    int Task_SleepFile(void* handle);
    // Opens the kept file under handle ahead, as the next one of its window
    // in the play direction (null: the window has none); the window's open
    // file then holds a synchronised group at its end until the next joins.
    int Task_ReadyFile(int window, void* handle, int forward);
    int Task_CloseFiles(PlayHandleList handles);
    int Task_Pause(PlayHandleList handles, int pause);
    int Task_GroupPause(int pause);
    int Task_SetPlaySpeed(PlayHandleList handles, float speed);
    int Task_GroupPlaySpeed(float speed);
    int Task_SetPlayDirection(PlayHandleList handles, int forward);
    int Task_GroupPlayDirection(int forward);
    int Task_OneStepPlay(PlayHandleList handles, int forward);
    int Task_Seek(void* handle, unsigned int time);
    int Task_GroupSeek(unsigned int time);
    int Task_SeekRelativePos(void* handle, float percent);
    int Task_GroupSyn(PlayHandleList handles, int on, boost::shared_ptr<IPlayObjectListener> listener);
    int Task_OpenAudio(void* handle);
    int Task_CloseAudio(void* handle);
    int Task_SetPlayVolume(PlayHandleList handles, int level);
    int Task_MutePlay(PlayHandleList handles, int mute);
    int Task_SnapPicure(void* handle, std::wstring path, PLAY_MODULE::PM_IMAGE_TYPE type);
    int Task_StartRecord(void* handle, std::wstring path, int recordType, int window);
    int Task_StopRecord(void* handle, int window);
    void Task_SaveRef(void* handle, std::wstring recordingPath);
    int Task_GetVideoInfo(void* handle);
    void Task_ShowTrace(PlayHandleList handles, int flags);

    boost::shared_ptr<CPlayManager> GetPlayManager() const { return m_playManager; }
    // Duration text of a time span: "hh:mm:ss", 0 for spans that run
    // backwards or over 99 hours.
    static std::wstring FormatDuration(unsigned int start, unsigned int end);

private:
    bool IsNormalSpeed() const;
    bool HasGroup() const { return m_group && m_groupFlag == 1; }
    int PlayInDirection(void* handle);
    bool WindowHasOpenFile(int window) const;
    // Opens and plays a file (under wanted when not null); its handle, null on failure.
    void* OpenAndPlay(const _QUERY_FILE_INFO& record, void* wanted);
    // The readied file under handle, now one of the manager's; null when none.
    void* AdoptReadiedFile(void* handle);
    // The window's open file holds a group at its end while a next file
    // follows, and starts its readied next file as it ends (in a group, in
    // its own place there).
    void LinkWindowToNext(int window, void* next);
    void PauseReadiedFiles(const std::list<void*>& handles);
    // A file woken at its start needs no seek there.
    bool SkipsSeekToStart(void* handle, float percent);
    // Opens a file without playing it; its handle, null on failure.
    // adopted: set when the readied file of wanted was taken.
    void* OpenFile(const _QUERY_FILE_INFO& record, void* wanted, bool* adopted = nullptr);
    // Plays an opened file and keeps it in the table; false (and closed) on failure.
    bool PlayOpenedFile(void* handle, const _QUERY_FILE_INFO& record);
    // Opens a file to stand for the group, kept in the table; null on failure.
    void* OpenToStand(const _QUERY_FILE_INFO& record);
    void PlayStandingFile(void* handle);
    void KeepOpenedFile(void* handle, const _QUERY_FILE_INFO& record);
    // Where a woken file starts, set before it plays.
    void PlaceWokenFile(void* handle, const _QUERY_FILE_INFO& record, unsigned int time, bool standsAtEnd);
    bool StartWokenFile(void* handle, const _QUERY_FILE_INFO& record, unsigned int time, bool standsAtEnd);
    void PlayFilesWokenForSeek();
    void StopPlayObject(void* handle);
    template <class Method, class... Args>
    void Answer(Method method, const char* name, Args&&... args);

    boost::shared_ptr<CPlayManager> m_playManager;
    boost::weak_ptr<CPlayManagerUILogic> m_uiLogic;
    float m_speed = 1.0f;
    int m_volume = 0;
    int m_mute = 0;
    void* m_group = nullptr;
    std::map<void*, _QUERY_FILE_INFO> m_playTable;  // files with a play object
    std::map<void*, _QUERY_FILE_INFO> m_asleep;     // files kept as their record
    std::unique_ptr<CNextFileReadier> m_readier;
    std::map<void*, bool> m_wokenAtStart;           // woken, not moved since: readied ahead
    std::vector<void*> m_wokenForSeek;               // open, waiting for the group's seek
    std::set<void*> m_standing;                      // open, waiting for the group to form
    boost::weak_ptr<IPlayObjectListener> m_fileListener;
    int m_overlayFlags = 0;
    int m_groupFlag = 0;
};
