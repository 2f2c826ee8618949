#include "Platform/PlayModule/PlayModule.h"

#include "Base/SFDateTime.h"
#include "Base/SFEvent.h"
#include "Platform/PlayModule/Output/AudioOutput.h"
#include "Platform/PlayModule/Output/DataRecorder.h"
#include "Platform/PlayModule/FFmpegLog.h"
#include "Platform/PlayModule/Engine/GroupPlay.h"
#include "Platform/PlayModule/Source/MediaSourceFactory.h"
#include "Platform/PlayModule/Engine/PlayEngine.h"
#include "Platform/PlayModule/Output/SnapshotWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/codec_par.h>
}

namespace PLAY_MODULE {

namespace {

std::atomic<int> g_nextPort{1};

}  // namespace

CPlayModule::CPlayModule(IPlayModuleListener* listener)
    : m_listener(listener), m_port(g_nextPort++)
{
    RouteFFmpegMessages();
}

CPlayModule::~CPlayModule()
{
    Close();
    GroupPlay_Close();
}

int CPlayModule::SetRenderType(PM_RENDER_TYPE type)
{
    CPlayEngine::SetRenderType(type);
    return 1;
}

int CPlayModule::Open(const char* path)
{
    if (!path || !m_listener)
        return 0;
    Close();
    m_stopping = false;
    m_index = std::make_shared<CSharedKeyFrameIndex>();
    std::unique_ptr<IMediaSource> source = OpenMediaSource(path, m_index);
    if (!source)
        return 0;
    const std::int64_t fileSize = source->FileSize();
    m_dataEnd = source->DataEnd();
    const std::int64_t ownStart = source->OwnStartTimeMs();
    const std::int64_t duration = source->DurationMs();
    auto engine = std::make_unique<CPlayEngine>(this, m_listener);
    if (m_timeSource)
        engine->SetTimeSource(m_timeSource);
    engine->SetKeyFrameIndex(m_index);
    {
        std::lock_guard lock(m_mutex);
        m_path = path;
        m_hasTimes = ownStart >= 0;
        m_startAbsMs = m_hasTimes ? ownStart : 0;
        m_endAbsMs = m_startAbsMs + duration;
        engine->SetFileStartAbsMs(m_startAbsMs);
        engine->SetColor(m_color[0], m_color[1], m_color[2], m_color[3]);
    }
    if (ownStart >= 0)
        engine->ReportFileTimes(unsigned(ownStart / 1000), unsigned((ownStart + duration) / 1000));
    if (!engine->Start(std::move(source)))
        return 0;
    m_engine = std::move(engine);
    StartIndex(path, fileSize);
    return 1;
}

int CPlayModule::Play(void*)
{
    if (!IsOpen())
        return 0;
    if (m_prerolled.exchange(false))
        m_engine->LeaveClock();
    m_engine->Play();
    return 1;
}

int CPlayModule::Stop()
{
    if (!IsOpen())
        return 0;
    m_stopping = true;
    StopIndex();
    CloseAudio();
    m_engine->Shutdown();
    return 1;
}

int CPlayModule::Close()
{
    m_stopping = true;
    StopIndex();
    LeaveGroup();
    StopDataRecord();
    CloseAudio();
    if (!m_engine)
        return 0;
    m_engine->Shutdown();
    m_engine.reset();
    return 1;
}

bool CPlayModule::IsStopping() const
{
    return m_stopping.load();
}

int CPlayModule::WaitForFrameRelease(SF_SOFT_BASE::CSFEvent* drawn)
{
    constexpr std::uint32_t kSliceMs = 10;
    if (!drawn)
        return 0;
    while (!m_stopping) {
        const int result = drawn->Wait(kSliceMs);
        if (result == SF_SOFT_BASE::CSFEvent::kSignalled)
            return 1;
        if (result != SF_SOFT_BASE::CSFEvent::kTimeout)
            return 0;
    }
    return 0;
}

int CPlayModule::Pause()
{
    if (!IsOpen())
        return 0;
    m_engine->Pause();
    DropQueuedSound();
    return 1;
}

void CPlayModule::DropQueuedSound()
{
    if (m_audio)
        m_audio->Clear();
}

int CPlayModule::Resume()
{
    if (!IsOpen())
        return 0;
    m_engine->Resume();
    return 1;
}

int CPlayModule::IsPlaying()
{
    return IsOpen() && m_engine->IsPlaying() ? 1 : 0;
}

std::int64_t CPlayModule::ToFileMs(unsigned int time) const
{
    std::lock_guard lock(m_mutex);
    return std::int64_t(time) * 1000 - (m_hasTimes ? m_startAbsMs : 0);
}

int CPlayModule::Seek(unsigned int time, int exact)
{
    if (!IsOpen())
        return 0;
    // Times are whole seconds: the file's first second may begin before it.
    const std::int64_t fileMs = ToFileMs(time);
    if (fileMs <= -1000 || fileMs > m_engine->DurationMs() + 1000)
        return 0;
    DropQueuedSound();
    m_engine->Seek(fileMs, exact != 0);
    return 1;
}

int CPlayModule::Seek(float percent)
{
    if (!IsOpen() || !(percent >= 0.0f && percent <= 100.0f))
        return 0;
    DropQueuedSound();
    m_engine->Seek(std::int64_t(double(m_engine->DurationMs()) * percent / 100.0), true);
    return 1;
}

int CPlayModule::SetSpeed(float speed)
{
    return IsOpen() && m_engine->SetSpeed(speed) ? 1 : 0;
}

float CPlayModule::GetSpeed()
{
    return IsOpen() ? float(m_engine->Speed()) : 1.0f;
}

int CPlayModule::PlayForward()
{
    if (!IsOpen())
        return 0;
    m_engine->SetBackward(false);
    return 1;
}

int CPlayModule::PlayBackward()
{
    if (!IsOpen())
        return 0;
    m_engine->SetBackward(true);
    return 1;
}

int CPlayModule::SetPlayDirection(unsigned long direction)
{
    return direction == 0 ? PlayForward() : PlayBackward();
}

int CPlayModule::GetEndDirection()
{
    return IsOpen() && m_engine->EndedBackward() ? 1 : 0;
}

int CPlayModule::StepForward()
{
    if (!IsOpen())
        return 0;
    DropQueuedSound();
    m_engine->Step(true);
    return 1;
}

int CPlayModule::StepBackward()
{
    if (!IsOpen())
        return 0;
    DropQueuedSound();
    m_engine->Step(false);
    return 1;
}

int CPlayModule::EnableVerticalSync(int enable)
{
    std::lock_guard lock(m_mutex);
    m_verticalSync = enable;
    return 1;
}

int CPlayModule::GetPlayPort()
{
    return m_port;
}

int CPlayModule::SnapPicture(const char* path, PM_IMAGE_TYPE type)
{
    PlanarPicture picture;
    if (!path || !IsOpen() || !m_engine->CopyWholeShownPicture(picture))
        return 0;
    return CSnapshotWriter::WriteNew(picture, path, type) ? 1 : 0;
}

int CPlayModule::GetMediaInfo(MEDIA_INFO* info)
{
    if (!info || !IsOpen())
        return 0;
    *info = MEDIA_INFO{};
    info->nWidth = m_engine->Width();
    info->nHeight = m_engine->Height();
    info->nFrameRate = int(std::lround(m_engine->FrameRate()));
    info->nDurationMs = std::uint32_t(m_engine->DurationMs());
    if (const AVCodecParameters* video = m_engine->VideoParameters())
        info->nVideoCodec = video->codec_id;
    if (const AVCodecParameters* audio = m_engine->AudioParameters()) {
        info->nAudioCodec = audio->codec_id;
        info->nAudioSampleRate = audio->sample_rate;
        info->nAudioChannels = audio->ch_layout.nb_channels;
    }
    return 1;
}

int CPlayModule::GetColor(int* brightness, int* contrast, int* saturation, int* hue)
{
    if (!brightness || !contrast || !saturation || !hue)
        return 0;
    std::lock_guard lock(m_mutex);
    *brightness = m_color[0];
    *contrast = m_color[1];
    *saturation = m_color[2];
    *hue = m_color[3];
    return 1;
}

int CPlayModule::SetColor(int brightness, int contrast, int saturation, int hue)
{
    {
        std::lock_guard lock(m_mutex);
        m_color[0] = std::clamp(brightness, 0, 128);
        m_color[1] = std::clamp(contrast, 0, 128);
        m_color[2] = std::clamp(saturation, 0, 128);
        m_color[3] = std::clamp(hue, 0, 128);
    }
    if (IsOpen())
        m_engine->SetColor(brightness, contrast, saturation, hue);
    return 1;
}

int CPlayModule::QueryInfo(int kind, char* buffer, int size, int* returned)
{
    // Kind 4: the shown frame's time from the file's start in ms, for the
    // overlay drawer to match overlay blocks with pictures.
    if (kind != 4 || !buffer || size < 4 || !IsOpen())
        return 0;
    const std::int32_t value = std::int32_t(m_engine->CurrentTimeMs());
    std::memcpy(buffer, &value, 4);
    if (returned)
        *returned = 4;
    return 1;
}

unsigned int CPlayModule::GetFileStartTime()
{
    std::lock_guard lock(m_mutex);
    return m_hasTimes ? unsigned(m_startAbsMs / 1000) : 0;
}

unsigned int CPlayModule::GetFileEndTime()
{
    std::lock_guard lock(m_mutex);
    return m_hasTimes ? unsigned(m_endAbsMs / 1000) : 0;
}

std::int64_t CPlayModule::GetCurrentPlayTimeMs()
{
    if (!IsOpen())
        return 0;
    std::lock_guard lock(m_mutex);
    return (m_hasTimes ? m_startAbsMs : 0) + m_engine->CurrentTimeMs();
}

unsigned int CPlayModule::GetCurrentPlayTime()
{
    return unsigned(GetCurrentPlayTimeMs() / 1000);
}

unsigned int CPlayModule::GetFilePlayedTime()
{
    return IsOpen() ? unsigned(m_engine->CurrentTimeMs() / 1000) : 0;
}

unsigned int CPlayModule::GetFileLengthOfTime()
{
    return IsOpen() ? unsigned((m_engine->DurationMs() + 999) / 1000) : 0;
}

int CPlayModule::IsGetFileTimeInfo()
{
    std::lock_guard lock(m_mutex);
    return m_hasTimes ? 1 : 0;
}

int CPlayModule::SetFileTimeInfo(unsigned int start, unsigned int end)
{
    if (end < start)
        return 0;
    std::lock_guard lock(m_mutex);
    m_hasTimes = true;
    m_startAbsMs = std::int64_t(start) * 1000;
    m_endAbsMs = std::int64_t(end) * 1000;
    if (m_engine)
        m_engine->SetFileStartAbsMs(m_startAbsMs);
    return 1;
}

int CPlayModule::GetCurrentVideoFrameRate()
{
    return IsOpen() ? int(std::lround(m_engine->FrameRate())) : 0;
}

int CPlayModule::GetCurrentPlayingVideoFrameWidth()
{
    std::lock_guard lock(m_mutex);
    return m_shownWidth;
}

int CPlayModule::GetCurrentPlayingVideoFrameHeight()
{
    std::lock_guard lock(m_mutex);
    return m_shownHeight;
}

int CPlayModule::SetCurrentPlayingVideoFrameWidth(int width)
{
    std::lock_guard lock(m_mutex);
    m_shownWidth = width;
    return 1;
}

int CPlayModule::SetCurrentPlayingVideoFrameHeight(int height)
{
    std::lock_guard lock(m_mutex);
    m_shownHeight = height;
    return 1;
}

void CPlayModule::SetTimeSource(std::shared_ptr<ITimeSource> source)
{
    m_timeSource = source;
    if (m_groupPlay)
        m_groupPlay->Clock().SetTimeSource(source);
    if (m_engine)
        m_engine->SetTimeSource(std::move(source));
}

// ---- group play ----

bool CPlayModule::AttachGroup(CGroupPlay* group)
{
    std::lock_guard lock(m_mutex);
    if (m_group && m_group != group)
        return false;
    m_group = group;
    m_groupRef = group->weak_from_this();
    // The group's clock replaces the one a readied module stood on.
    m_prerolled = false;
    return true;
}

void CPlayModule::DetachGroup(CGroupPlay* group)
{
    std::lock_guard lock(m_mutex);
    if (m_group == group) {
        m_group = nullptr;
        m_groupRef.reset();
    }
}

std::shared_ptr<CGroupPlay> CPlayModule::Group() const
{
    std::lock_guard lock(m_mutex);
    return m_groupRef.lock();
}

void CPlayModule::LeaveGroup()
{
    if (std::shared_ptr<CGroupPlay> group = Group())
        group->Remove(this);
}

int CPlayModule::Preroll()
{
    if (!IsOpen() || m_engine->IsPlaying())
        return 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_group)
            return 0;
    }
    auto standing = std::make_shared<CPlayClock>();
    standing->Pause();
    if (m_engine->IsBackward())
        m_engine->StandAtEnd();
    m_engine->JoinClock(standing, 0);
    m_prerolled = true;
    return 1;
}

