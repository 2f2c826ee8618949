#pragma once

#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/PlayModuleTypes.h"
#include "Platform/Win32/Win32Types.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace SF_SOFT_BASE {
class CSFEvent;
}

namespace PLAY_MODULE {

class CAudioOutput;
class CDataRecorder;
class CSharedKeyFrameIndex;
struct CKeyFrameIndex;
class CGroupPlay;
class CPlayClock;
class CPlayEngine;
class ITimeSource;

// One opened recording: demuxing, decoding, paced hand-over of frames to the
// listener, seeking, stepping, reverse play, snapshots, recording and sound.
// Constructed without a listener it serves as a group module (GroupPlay_*).
// Results: nonzero is success; times are seconds since 1970 when the file's
// times are known, else seconds from the file's start.
// Stop, Close and destruction join the module's threads: they are never
// called from inside one of its callbacks.
class CPlayModule {
public:
    explicit CPlayModule(IPlayModuleListener* listener = nullptr);
    ~CPlayModule();
    CPlayModule(const CPlayModule&) = delete;
    CPlayModule& operator=(const CPlayModule&) = delete;

    static int SetRenderType(PM_RENDER_TYPE type);

    int Open(const char* path);
    int Play(void* window);
    int Stop();
    int Close();
    int Pause();
    int Resume();
    int IsPlaying();
    // True once Stop, Close or destruction began: a listener that blocks in a
    // frame callback polls this to give up its wait.
    bool IsStopping() const;
    // For a frame callback that holds its thread until the picture is drawn:
    // waits for the event in short slices; 1 once it is set, 0 as soon as
    // Stop, Close or destruction begins (which so release the wait).
    int WaitForFrameRelease(SF_SOFT_BASE::CSFEvent* drawn);

    int Seek(unsigned int time, int exact);
    int Seek(float percent);
    int SetSpeed(float speed);
    float GetSpeed();
    int PlayForward();
    int PlayBackward();
    // 0 forward, anything else backward.
    int SetPlayDirection(unsigned long direction);
    // Which way the end last reported (IPlayModuleListener::OnFileEnd) was
    // reached: 0 forward (the file's end), 1 backward (its start).
    int GetEndDirection();
    int StepForward();
    int StepBackward();

    int OpenAudio();
    int CloseAudio();
    int SetVolume(int volume);
    int GetVolume();
    // -100 silent, 0 the recorded level, 100 the loudest (clipped).
    int AdjustWaveAudio(int level);
    int EnableVerticalSync(int enable);
    int GetPlayPort();

    int SnapPicture(const char* path, PM_IMAGE_TYPE type);
    int GetMediaInfo(MEDIA_INFO* info);
    int GetColor(int* brightness, int* contrast, int* saturation, int* hue);
    int SetColor(int brightness, int contrast, int saturation, int hue);
    int QueryInfo(int kind, char* buffer, int size, int* returned);

    unsigned int GetFileStartTime();
    unsigned int GetFileEndTime();
    unsigned int GetCurrentPlayTime();
    unsigned int GetFilePlayedTime();
    unsigned int GetFileLengthOfTime();
    int IsGetFileTimeInfo();
    int SetFileTimeInfo(unsigned int start, unsigned int end);
    int GetCurrentVideoFrameRate();
    int GetCurrentPlayingVideoFrameWidth();
    int GetCurrentPlayingVideoFrameHeight();
    int SetCurrentPlayingVideoFrameWidth(int width);
    int SetCurrentPlayingVideoFrameHeight(int height);
    // Time of the shown frame in ms since 1970 (or from the file's start).
    std::int64_t GetCurrentPlayTimeMs();

