#include "PlayManager/PlayManager.h"

#include <boost/make_shared.hpp>

#include <algorithm>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFDateTime.h"
#include "Base/SFTimer.h"
#include "PlayManager/IOverlayDrawer.h"
#include "PlayManager/IPlayObjectListener.h"
#include "PlayManager/ManagerTimer.h"
#include "PlayManager/PlayObject.h"
#include "PlayManager/PostWeakTask.h"

namespace {

constexpr std::int32_t kTickMs = 300;
constexpr char kWrongThread[] = "fuction used In wrong Thread!";

void CheckPlayThread(const char* name)
{
    LumivexBase::CheckLoopThread(LumivexBase::ML_PLAY, name, kWrongThread);
}

using ManagerLink = boost::weak_ptr<CPlayManager>;

}  // namespace

boost::shared_ptr<CPlayManager> CPlayManager::Create() { return Create(CPlayBackends{}); }

boost::shared_ptr<CPlayManager> CPlayManager::Create(CPlayBackends backends)
{
    auto manager = boost::make_shared<CPlayManager>(std::move(backends));
    manager->StartTimer();
    return manager;
}

CPlayManager::CPlayManager(CPlayBackends backends) : m_backends(std::move(backends))
{
    if (!m_backends.library)
        m_backends.library = PlayModuleLibraryFactory();
    if (!m_backends.overlay)
        m_backends.overlay = IvsOverlayDrawer();
}

CPlayManager::~CPlayManager()
{
    // The timer goes first (stopped and deleted on its own thread), then the
    // listener, the groups and the play objects.
    m_timer.reset();
    m_groupListenerRef.reset();
    m_groupObjects.clear();
    m_playObjects.clear();
}

void CPlayManager::StartTimer()
{
    auto link = boost::make_shared<ManagerLink>(shared_from_this());
    m_timer = StartOwnThreadTimer(kTickMs, &CPlayManager::OnTimer, link);
}

void CPlayManager::OnTimer(std::int32_t, std::uintptr_t userValue)
{
    // The tick keeps only a weak reference: a strong one taken here could be
    // the manager's last, and its play objects must not end on this thread.
    const auto* link = reinterpret_cast<const ManagerLink*>(userValue);
    if (link)
        PostWeakTask(LumivexBase::ML_PLAY, *link, "&CPlayManager::Task_OnTimer",
                     "CPlayManager::OnTimer", [](CPlayManager& manager) { manager.Task_OnTimer(); });
}

void CPlayManager::Task_OnTimer()
{
    const auto objects = m_playObjects;
    for (const auto& object : objects)
        object->MonitorPlayTimeChange();
    if (m_groupPlayFlag == 1)
        ReportGroupTimes();
}

void CPlayManager::ReportGroupTimes()
{
    for (const auto& [handle, group] : m_groupObjects) {
        PLAY_MODULE::__DATETIME_INFO info{};
        if (!group->GroupPlay_QueryGroupPlayingTime(&info))
            continue;
        const std::int32_t time = SF_SOFT_BASE::CSFDateTime::MakeTime(
            info.nYear, info.nMonth, info.nDay, info.nHour, info.nMinute, info.nSecond);
        boost::shared_ptr<IPlayObjectListener> listener = m_groupListenerRef.lock();
        if (!m_groupListener || !listener || time <= 0)
            continue;
        SF_POST_TASK(LumivexBase::ML_MAIN, &IPlayObjectListener::OnPlayPositionChanged, listener,
                     static_cast<void*>(nullptr), static_cast<unsigned int>(time));
    }
}

// ---- play objects ----

void* CPlayManager::CreatePlayObject(int playType, void* handle)
{
    CheckPlayThread("CPlayManager::CreatePlayObject()");
    if (handle && GetSptrPlayObject(handle))
        return nullptr;
    auto object = boost::make_shared<CPlayObject>(playType, m_backends.library, m_backends.overlay, handle);
    m_playObjects.push_back(object);
    return object->GetHandle();
}