int CPlayModule::PlayIfPrerolled(CPlayModule* after)
{
    if (!m_prerolled.exchange(false))
        return 0;
    if (std::shared_ptr<CGroupPlay> group = after ? after->Group() : nullptr) {
        if (group->HandOver(after, this))
            return 1;
        // Not this file's turn in the group: the page's change of file decides.
        m_prerolled = true;
        return 0;
    }
    // Alone, a file readied for one direction cannot follow in the other.
    const CPlayEngine* ended = after ? after->Engine() : nullptr;
    if (ended && ended->IsBackward() != m_engine->IsBackward()) {
        m_prerolled = true;
        return 0;
    }
    m_engine->LeaveClock();
    m_engine->Play();
    return 1;
}

int CPlayModule::HoldGroupAtEnd(int hold)
{
    if (!IsOpen())
        return 0;
    m_engine->SetHoldClockAtEnd(hold != 0);
    return 1;
}

int CPlayModule::GroupPlay_Open()
{
    if (m_listener)
        return 0;
    if (!m_groupPlay) {
        m_groupPlay = std::make_shared<CGroupPlay>();
        if (m_timeSource)
            m_groupPlay->Clock().SetTimeSource(m_timeSource);
    }
    return 1;
}

int CPlayModule::GroupPlay_Close()
{
    if (!m_groupPlay)
        return 0;
    m_groupPlay->RemoveAll();
    m_groupPlay.reset();
    return 1;
}