    int GetKeyFramePos(unsigned int time, FRAME_POS* pos);
    int GetNextKeyFramePos(unsigned int time, FRAME_POS* pos);
    int GetKeyFramePosByAbsTime(_SYSTEMTIME time, FRAME_POS& pos);
    int GetNextKeyFramePosByAbsTime(_SYSTEMTIME time, FRAME_POS& pos);
    // With no buffer (or a short one) *length gets the size needed.
    int GetRefValue(unsigned char* buffer, unsigned int* length);
    // Index bytes for the next Open; damaged or foreign ones are ignored.
    int SetRefValue(unsigned char* data, unsigned int length);
    // Where the index of the open file came from: 0 not yet, 1 scanned,
    // 2 taken from SetRefValue.
    int GetIndexOrigin() const;

    int StartDataRecord(const char* path, int type);
    int StopDataRecord();

    int OpenIVSTrack();
    int CloseIVSTrack();

    int GroupPlay_Open();
    int GroupPlay_Close();
    int GroupPlay_AddToPlayGroup(CPlayModule* member);
    int GroupPlay_DelFromPlayGroup(CPlayModule* member);
    int GroupPlay_PlayForward();
    int GroupPlay_PlayBackward();
    int GroupPlay_StepForward();
    int GroupPlay_StepBackward();
    int GroupPlay_SetPlaySpeed(float speed);
    int GroupPlay_Pause();
    int GroupPlay_Resume();
    int GroupPlay_Seek(unsigned int time);
    int GroupPlay_QueryGroupPlayingTime(__DATETIME_INFO* time);
    // Readies an opened module that has not played: it decodes its first
    // frame (played backward: its last group, from its end) and stands
    // there until Play or a group takes it.
    int Preroll();
    // In a group, the end of this file holds the group's clock until this
    // module leaves the group (its next file joins first), at most a second.
    int HoldGroupAtEnd(int hold);
    // Starts a readied module that has not played yet (as Play); 0 for any
    // other, and for one readied to play the other way than after (a module
    // that ended, or null). In the group that after plays in, it takes
    // after's place instead, or stays readied when it cannot.
    int PlayIfPrerolled(CPlayModule* after = nullptr);

    // For tests and benchmarks: where this module's clock (a group module's:
    // the group's clock) reads wall time.
    void SetTimeSource(std::shared_ptr<ITimeSource> source);

    // Used by the group this module plays in.
    CPlayEngine* Engine() const { return m_engine.get(); }
    // False while the module plays in another group.
    bool AttachGroup(CGroupPlay* group);
    void DetachGroup(CGroupPlay* group);

private:
    bool IsOpen() const { return m_engine != nullptr; }
    void LeaveGroup();
    std::shared_ptr<CGroupPlay> Group() const;
    void ApplyGain();
    void DropQueuedSound();
    void StartIndex(const std::string& path, std::int64_t fileSize);
    void StopIndex();
    void ScanIndex(std::string path);
    bool KeyFrameAt(std::int64_t absMs, bool next, FRAME_POS& pos);
    std::int64_t ToFileMs(unsigned int time) const;

    IPlayModuleListener* m_listener;
    std::string m_path;
    std::unique_ptr<CPlayEngine> m_engine;
    std::shared_ptr<CGroupPlay> m_groupPlay;
    std::shared_ptr<CAudioOutput> m_audio;
    std::shared_ptr<ITimeSource> m_timeSource;
    std::shared_ptr<CDataRecorder> m_recorder;
    std::vector<unsigned char> m_refValue;
    std::shared_ptr<CSharedKeyFrameIndex> m_index;
    std::thread m_indexThread;
    std::atomic<bool> m_cancelScan{false};
    std::atomic<int> m_indexOrigin{0};
    std::int64_t m_dataEnd = 0;  // the next key frame's position past the last

    mutable std::mutex m_mutex;
    CGroupPlay* m_group = nullptr;
    std::weak_ptr<CGroupPlay> m_groupRef;
    bool m_hasTimes = false;
    std::int64_t m_startAbsMs = 0;
    std::int64_t m_endAbsMs = 0;
    int m_shownWidth = 0;
    int m_shownHeight = 0;
    int m_color[4] = {64, 64, 64, 64};
    int m_volume = 100;
    int m_waveLevel = 0;
    int m_verticalSync = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_prerolled{false};
    const int m_port;
};

}  // namespace PLAY_MODULE
