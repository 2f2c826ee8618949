#include "PlayManager/PlayObject.h"

#include <boost/make_shared.hpp>

#include "PlayManager/AVIRecorder.h"
#include "PlayManager/IOverlayDrawer.h"
#include "PlayManager/IPlayObjectListener.h"
#include "PlayManager/IVSPortPool.h"
#include "PlayManager/PlayHandle.h"

CPlayObject::CPlayObject(int playType, const PlayLibraryFactory& libraryFactory,
                         boost::shared_ptr<IOverlayDrawer> overlayDrawer, void* handle)
    : m_handle(handle ? handle : NewPlayHandle()),
      m_playType(playType),
      m_library(libraryFactory(this)),
      m_overlay(std::move(overlayDrawer))
{
}

CPlayObject::~CPlayObject()
{
    // The library's threads call into this object: end them (Stop and Close
    // join them) before anything they use is released.
    m_stopped = 1;
    m_handOver.Release();
    m_library->Stop();
    m_library->Close();
    if (m_recordType != -1)
        StopDataRecord();
    ReleaseOverlayPort();
}

void CPlayObject::SetListener(const boost::shared_ptr<IPlayObjectListener>& listener)
{
    std::lock_guard lock(m_listenerMutex);
    m_listener = listener;
}

boost::shared_ptr<IPlayObjectListener> CPlayObject::LockListener() const
{
    std::lock_guard lock(m_listenerMutex);
    return m_listener.lock();
}

int CPlayObject::Open(const char* path)
{
    m_stopped = 0;
    return m_library->Open(path);
}

int CPlayObject::Play(void* window) { return m_library->Play(window); }

int CPlayObject::Play(void* window, unsigned int) { return m_library->Play(window); }

int CPlayObject::Stop()
{
    m_stopped = 1;
    m_handOver.Release();
    return m_library->Stop();
}

int CPlayObject::Close() { return m_library->Close(); }
int CPlayObject::Pause() { return m_library->Pause(); }
int CPlayObject::Resume() { return m_library->Resume(); }

int CPlayObject::Seek(unsigned int time)
{
    m_positionPending = 1;
    return m_library->Seek(time, m_playType == PLAY_TYPE_EXACT ? 1 : 0);
}

int CPlayObject::SeekByPercent(float percent)
{
    m_positionPending = 1;
    return m_library->Seek(percent);
}

int CPlayObject::SeekByPercentEx(float percent, unsigned int)
{
    m_seekPending = 1;
    m_positionPending = 1;
    return m_library->Seek(percent);
}

int CPlayObject::SeekExact(unsigned int time, unsigned int)
{
    m_seekPending = 1;
    m_positionPending = 1;
    return m_library->Seek(time, 1);
}

int CPlayObject::SetSpeed(float speed) { return m_library->SetSpeed(speed); }
int CPlayObject::OpenAudio() { return m_library->OpenAudio(); }
int CPlayObject::CloseAudio() { return m_library->CloseAudio(); }
int CPlayObject::GetVolume() { return m_library->GetVolume(); }
int CPlayObject::SetVolume(int volume) { return m_library->SetVolume(volume); }
int CPlayObject::AdjustWaveAudio(int value) { return m_library->AdjustWaveAudio(value); }
int CPlayObject::EnableVerticalSync(int enable) { return m_library->EnableVerticalSync(enable); }
int CPlayObject::PlayForward() { return m_library->PlayForward(); }
int CPlayObject::PlayBackward() { return m_library->PlayBackward(); }
int CPlayObject::SetPlayDirection(unsigned long direction)
{
    return m_library->SetPlayDirection(direction);
}
int CPlayObject::GetPlayPort() { return m_library->GetPlayPort(); }

int CPlayObject::SnapPicture(const char* path, PLAY_MODULE::PM_IMAGE_TYPE type)
{
    return m_library->SnapPicture(path, type);
}

int CPlayObject::GetMediaInfo(PLAY_MODULE::MEDIA_INFO* info)
{
    return m_library->GetMediaInfo(info);
}
unsigned int CPlayObject::GetFileStartTime() { return m_library->GetFileStartTime(); }
unsigned int CPlayObject::GetFileEndTime() { return m_library->GetFileEndTime(); }
unsigned int CPlayObject::GetCurrentPlayTime() { return m_library->GetCurrentPlayTime(); }
unsigned int CPlayObject::GetFilePlayedTime() { return m_library->GetFilePlayedTime(); }