int CPlayModule::GroupPlay_AddToPlayGroup(CPlayModule* member)
{
    return m_groupPlay && member && member != this && m_groupPlay->Add(member) ? 1 : 0;
}

int CPlayModule::GroupPlay_DelFromPlayGroup(CPlayModule* member)
{
    return m_groupPlay && m_groupPlay->Remove(member) ? 1 : 0;
}

int CPlayModule::GroupPlay_PlayForward()
{
    return m_groupPlay && m_groupPlay->PlayForward() ? 1 : 0;
}

int CPlayModule::GroupPlay_PlayBackward()
{
    return m_groupPlay && m_groupPlay->PlayBackward() ? 1 : 0;
}

int CPlayModule::GroupPlay_StepForward()
{
    return m_groupPlay && m_groupPlay->Step(true) ? 1 : 0;
}

int CPlayModule::GroupPlay_StepBackward()
{
    return m_groupPlay && m_groupPlay->Step(false) ? 1 : 0;
}

int CPlayModule::GroupPlay_SetPlaySpeed(float speed)
{
    return m_groupPlay && m_groupPlay->SetSpeed(speed) ? 1 : 0;
}

int CPlayModule::GroupPlay_Pause()
{
    return m_groupPlay && m_groupPlay->Pause() ? 1 : 0;
}