boost::shared_ptr<CPlayObject> CPlayManager::MakeFreePlayObject(int playType, void* handle)
{
    return boost::make_shared<CPlayObject>(playType, m_backends.library, m_backends.overlay, handle);
}

bool CPlayManager::AdoptPlayObject(const boost::shared_ptr<CPlayObject>& object)
{
    CheckPlayThread("CPlayManager::AdoptPlayObject()");
    if (!object || GetSptrPlayObject(object->GetHandle()))
        return false;
    m_playObjects.push_back(object);
    return true;
}

void CPlayManager::DestroyPlayObject(void* handle)
{
    auto it = std::find_if(m_playObjects.begin(), m_playObjects.end(),
                           [handle](const auto& object) { return object->GetHandle() == handle; });
    if (it == m_playObjects.end())
        return;
    boost::shared_ptr<CPlayObject> object = std::move(*it);
    m_playObjects.erase(it);
    object.reset();
}

boost::shared_ptr<CPlayObject> CPlayManager::GetSptrPlayObject(void* handle)
{
    CheckPlayThread("CPlayManager::GetSptrPlayObject");
    for (const auto& object : m_playObjects) {
        if (object->GetHandle() == handle)
            return object;
    }
    return {};
}

template <class Result, class Call>
Result CPlayManager::Forward(void* handle, Result failure, Call call)
{
    boost::shared_ptr<CPlayObject> object = GetSptrPlayObject(handle);
    return object ? static_cast<Result>(call(*object)) : failure;
}

int CPlayManager::Open(void* handle, const char* path)
{
    CheckPlayThread("CPlayManager::Open");
    return Forward(handle, 0, [&](CPlayObject& o) { return o.Open(path); });
}

int CPlayManager::Play(void* handle, void* window)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.Play(window); });
}

int CPlayManager::PlayWithMode(void* handle, void* window, unsigned int mode)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.Play(window, mode); });
}

int CPlayManager::Stop(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.Stop(); });
}

int CPlayManager::Close(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.Close(); });
}

int CPlayManager::Pause(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.Pause(); });
}

int CPlayManager::Resume(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.Resume(); });
}

int CPlayManager::SeekByTime(void* handle, unsigned int time)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.Seek(time); });
}

int CPlayManager::SeekByPercent(void* handle, float percent)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SeekByPercent(percent); });
}

int CPlayManager::SeekByPercentEx(void* handle, float percent, unsigned int value)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SeekByPercentEx(percent, value); });
}

int CPlayManager::SeekByTimeExact(void* handle, unsigned int time, unsigned int value)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SeekExact(time, value); });
}

int CPlayManager::SetSpeed(void* handle, float speed)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SetSpeed(speed); });
}

int CPlayManager::OpenAudio(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.OpenAudio(); });
}

int CPlayManager::CloseAudio(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.CloseAudio(); });
}

int CPlayManager::SetVolume(void* handle, int volume)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SetVolume(volume); });
}

int CPlayManager::PlayForward(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.PlayForward(); });
}

int CPlayManager::PlayBackward(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.PlayBackward(); });
}

int CPlayManager::GetMediaInfo(void* handle, PLAY_MODULE::MEDIA_INFO* info)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.GetMediaInfo(info); });
}

unsigned int CPlayManager::GetFileStartTime(void* handle, int)
{
    return Forward(handle, 0u, [](CPlayObject& o) { return o.GetFileStartTime(); });
}

unsigned int CPlayManager::GetFileEndTime(void* handle, int)
{
    return Forward(handle, 0u, [](CPlayObject& o) { return o.GetFileEndTime(); });
}

unsigned int CPlayManager::GetCurrentPlayTime(void* handle)
{
    CheckPlayThread("CPlayManager::GetCurrentPlayTime");
    return Forward(handle, 0u, [](CPlayObject& o) { return o.GetCurrentPlayTime(); });
}