int CPlayObject::GetColor(int* brightness, int* contrast, int* saturation, int* hue)
{
    return m_library->GetColor(brightness, contrast, saturation, hue);
}

int CPlayObject::SetColor(int brightness, int contrast, int saturation, int hue)
{
    return m_library->SetColor(brightness, contrast, saturation, hue);
}

int CPlayObject::GetKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos)
{
    return m_library->GetKeyFramePos(time, pos);
}

int CPlayObject::GetNextKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos)
{
    return m_library->GetNextKeyFramePos(time, pos);
}

int CPlayObject::GetKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos)
{
    return m_library->GetKeyFramePosByAbsTime(time, pos);
}

int CPlayObject::GetNextKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos)
{
    return m_library->GetNextKeyFramePosByAbsTime(time, pos);
}

int CPlayObject::GetRefValue(unsigned char* buffer, unsigned int* length)
{
    return m_library->GetRefValue(buffer, length);
}

int CPlayObject::SetRefValue(unsigned char* data, unsigned int length)
{
    if (m_playType == PLAY_TYPE_NO_INDEX)
        return 0;
    return m_library->SetRefValue(data, length);
}

// ---- overlays ----

int CPlayObject::OpenIVSTrack(int drawType)
{
    ReleaseOverlayPort();
    const int port = CIVSPortPool::Instance()->Alloc();
    if (port < 0)
        return 0;
    {
        std::lock_guard<std::mutex> lock(m_overlayMutex);
        m_overlayPort = port;
        m_overlay->OpenPort(port);
        for (int kind = 1; kind <= 3; ++kind)
            m_overlay->SetKindStyle(port, kind, -1, 0, 0);
        for (int kind = 1; kind <= 3; ++kind)
            m_overlay->EnableKind(port, kind, 1);
        m_overlay->SetDrawType(port, drawType);
        m_overlayOpen = true;
    }
    const int opened = m_library->OpenIVSTrack();
    if (!opened)
        ReleaseOverlayPort();  // the port goes back to the pool at once
    return opened;
}

int CPlayObject::SetIVSDrawType(int drawType)
{
    if (m_overlayOpen)
        m_overlay->SetDrawType(m_overlayPort, drawType);
    return 1;
}

int CPlayObject::CloseIVSTrack()
{
    ReleaseOverlayPort();
    return m_library->CloseIVSTrack();
}

void CPlayObject::ReleaseOverlayPort()
{
    std::lock_guard<std::mutex> lock(m_overlayMutex);
    if (!m_overlayOpen.exchange(false))
        return;
    m_overlay->ClosePort(m_overlayPort);
    CIVSPortPool::Instance()->Free(m_overlayPort);
}

// ---- clip recording ----

int CPlayObject::StartDataRecord(const char* path, int type)
{
    // A recording still running would be left unstoppable by the new type.
    if (m_recordType != -1)
        StopDataRecord();
    int result = 0;
    if (type == 1) {
        if (!m_recorder) {
            m_recorder = boost::make_shared<AVIRecorder>();
            // Told as the library's own recording tells its failure.
            m_recorder->SetFailureReport([this](const std::string& keptPath, std::int64_t keptMs) {
                OnRecordFailed(nullptr, keptPath, keptMs);
            });
        }
        result = m_recorder->Start(path);
        if (result)
            m_aviFeeding = 1;
    } else if (type == 0) {
        result = m_library->StartDataRecord(path, 0);
    }
    // Only a recording that started can be stopped with success.
    m_recordType = result ? type : -1;
    return result;
}

int CPlayObject::StopDataRecord()
{
    int result = 0;
    if (m_recordType == 1 && m_recorder) {
        m_aviFeeding = 0;
        result = m_recorder->Stop();
    } else if (m_recordType == 0) {
        result = m_library->StopDataRecord();
    }
    m_recordType = -1;
    return result;
}

boost::shared_ptr<AVIRecorder> CPlayObject::Recorder() const { return m_recorder; }
