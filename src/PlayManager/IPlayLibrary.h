#pragma once

#include <functional>
#include <memory>

#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/PlayModuleTypes.h"
#include "Platform/Win32/Win32Types.h"

namespace PLAY_MODULE {
class CPlayModule;
}

// What a play object and a group use of the playback library: the seam that
// lets tests put a fake library in place of PLAY_MODULE::CPlayModule.
class IPlayLibrary {
public:
    virtual ~IPlayLibrary() = default;

    virtual int Open(const char* path) = 0;
    virtual int Play(void* window) = 0;
    virtual int Stop() = 0;
    virtual int Close() = 0;
    virtual int Pause() = 0;
    virtual int Resume() = 0;
    virtual int IsPlaying() = 0;
    virtual bool IsStopping() const = 0;

    virtual int Seek(unsigned int time, int exact) = 0;
    virtual int Seek(float percent) = 0;
    virtual int SetSpeed(float speed) = 0;
    virtual int PlayForward() = 0;
    virtual int PlayBackward() = 0;
    virtual int SetPlayDirection(unsigned long direction) = 0;
    // Which way the end last reported was reached: 0 forward, 1 backward.
    virtual int GetEndDirection() = 0;
    virtual int StepForward() = 0;
    virtual int StepBackward() = 0;

    virtual int OpenAudio() = 0;
    virtual int CloseAudio() = 0;
    virtual int SetVolume(int volume) = 0;
    virtual int GetVolume() = 0;
    virtual int AdjustWaveAudio(int level) = 0;
    virtual int EnableVerticalSync(int enable) = 0;
    virtual int GetPlayPort() = 0;

    virtual int SnapPicture(const char* path, PLAY_MODULE::PM_IMAGE_TYPE type) = 0;
    virtual int GetMediaInfo(PLAY_MODULE::MEDIA_INFO* info) = 0;
    virtual int GetColor(int* brightness, int* contrast, int* saturation, int* hue) = 0;
    virtual int SetColor(int brightness, int contrast, int saturation, int hue) = 0;
    virtual int QueryInfo(int kind, char* buffer, int size, int* returned) = 0;

    virtual unsigned int GetFileStartTime() = 0;
    virtual unsigned int GetFileEndTime() = 0;
    virtual unsigned int GetCurrentPlayTime() = 0;
    virtual unsigned int GetFilePlayedTime() = 0;
    virtual unsigned int GetFileLengthOfTime() = 0;
    virtual int IsGetFileTimeInfo() = 0;
    virtual int SetFileTimeInfo(unsigned int start, unsigned int end) = 0;
    virtual int GetCurrentVideoFrameRate() = 0;
    virtual int GetCurrentPlayingVideoFrameWidth() = 0;
    virtual int GetCurrentPlayingVideoFrameHeight() = 0;
    virtual int SetCurrentPlayingVideoFrameWidth(int width) = 0;
    virtual int SetCurrentPlayingVideoFrameHeight(int height) = 0;

    virtual int GetKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos) = 0;
    virtual int GetNextKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos) = 0;
    virtual int GetKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos) = 0;
    virtual int GetNextKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos) = 0;
    virtual int GetRefValue(unsigned char* buffer, unsigned int* length) = 0;
    virtual int SetRefValue(unsigned char* data, unsigned int length) = 0;

    virtual int StartDataRecord(const char* path, int type) = 0;
    virtual int StopDataRecord() = 0;
    virtual int OpenIVSTrack() = 0;
    virtual int CloseIVSTrack() = 0;

    virtual int GroupPlay_Open() = 0;
    virtual int GroupPlay_Close() = 0;
    virtual int GroupPlay_AddToPlayGroup(IPlayLibrary* member) = 0;
    virtual int GroupPlay_DelFromPlayGroup(IPlayLibrary* member) = 0;
    virtual int GroupPlay_PlayForward() = 0;
    virtual int GroupPlay_PlayBackward() = 0;
    virtual int GroupPlay_StepForward() = 0;
    virtual int GroupPlay_StepBackward() = 0;
    virtual int GroupPlay_SetPlaySpeed(float speed) = 0;
    virtual int GroupPlay_Pause() = 0;
    virtual int GroupPlay_Resume() = 0;
    virtual int GroupPlay_Seek(unsigned int time) = 0;
    virtual int GroupPlay_QueryGroupPlayingTime(PLAY_MODULE::__DATETIME_INFO* time) = 0;
    virtual int Preroll() = 0;
    virtual int HoldGroupAtEnd(int hold) = 0;
    // after: the library whose file ended; in its group this one takes its place.
    virtual int PlayIfPrerolled(IPlayLibrary* after) = 0;

    // The library object behind this one (null for a fake).
    virtual PLAY_MODULE::CPlayModule* NativeModule() = 0;
};

// Makes the library object of a play object (listener set) or of a group
// (no listener).
using PlayLibraryFactory =
    std::function<std::unique_ptr<IPlayLibrary>(PLAY_MODULE::IPlayModuleListener* listener)>;

// The factory of the real playback library.
PlayLibraryFactory PlayModuleLibraryFactory();
