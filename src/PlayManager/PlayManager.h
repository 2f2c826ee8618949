#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <cstdint>
#include <utility>
#include <vector>

#include "PlayManager/IPlayLibrary.h"

class CPlayObject;
class CSFTimer;
class IOverlayDrawer;
class IPlayObjectListener;

// What the play objects of a manager are built on; empty members take the
// playback library and the overlay drawer of the process.
struct CPlayBackends {
    PlayLibraryFactory library;
    boost::shared_ptr<IOverlayDrawer> overlay;
};

// A page's front door to playback: creates play objects, finds them by play
// handle and forwards each call; owns the group-play modules and a 300 ms
// tick that reports positions. Used on the play loop only; create it on the
// GUI thread (its timer runs there).
class CPlayManager : public boost::enable_shared_from_this<CPlayManager> {
public:
    static boost::shared_ptr<CPlayManager> Create();
    static boost::shared_ptr<CPlayManager> Create(CPlayBackends backends);
    explicit CPlayManager(CPlayBackends backends);
    ~CPlayManager();
    CPlayManager(const CPlayManager&) = delete;
    CPlayManager& operator=(const CPlayManager&) = delete;

    // handle: a handle made by NewPlayHandle and not in use (null: a new one).
    void* CreatePlayObject(int playType, void* handle = nullptr);
    // A play object the manager does not hold yet (it may be opened on
    // another thread); AdoptPlayObject makes it one of the manager's, false
    // when its handle is in use.
    boost::shared_ptr<CPlayObject> MakeFreePlayObject(int playType, void* handle);
    bool AdoptPlayObject(const boost::shared_ptr<CPlayObject>& object);
    void DestroyPlayObject(void* handle);
    boost::shared_ptr<CPlayObject> GetSptrPlayObject(void* handle);

    int Open(void* handle, const char* path);
    int Play(void* handle, void* window);
    int PlayWithMode(void* handle, void* window, unsigned int mode);
    int Stop(void* handle);
    int Close(void* handle);
    int Pause(void* handle);
    int Resume(void* handle);
    int SeekByTime(void* handle, unsigned int time);
    int SeekByPercent(void* handle, float percent);
    int SeekByPercentEx(void* handle, float percent, unsigned int value);
    int SeekByTimeExact(void* handle, unsigned int time, unsigned int value);
    int SetSpeed(void* handle, float speed);
    int OpenAudio(void* handle);
    int CloseAudio(void* handle);
    int SetVolume(void* handle, int volume);
    int PlayForward(void* handle);
    int PlayBackward(void* handle);
    int GetMediaInfo(void* handle, PLAY_MODULE::MEDIA_INFO* info);
    // The int is not read (callers pass 0).
    unsigned int GetFileStartTime(void* handle, int unused = 0);
    unsigned int GetFileEndTime(void* handle, int unused = 0);
    unsigned int GetCurrentPlayTime(void* handle);
    unsigned int GetFilePlayedTime(void* handle);
    int AdjustWaveAudio(void* handle, int value);
    int SnapPicture(void* handle, const char* path, PLAY_MODULE::PM_IMAGE_TYPE format);
    int StartDataRecord(void* handle, const char* path, int type);
    int StopDataRecord(void* handle);
    int StepForward(void* handle);
    int StepBackward(void* handle);
    int HoldGroupAtEnd(void* handle, int hold);
    void SetNextFile(void* handle, const boost::shared_ptr<CPlayObject>& next);
    int SetPlayDirection(void* handle, unsigned long direction);
    int SetRefValue(void* handle, unsigned char* data, unsigned int length);
    int GetRefValue(void* handle, unsigned char* buffer, unsigned int* length);
    int GetKeyFramePos(void* handle, unsigned int time, PLAY_MODULE::FRAME_POS* pos);
    int GetNextKeyFramePos(void* handle, unsigned int time, PLAY_MODULE::FRAME_POS* pos);
    int GetKeyFramePosByAbsTime(void* handle, const _SYSTEMTIME* time, PLAY_MODULE::FRAME_POS& pos);
    int GetNextKeyFramePosByAbsTime(void* handle, const _SYSTEMTIME* time,
                                    PLAY_MODULE::FRAME_POS& pos);
    int OpenIVSTrack(void* handle, int drawType);
    int SetIVSDrawType(void* handle, int type);
    int CloseIVSTrack(void* handle);
    int GetPlayPort(void* handle);
    void SetPlayObjectListener(void* handle,
                               const boost::shared_ptr<IPlayObjectListener>& listener);
    void SetDrawParam(void* handle, boost::shared_ptr<void> first, boost::shared_ptr<void> second);

    // Group play: one group module plays its members in step.
    void* CreateGroupPlayObject();
    boost::shared_ptr<IPlayLibrary> GetSptrGroupPlayObject(void* group);
    int GroupPlay_Open(void* group);
    int GroupPlay_AddToPlayGroup(void* group, void* handle);
    int GroupPlay_DelFromPlayGroup(void* group, void* handle);
    int GroupPlay_PlayForward(void* group);
    int GroupPlay_PlayBackward(void* group);
    int GroupPlay_StepForward(void* group);
    int GroupPlay_StepBackward(void* group);
    int GroupPlay_SetPlaySpeed(void* group, float speed);
    int GroupPlay_Pause(void* group);
    int GroupPlay_Resume(void* group);
    int GroupPlay_Seek(void* group, unsigned int time);
    int GroupPlay_QueryGroupPlayingTime(void* group, PLAY_MODULE::__DATETIME_INFO* time);
    int GroupPlay_Close(void* group);
    int SetListener(boost::shared_ptr<IPlayObjectListener> listener);
    int SetGroupPlayFlag(int flag);

    // The tick: the GUI-thread timer posts Task_OnTimer to the play loop.
    static void OnTimer(std::int32_t timerId, std::uintptr_t userValue);
    void Task_OnTimer();

private:
    template <class Result, class Call>
    Result Forward(void* handle, Result failure, Call call);
    template <class Call>
    int ForwardGroup(void* group, Call call);
    void StartTimer();
    void ReportGroupTimes();

    std::vector<boost::shared_ptr<CPlayObject>> m_playObjects;
    boost::shared_ptr<CSFTimer> m_timer;
    std::vector<std::pair<void*, boost::shared_ptr<IPlayLibrary>>> m_groupObjects;
    IPlayObjectListener* m_groupListener = nullptr;
    boost::weak_ptr<IPlayObjectListener> m_groupListenerRef;
    int m_groupPlayFlag = 0;
    CPlayBackends m_backends;
};