int CPlayModule::GroupPlay_Resume()
{
    return m_groupPlay && m_groupPlay->Resume() ? 1 : 0;
}

int CPlayModule::GroupPlay_Seek(unsigned int time)
{
    return m_groupPlay && m_groupPlay->Seek(std::int64_t(time) * 1000) ? 1 : 0;
}

int CPlayModule::GroupPlay_QueryGroupPlayingTime(__DATETIME_INFO* time)
{
    if (!time || !m_groupPlay)
        return 0;
    const std::int64_t ms = m_groupPlay->PlayingTimeMs();
    if (ms < 0)
        return 0;
    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(std::uint32_t(ms / 1000));
    *time = __DATETIME_INFO{date.year, date.month, date.day, date.hour, date.minute, date.second,
                            std::int32_t(ms % 1000)};
    return 1;
}

// ---- sound ----

void CPlayModule::ApplyGain()
{
    if (m_audio)
    {
        m_audio->SetGain(double(m_volume) / 100.0);
        m_audio->SetSampleScale(WaveLevelScale(m_waveLevel));
    }
}

int CPlayModule::OpenAudio()
{
    if (!IsOpen())
        return 0;
    const AVCodecParameters* params = m_engine->AudioParameters();
    if (!params)
        return 0;
    auto audio = std::make_shared<CAudioOutput>();
    if (!audio->Open(params->sample_rate, params->ch_layout.nb_channels))
        return 0;
    CloseAudio();
    m_audio = audio;
    ApplyGain();
    // The play thread keeps the output alive while it hands it sound.
    m_engine->SetAudioSink([audio](const AVFrame& frame) { audio->Push(frame); });
    return 1;
}

int CPlayModule::CloseAudio()
{
    if (!m_audio)
        return 0;
    if (m_engine)
        m_engine->SetAudioSink(nullptr);
    m_audio.reset();
    return 1;
}

int CPlayModule::SetVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
    ApplyGain();
    return 1;
}

int CPlayModule::GetVolume()
{
    return m_volume;
}

int CPlayModule::AdjustWaveAudio(int level)
{
    m_waveLevel = std::clamp(level, -100, 100);
    ApplyGain();
    return 1;
}

}  // namespace PLAY_MODULE
