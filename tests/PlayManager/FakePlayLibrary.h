#pragma once

#include <memory>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "PlayManager/IPlayLibrary.h"

namespace PlayManagerTest {

// A playback library that records the calls made on it and lets the test
// fire the library's callbacks (from any thread).
class FakePlayLibrary : public IPlayLibrary {
public:
    explicit FakePlayLibrary(PLAY_MODULE::IPlayModuleListener* listener) : m_listener(listener) {}
    ~FakePlayLibrary() override;

    // Called with the calls made when the library object is destroyed.
    std::function<void(const std::vector<std::string>&)> onDestroy;

    std::vector<std::string> Calls() const;
    bool Called(const std::string& call) const;

    // Settings the test changes.
    std::atomic<int> playing{1};
    std::atomic<int> hasTimes{1};
    std::atomic<unsigned> startTime{1000};
    std::atomic<unsigned> playedTime{5};
    std::atomic<unsigned> currentTime{2000};
    std::atomic<unsigned> fileLength{0};
    std::atomic<int> stepResult{7};
    std::atomic<int> groupQueryResult{1};
    std::atomic<int> frameRate{25};
    std::atomic<int> overlayValue{1234};
    std::atomic<int> stopping{0};
    std::atomic<int> endDirection{0};
    PLAY_MODULE::__DATETIME_INFO groupTime{2020, 5, 6, 7, 8, 9, 0};

    // Callbacks as the library would make them.
    void FireFrame(int renderKind, int width, int height, int infoKind = 3,
                   unsigned char luma = 16);
    // A frame in a buffer the receivers may keep.
    void FireSharedFrame(int renderKind, const std::shared_ptr<const unsigned char>& frame, int width, int height);
    // A frame whose byte count is too small for its size.
    void FireShortFrame(int renderKind, int width, int height);
    void FireFileEnd(bool backward = false)
    {
        endDirection = backward ? 1 : 0;
        m_listener->OnFileEnd(nullptr);
    }
    void FireRefFinished(int result) { m_listener->OnFileRefFinished(nullptr, result); }
    void FireFileTimeDone(unsigned start, unsigned end)
    {
        m_listener->OnFileTimeDone(nullptr, start, end);
    }
    int FireOverlay(int kind);

