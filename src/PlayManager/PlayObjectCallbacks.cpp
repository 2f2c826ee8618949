#include <algorithm>
#include <cstring>

#include "Base/PostTask.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "PlayManager/AVIRecorder.h"
#include "PlayManager/IOverlayDrawer.h"
#include "PlayManager/IPlayObjectListener.h"
#include "PlayManager/PlayObject.h"
#include "PlayManager/PostWeakTask.h"

using LumivexBase::ML_MAIN;
using LumivexBase::ML_PLAY;

// ---- library threads ----

void CPlayObject::OnFileRefFinished(PLAY_MODULE::CPlayModule*, int result)
{
    if (m_playType == PLAY_TYPE_NO_INDEX)
        return;
    PostWeakTask(ML_PLAY, weak_from_this(), "&CPlayObject::Task_OnFileRefFinished",
                 "CPlayObject::OnFileRefFinished",
                 [result](CPlayObject& self) { self.Task_OnFileRefFinished(result); });
}

void CPlayObject::OnFileEnd(PLAY_MODULE::CPlayModule*)
{
    const int forward = m_library->GetEndDirection() == 1 ? 0 : 1;
    PostWeakTask(ML_PLAY, weak_from_this(), "&CPlayObject::Task_OnFileEnd", "CPlayObject::OnFileEnd",
                 [forward](CPlayObject& self) { self.Task_OnFileEnd(forward); });
    boost::shared_ptr<CPlayObject> next;
    {
        std::lock_guard lock(m_nextMutex);
        next = m_next.lock();
    }
    // Its window's change of file then costs no trip through the loops.
    if (next)
        next->PlayIfPrerolled(m_library.get());
}

void CPlayObject::SetNextFile(const boost::shared_ptr<CPlayObject>& next)
{
    std::lock_guard lock(m_nextMutex);
    m_next = next;
}

void CPlayObject::OnFileTimeDone(PLAY_MODULE::CPlayModule*, unsigned start, unsigned end)
{
    PostWeakTask(
        ML_PLAY, weak_from_this(), "&CPlayObject::Task_OnPlayTimeInfoChanged",
        "CPlayObject::OnFileTimeDone",
        [start, end](CPlayObject& self) { self.Task_OnPlayTimeInfoChanged(start, end); });
}

// Straight to the page, so it comes before the answer of a stop that failed.
void CPlayObject::OnRecordFailed(PLAY_MODULE::CPlayModule*, const std::string& keptPath, std::int64_t keptMs)
{
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnRecordFailed, listener, m_handle,
                     SF_SOFT_BASE::Utf8ToWide(keptPath), unsigned(std::max<std::int64_t>(keptMs, 0) / 1000));
}

void CPlayObject::OnStreamData(PLAY_MODULE::CPlayModule*, unsigned char* data, int length,
                               PLAY_MODULE::PM_FRAME_INFO* info, int)
{
    // The recorder is made on the play loop before feeding is switched on
    // and is kept for the object's life.
    if (m_aviFeeding && info)
        m_recorder->InputData(data, length, *info);
}

void CPlayObject::OnFrameVisible(PLAY_MODULE::CPlayModule*, int renderKind, unsigned char* data,
                                 int value, PLAY_MODULE::PM_FRAME_INFO* info)
{
    if (info)
        FrameVisible(renderKind, {m_handle, data, value, info->nWidth, info->nHeight, {}}, info);
}

// The library's buffer is handed on as it is: the receivers share it.
void CPlayObject::OnSharedFrameVisible(PLAY_MODULE::CPlayModule*, int renderKind,
                                       std::shared_ptr<const unsigned char> frame, int value,
                                       PLAY_MODULE::PM_FRAME_INFO* info)
{
    if (!info || !frame)
        return;
    unsigned char* data = const_cast<unsigned char*>(frame.get());
    const CFrameHandOver::Buffer owner(data, [frame](unsigned char*) {});
    FrameVisible(renderKind, {m_handle, data, value, info->nWidth, info->nHeight, owner}, info);
}

void CPlayObject::FrameVisible(int renderKind, const CFrameHandOver::Frame& frame, PLAY_MODULE::PM_FRAME_INFO* info)
{
    if (info->nType != PLAY_MODULE::PM_FRAME_VIDEO_SHOWN)
        return;
    if (renderKind == PLAY_MODULE::PM_RENDER_DDRAW)
        DDrawRender(frame);
    else if (renderKind == PLAY_MODULE::PM_RENDER_QT)
        QTRender(frame);
    if (m_seekPending.exchange(0) == 1)
        ReportSeekDone();
    ApplyFileTimeFallback();
    // Paused, the timer reports nothing: the picture a seek or step brought
    // reports its time itself.
    if (m_positionPending.exchange(0) == 1 && m_library->IsGetFileTimeInfo() != 0)
        PostPosition(PositionTime());
}

