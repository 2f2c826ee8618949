#pragma once

#include "PlayManager/IPlayLibrary.h"
#include "Platform/PlayModule/PlayModule.h"

// The real playback library behind the play-object seam.
class CPlayModuleLibrary : public IPlayLibrary {
public:
    explicit CPlayModuleLibrary(PLAY_MODULE::IPlayModuleListener* listener) : m_module(listener) {}

    int Open(const char* path) override { return m_module.Open(path); }
    int Play(void* window) override { return m_module.Play(window); }
    int Stop() override { return m_module.Stop(); }
    int Close() override { return m_module.Close(); }
    int Pause() override { return m_module.Pause(); }
    int Resume() override { return m_module.Resume(); }
    int IsPlaying() override { return m_module.IsPlaying(); }
    bool IsStopping() const override { return m_module.IsStopping(); }
    int Seek(unsigned int time, int exact) override { return m_module.Seek(time, exact); }
    int Seek(float percent) override { return m_module.Seek(percent); }
    int SetSpeed(float speed) override { return m_module.SetSpeed(speed); }
    int PlayForward() override { return m_module.PlayForward(); }
    int PlayBackward() override { return m_module.PlayBackward(); }
    int SetPlayDirection(unsigned long direction) override
    {
        return m_module.SetPlayDirection(direction);
    }
    int GetEndDirection() override { return m_module.GetEndDirection(); }
    int StepForward() override { return m_module.StepForward(); }
    int StepBackward() override { return m_module.StepBackward(); }
    int OpenAudio() override { return m_module.OpenAudio(); }
    int CloseAudio() override { return m_module.CloseAudio(); }
    int SetVolume(int volume) override { return m_module.SetVolume(volume); }
    int GetVolume() override { return m_module.GetVolume(); }
    int AdjustWaveAudio(int level) override { return m_module.AdjustWaveAudio(level); }
    int EnableVerticalSync(int enable) override { return m_module.EnableVerticalSync(enable); }
    int GetPlayPort() override { return m_module.GetPlayPort(); }
    int SnapPicture(const char* path, PLAY_MODULE::PM_IMAGE_TYPE type) override
    {
        return m_module.SnapPicture(path, type);
    }
    int GetMediaInfo(PLAY_MODULE::MEDIA_INFO* info) override { return m_module.GetMediaInfo(info); }
    int GetColor(int* brightness, int* contrast, int* saturation, int* hue) override
    {
        return m_module.GetColor(brightness, contrast, saturation, hue);
    }
    int SetColor(int brightness, int contrast, int saturation, int hue) override
    {
        return m_module.SetColor(brightness, contrast, saturation, hue);
    }
    int QueryInfo(int kind, char* buffer, int size, int* returned) override
    {
        return m_module.QueryInfo(kind, buffer, size, returned);
    }
    unsigned int GetFileStartTime() override { return m_module.GetFileStartTime(); }
    unsigned int GetFileEndTime() override { return m_module.GetFileEndTime(); }
    unsigned int GetCurrentPlayTime() override { return m_module.GetCurrentPlayTime(); }
    unsigned int GetFilePlayedTime() override { return m_module.GetFilePlayedTime(); }
    unsigned int GetFileLengthOfTime() override { return m_module.GetFileLengthOfTime(); }
    int IsGetFileTimeInfo() override { return m_module.IsGetFileTimeInfo(); }
    int SetFileTimeInfo(unsigned int start, unsigned int end) override
    {
        return m_module.SetFileTimeInfo(start, end);
    }
    int GetCurrentVideoFrameRate() override { return m_module.GetCurrentVideoFrameRate(); }
    int GetCurrentPlayingVideoFrameWidth() override
    {
        return m_module.GetCurrentPlayingVideoFrameWidth();
    }
    int GetCurrentPlayingVideoFrameHeight() override
    {
        return m_module.GetCurrentPlayingVideoFrameHeight();
    }
    int SetCurrentPlayingVideoFrameWidth(int width) override
    {
        return m_module.SetCurrentPlayingVideoFrameWidth(width);
    }
    int SetCurrentPlayingVideoFrameHeight(int height) override
    {
        return m_module.SetCurrentPlayingVideoFrameHeight(height);
    }
    int GetKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos) override
    {
        return m_module.GetKeyFramePos(time, pos);
    }
    int GetNextKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos) override
    {
        return m_module.GetNextKeyFramePos(time, pos);
    }
    int GetKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos) override
    {
        return m_module.GetKeyFramePosByAbsTime(time, pos);
    }
    int GetNextKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos) override
    {
        return m_module.GetNextKeyFramePosByAbsTime(time, pos);
    }
    int GetRefValue(unsigned char* buffer, unsigned int* length) override
    {
        return m_module.GetRefValue(buffer, length);
    }
    int SetRefValue(unsigned char* data, unsigned int length) override
    {
        return m_module.SetRefValue(data, length);
    }
    int StartDataRecord(const char* path, int type) override
    {
        return m_module.StartDataRecord(path, type);
    }
    int StopDataRecord() override { return m_module.StopDataRecord(); }
    int OpenIVSTrack() override { return m_module.OpenIVSTrack(); }
    int CloseIVSTrack() override { return m_module.CloseIVSTrack(); }
    int GroupPlay_Open() override { return m_module.GroupPlay_Open(); }
    int GroupPlay_Close() override { return m_module.GroupPlay_Close(); }
    int GroupPlay_AddToPlayGroup(IPlayLibrary* member) override;
    int GroupPlay_DelFromPlayGroup(IPlayLibrary* member) override;
    int GroupPlay_PlayForward() override { return m_module.GroupPlay_PlayForward(); }
    int GroupPlay_PlayBackward() override { return m_module.GroupPlay_PlayBackward(); }
    int GroupPlay_StepForward() override { return m_module.GroupPlay_StepForward(); }
    int GroupPlay_StepBackward() override { return m_module.GroupPlay_StepBackward(); }
    int GroupPlay_SetPlaySpeed(float speed) override
    {
        return m_module.GroupPlay_SetPlaySpeed(speed);
    }
    int GroupPlay_Pause() override { return m_module.GroupPlay_Pause(); }
    int GroupPlay_Resume() override { return m_module.GroupPlay_Resume(); }
    int GroupPlay_Seek(unsigned int time) override { return m_module.GroupPlay_Seek(time); }
    int GroupPlay_QueryGroupPlayingTime(PLAY_MODULE::__DATETIME_INFO* time) override
    {
        return m_module.GroupPlay_QueryGroupPlayingTime(time);
    }
    int Preroll() override { return m_module.Preroll(); }
    int HoldGroupAtEnd(int hold) override { return m_module.HoldGroupAtEnd(hold); }
    int PlayIfPrerolled(IPlayLibrary* after) override
    {
        return m_module.PlayIfPrerolled(after ? after->NativeModule() : nullptr);
    }
    PLAY_MODULE::CPlayModule* NativeModule() override { return &m_module; }

private:
    PLAY_MODULE::CPlayModule m_module;
};