unsigned int CPlayManager::GetFilePlayedTime(void* handle)
{
    return Forward(handle, 0u, [](CPlayObject& o) { return o.GetFilePlayedTime(); });
}

int CPlayManager::AdjustWaveAudio(void* handle, int value)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.AdjustWaveAudio(value); });
}

int CPlayManager::SnapPicture(void* handle, const char* path, PLAY_MODULE::PM_IMAGE_TYPE format)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SnapPicture(path, format); });
}

int CPlayManager::StartDataRecord(void* handle, const char* path, int type)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.StartDataRecord(path, type); });
}

int CPlayManager::StopDataRecord(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.StopDataRecord(); });
}

int CPlayManager::StepForward(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.StepForward(); });
}

int CPlayManager::StepBackward(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.StepBackward(); });
}

void CPlayManager::SetNextFile(void* handle, const boost::shared_ptr<CPlayObject>& next)
{
    if (boost::shared_ptr<CPlayObject> object = GetSptrPlayObject(handle))
        object->SetNextFile(next);
}

int CPlayManager::HoldGroupAtEnd(void* handle, int hold)
{
    return Forward(handle, 0, [hold](CPlayObject& o) { return o.HoldGroupAtEnd(hold); });
}

int CPlayManager::SetPlayDirection(void* handle, unsigned long direction)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SetPlayDirection(direction); });
}

int CPlayManager::SetRefValue(void* handle, unsigned char* data, unsigned int length)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SetRefValue(data, length); });
}

int CPlayManager::GetRefValue(void* handle, unsigned char* buffer, unsigned int* length)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.GetRefValue(buffer, length); });
}

int CPlayManager::GetKeyFramePos(void* handle, unsigned int time, PLAY_MODULE::FRAME_POS* pos)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.GetKeyFramePos(time, pos); });
}

int CPlayManager::GetNextKeyFramePos(void* handle, unsigned int time, PLAY_MODULE::FRAME_POS* pos)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.GetNextKeyFramePos(time, pos); });
}

int CPlayManager::GetKeyFramePosByAbsTime(void* handle, const _SYSTEMTIME* time,
                                          PLAY_MODULE::FRAME_POS& pos)
{
    if (!time)
        return 0;
    return Forward(handle, 0,
                   [&](CPlayObject& o) { return o.GetKeyFramePosByAbsTime(*time, pos); });
}

int CPlayManager::GetNextKeyFramePosByAbsTime(void* handle, const _SYSTEMTIME* time,
                                              PLAY_MODULE::FRAME_POS& pos)
{
    if (!time)
        return 0;
    return Forward(handle, 0,
                   [&](CPlayObject& o) { return o.GetNextKeyFramePosByAbsTime(*time, pos); });
}

int CPlayManager::OpenIVSTrack(void* handle, int drawType)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.OpenIVSTrack(drawType); });
}

int CPlayManager::SetIVSDrawType(void* handle, int type)
{
    return Forward(handle, 0, [&](CPlayObject& o) { return o.SetIVSDrawType(type); });
}

int CPlayManager::CloseIVSTrack(void* handle)
{
    return Forward(handle, 0, [](CPlayObject& o) { return o.CloseIVSTrack(); });
}

int CPlayManager::GetPlayPort(void* handle)
{
    return Forward(handle, 502, [](CPlayObject& o) { return o.GetPlayPort(); });
}

void CPlayManager::SetPlayObjectListener(void* handle,
                                         const boost::shared_ptr<IPlayObjectListener>& listener)
{
    Forward(handle, 0, [&](CPlayObject& o) {
        o.SetListener(listener);
        return 1;
    });
}

void CPlayManager::SetDrawParam(void* handle, boost::shared_ptr<void> first,
                                boost::shared_ptr<void> second)
{
    Forward(handle, 0, [&](CPlayObject& o) {
        o.SetDrawParam(first, second);
        return 1;
    });
}