int CPlayObject::OnOverlayData(PLAY_MODULE::CPlayModule*, unsigned char* data, int kind, int length,
                               int, int)
{
    if (!m_overlayOpen)
        return 0;
    const int value = OverlayValue();
    const int hold = 3 * m_library->GetCurrentVideoFrameRate();
    std::lock_guard<std::mutex> lock(m_overlayMutex);
    if (!m_overlayOpen)
        return 0;
    const int port = m_overlayPort;
    m_overlay->SetHoldFrames(port, 1, hold);
    m_overlay->SetHoldFrames(port, 2, hold);
    if (kind == 5)
        return m_overlay->InputRules(port, data, length, value);
    if (kind == 6)
        return m_overlay->InputTargets(port, 0, data, length, value);
    return 0;
}

int CPlayObject::OverlayValue()
{
    char buffer[4] = {};
    int returned = 0;
    m_library->QueryInfo(4, buffer, sizeof buffer, &returned);
    int value = 0;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

bool CPlayObject::ShouldStopWaiting() const { return m_stopped != 0 || m_library->IsStopping(); }

void CPlayObject::QTRender(const CFrameHandOver::Frame& frame)
{
    // Without an open track no port is this object's: -1 draws no overlays.
    const int overlayPort = m_overlayOpen ? m_overlayPort.load() : -1;
    const int overlayValue = overlayPort >= 0 ? OverlayValue() : 0;
    m_handOver.QtFrame(*m_library, LockListener(), frame,
                       [this] { return ShouldStopWaiting(); }, overlayPort, overlayValue);
}

void CPlayObject::DDrawRender(const CFrameHandOver::Frame& frame)
{
    if (m_stopped)
        return;
    boost::shared_ptr<IPlayObjectListener> listener = LockListener();
    const int overlayValue = listener ? OverlayValue() : 0;
    // Without an open track no port is this object's: -1 draws no overlays.
    const int overlayPort = m_overlayOpen ? m_overlayPort.load() : -1;
    m_handOver.DDrawFrame(listener, frame, overlayPort,
                          overlayValue, [this] { return ShouldStopWaiting(); });
}

void CPlayObject::ReportSeekDone()
{
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnSeekSuccess, listener, m_handle);
}

void CPlayObject::ApplyFileTimeFallback()
{
    if (m_library->IsGetFileTimeInfo() == 1 || m_playType == PLAY_TYPE_EXACT)
        return;
    const unsigned int length = m_library->GetFileLengthOfTime();
    if (length == 0)
        return;
    const unsigned int start = unsigned(SF_SOFT_BASE::GetTodayStartTime());
    m_library->SetFileTimeInfo(start, start + length);
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnPlayTimeInfoChanged, listener, m_handle, 0u,
                     length);
}

// ---- play loop ----

void CPlayObject::Task_OnFileRefFinished(int result)
{
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnFileRefFinished, listener, m_handle, result);
}

void CPlayObject::Task_OnFileEnd(int forward)
{
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnFileEndReached, listener, m_handle, forward);
}

void CPlayObject::Task_OnPlayTimeInfoChanged(unsigned int start, unsigned int end)
{
    if (end == 0)
        return;
    if (start == 0) {
        start = unsigned(SF_SOFT_BASE::GetTodayStartTime());
        end += start;
    }
    m_library->SetFileTimeInfo(start, end);
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnPlayTimeInfoChanged, listener, m_handle,
                     start, end);
}

void CPlayObject::PostPosition(unsigned int time)
{
    m_postedTime = time;
    if (boost::shared_ptr<IPlayObjectListener> listener = LockListener())
        SF_POST_TASK(ML_MAIN, &IPlayObjectListener::OnPlayPositionChanged, listener, m_handle,
                     time);
}

int CPlayObject::StepForward()
{
    m_positionPending = 1;
    return AfterStep(m_library->StepForward());
}

int CPlayObject::StepBackward()
{
    m_positionPending = 1;
    return AfterStep(m_library->StepBackward());
}

// The time shown until the step's picture comes (the same time again when
// there is none, at either end).
int CPlayObject::AfterStep(int result)
{
    if (m_library->IsGetFileTimeInfo() != 0)
        PostPosition(m_library->GetCurrentPlayTime());
    return result;
}

unsigned int CPlayObject::PositionTime()
{
    return m_playType == PLAY_TYPE_EXACT ? m_library->GetCurrentPlayTime()
                                         : m_library->GetFilePlayedTime() + m_library->GetFileStartTime();
}

void CPlayObject::MonitorPlayTimeChange()
{
    if (m_stopped)
        return;
    if (m_library->IsPlaying() != 0) {
        PostPosition(PositionTime());
        return;
    }
    // Paused: a picture already on its way when a seek was asked may have
    // taken the seek's report; the position it really reached follows here.
    if (m_library->IsGetFileTimeInfo() == 0)
        return;
    const unsigned int time = PositionTime();
    if (time != m_postedTime)
        PostPosition(time);
}