    int Open(const char* path) override { return Log("Open " + std::string(path ? path : "")); }
    int Play(void*) override { return Log("Play"); }
    int Stop() override
    {
        stopping = 1;
        return Log("Stop");
    }
    int Close() override { return Log("Close"); }
    int Pause() override { return Log("Pause"); }
    int Resume() override { return Log("Resume"); }
    int IsPlaying() override { return playing; }
    bool IsStopping() const override { return stopping != 0; }
    int Seek(unsigned int time, int exact) override
    {
        return Log("Seek " + std::to_string(time) + " " + std::to_string(exact));
    }
    int Seek(float percent) override { return Log("SeekPercent " + std::to_string(int(percent))); }
    int SetSpeed(float) override { return Log("SetSpeed"); }
    int PlayForward() override { return Log("PlayForward"); }
    int PlayBackward() override { return Log("PlayBackward"); }
    int SetPlayDirection(unsigned long) override { return Log("SetPlayDirection"); }
    int GetEndDirection() override { return endDirection; }
    int StepForward() override
    {
        Log("StepForward");
        return stepResult;
    }
    int StepBackward() override
    {
        Log("StepBackward");
        return stepResult;
    }
    int OpenAudio() override { return Log("OpenAudio"); }
    int CloseAudio() override { return Log("CloseAudio"); }
    int SetVolume(int) override { return Log("SetVolume"); }
    int GetVolume() override { return 50; }
    int AdjustWaveAudio(int) override { return Log("AdjustWaveAudio"); }
    int EnableVerticalSync(int) override { return 1; }
    int GetPlayPort() override { return 17; }
    int SnapPicture(const char*, PLAY_MODULE::PM_IMAGE_TYPE) override { return Log("SnapPicture"); }
    int GetMediaInfo(PLAY_MODULE::MEDIA_INFO*) override { return 1; }
    int GetColor(int*, int*, int*, int*) override { return 1; }
    int SetColor(int, int, int, int) override { return 1; }
    int QueryInfo(int kind, char* buffer, int size, int* returned) override;
    unsigned int GetFileStartTime() override { return startTime; }
    unsigned int GetFileEndTime() override { return startTime + 600; }
    unsigned int GetCurrentPlayTime() override { return currentTime; }
    unsigned int GetFilePlayedTime() override { return playedTime; }
    unsigned int GetFileLengthOfTime() override { return fileLength; }
    int IsGetFileTimeInfo() override { return hasTimes; }
    int SetFileTimeInfo(unsigned int start, unsigned int end) override
    {
        return Log("SetFileTimeInfo " + std::to_string(start) + " " + std::to_string(end));
    }
    int GetCurrentVideoFrameRate() override { return frameRate; }
    int GetCurrentPlayingVideoFrameWidth() override { return m_width; }
    int GetCurrentPlayingVideoFrameHeight() override { return m_height; }
    int SetCurrentPlayingVideoFrameWidth(int width) override
    {
        m_width = width;
        return 1;
    }
    int SetCurrentPlayingVideoFrameHeight(int height) override
    {
        m_height = height;
        return 1;
    }
    int GetKeyFramePos(unsigned int, PLAY_MODULE::FRAME_POS*) override
    {
        return Log("GetKeyFramePos");
    }
    int GetNextKeyFramePos(unsigned int, PLAY_MODULE::FRAME_POS*) override { return 1; }
    int GetKeyFramePosByAbsTime(_SYSTEMTIME, PLAY_MODULE::FRAME_POS&) override { return 1; }
    int GetNextKeyFramePosByAbsTime(_SYSTEMTIME, PLAY_MODULE::FRAME_POS&) override { return 1; }
    int GetRefValue(unsigned char*, unsigned int*) override { return Log("GetRefValue"); }
    int SetRefValue(unsigned char*, unsigned int length) override
    {
        return Log("SetRefValue " + std::to_string(length));
    }
    int StartDataRecord(const char*, int type) override
    {
        return Log("StartDataRecord " + std::to_string(type));
    }
    int StopDataRecord() override { return Log("StopDataRecord"); }
    int OpenIVSTrack() override { return Log("OpenIVSTrack") ? overlayTrackResult.load() : 0; }
    int CloseIVSTrack() override { return Log("CloseIVSTrack"); }
    int GroupPlay_Open() override { return Log("GroupPlay_Open"); }
    int GroupPlay_Close() override { return Log("GroupPlay_Close"); }
    int GroupPlay_AddToPlayGroup(IPlayLibrary*) override { return Log("GroupPlay_AddToPlayGroup"); }
    int GroupPlay_DelFromPlayGroup(IPlayLibrary*) override
    {
        return Log("GroupPlay_DelFromPlayGroup");
    }
    int GroupPlay_PlayForward() override { return 1; }
    int GroupPlay_PlayBackward() override { return 1; }
    int GroupPlay_StepForward() override { return 1; }
    int GroupPlay_StepBackward() override { return 1; }
    int GroupPlay_SetPlaySpeed(float) override { return 1; }
    int GroupPlay_Pause() override { return 1; }
    int GroupPlay_Resume() override { return 1; }
    int GroupPlay_Seek(unsigned int) override { return 1; }
    int GroupPlay_QueryGroupPlayingTime(PLAY_MODULE::__DATETIME_INFO* time) override;
    int Preroll() override { return Log("Preroll"); }
    int HoldGroupAtEnd(int hold) override { return Log("HoldGroupAtEnd " + std::to_string(hold)); }
    int PlayIfPrerolled(IPlayLibrary*) override { return Log("PlayIfPrerolled"); }
    PLAY_MODULE::CPlayModule* NativeModule() override { return nullptr; }

    // What OpenIVSTrack answers.
    std::atomic<int> overlayTrackResult{1};

private:
    int Log(const std::string& call);

    PLAY_MODULE::IPlayModuleListener* m_listener;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
    std::vector<unsigned char> m_frame;
};

// Makes fake libraries and keeps them reachable for the test (they belong to
// their play objects).
class FakeLibraries {
public:
    PlayLibraryFactory Factory();
    // Null once the library object was destroyed.
    FakePlayLibrary* At(std::size_t index) const;
    std::size_t Count() const;
    // The calls a destroyed library object had seen.
    std::vector<std::string> FinalCalls(std::size_t index) const;

private:
    mutable std::mutex m_mutex;
    std::vector<FakePlayLibrary*> m_made;
    std::vector<std::vector<std::string>> m_finalCalls;
};

}  // namespace PlayManagerTest
