#include "Main/PlayManagerPlayLogic.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include <QDebug>

#include "Base/PostTask.h"
#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/IndexFileStore.h"
#include "Main/NextFileReadier.h"
#include "Main/PlayManagerUILogic.h"
#include "PlayManager/IPlayObjectListener.h"
#include "PlayManager/PlayHandle.h"
#include "PlayManager/PlayObject.h"
#include "PlayManager/RecordingOpener.h"
#include "Main/MainLog.h"

using LumivexBase::ML_MAIN;
using SF_SOFT_BASE::WideToUtf8;

namespace {

constexpr unsigned int kMaxDurationSeconds = 356400;  // 99 hours
constexpr int kPlayRetries = 5;
// How long a window's change of file waits for its next file still opening ahead.
constexpr int kReadiedOpenWaitMs = 3000;

}  // namespace

CPlayManagerPlayLogic::CPlayManagerPlayLogic(boost::weak_ptr<CPlayManagerUILogic> uiLogic, CPlayBackends backends)
    : m_playManager(CPlayManager::Create(std::move(backends))),
      m_uiLogic(std::move(uiLogic)),
      m_readier(std::make_unique<CNextFileReadier>(m_playManager)),
      m_overlayFlags(CConfigManager::GetInstance()->ShowTrace)
{
}

CPlayManagerPlayLogic::~CPlayManagerPlayLogic()
{
    m_readier.reset();
    m_playTable.clear();
    m_asleep.clear();
}

template <class Method, class... Args>
void CPlayManagerPlayLogic::Answer(Method method, const char* name, Args&&... args)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    if (!ui)
        return;
    LumivexBase::PostTaskToLoop(ML_MAIN, LumivexBase::MakeTask(method, ui, std::forward<Args>(args)...),
                                __FILE__, __LINE__, name, "CPlayManagerPlayLogic");
}

bool CPlayManagerPlayLogic::IsNormalSpeed() const
{
    return std::fabs(m_speed - 1.0f) <= 0.0001f;
}

int CPlayManagerPlayLogic::PlayInDirection(void* handle)
{
    auto it = m_playTable.find(handle);
    if (it != m_playTable.end() && it->second.directionMark == 0)
        return m_playManager->PlayBackward(handle);
    return m_playManager->PlayForward(handle);
}

bool CPlayManagerPlayLogic::WindowHasOpenFile(int window) const
{
    for (const auto& entry : m_playTable)
        if (entry.second.window == window)
            return true;
    return false;
}

void* CPlayManagerPlayLogic::AdoptReadiedFile(void* handle)
{
    boost::shared_ptr<CPlayObject> readied = m_readier->Take(handle, kReadiedOpenWaitMs);
    return readied && m_playManager->AdoptPlayObject(readied) ? handle : nullptr;
}

void* CPlayManagerPlayLogic::OpenFile(const _QUERY_FILE_INFO& record, void* wanted, bool* adopted)
{
    if (wanted && AdoptReadiedFile(wanted)) {
        if (adopted)
            *adopted = true;
        return wanted;
    }
    return OpenRecording(*m_playManager, PlayTypeOfFileType(record.fileType), wanted, m_fileListener.lock(),
                         record.path);
}

bool CPlayManagerPlayLogic::PlayOpenedFile(void* handle, const _QUERY_FILE_INFO& record)
{
    if (!m_playManager->Play(handle, nullptr)) {
        CloseRecording(*m_playManager, handle);
        return false;
    }
    KeepOpenedFile(handle, record);
    return true;
}

void CPlayManagerPlayLogic::KeepOpenedFile(void* handle, const _QUERY_FILE_INFO& record)
{
    m_playTable[handle] = record;
    if (m_overlayFlags)
        m_playManager->OpenIVSTrack(handle, m_overlayFlags);
    m_playManager->SetSpeed(handle, m_speed);
}

void* CPlayManagerPlayLogic::OpenAndPlay(const _QUERY_FILE_INFO& record, void* wanted)
{
    void* handle = OpenFile(record, wanted);
    return handle && PlayOpenedFile(handle, record) ? handle : nullptr;
}

// Its first frame decoded, the file waits on a stopped clock: the windows
// of a day start together when the group forms, none ahead of the others.
void* CPlayManagerPlayLogic::OpenToStand(const _QUERY_FILE_INFO& record)
{
    void* handle = OpenFile(record, nullptr);
    if (!handle)
        return nullptr;
    boost::shared_ptr<CPlayObject> object = m_playManager->GetSptrPlayObject(handle);
    if (!object || !object->Preroll())
        return PlayOpenedFile(handle, record) ? handle : nullptr;
    KeepOpenedFile(handle, record);
    m_standing.insert(handle);
    return handle;
}

void CPlayManagerPlayLogic::PlayStandingFile(void* handle)
{
    if (m_standing.erase(handle))
        m_playManager->Play(handle, nullptr);
}

int CPlayManagerPlayLogic::Task_PlayOneFile(std::wstring, const boost::shared_ptr<IPlayObjectListener>& listener,
                                            boost::shared_ptr<_QUERY_FILE_INFO> record, int syncPlay)
{
    m_fileListener = listener;
    void* handle = nullptr;
    if (WindowHasOpenFile(record->window)) {
        // A file behind a shown one: only its record until a window needs it.
        handle = NewPlayHandle();
        m_asleep[handle] = *record;
    } else if (syncPlay == 1 && record->queryType == QUERY_FILEPATH_DAY) {
        handle = OpenToStand(*record);
    } else {
        handle = OpenAndPlay(*record, nullptr);
    }
    const int result = handle ? 1 : 0;
    Answer(&CPlayManagerUILogic::Task_PlayOneFile_Ret, "&CPlayManagerUILogic::Task_PlayOneFile_Ret", result,
           handle, record);
    return result;
}

int CPlayManagerPlayLogic::Task_WakeFile(void* handle, unsigned int time)
{
    auto it = m_asleep.find(handle);
    if (it == m_asleep.end())
        return 1;
    const _QUERY_FILE_INFO record = it->second;
    m_asleep.erase(it);
    const bool readied = m_readier->Readying(handle) != nullptr;
    const bool readiedBackward = m_readier->ReadiedBackward(handle);
    bool adopted = false;
    const int woken =
        OpenFile(record, handle, &adopted) && StartWokenFile(handle, record, time, adopted && readiedBackward)
            ? 1
            : 0;
    if (woken)
        m_wokenAtStart[handle] = readied && time == 0;
    else
        m_asleep[handle] = record;
    Answer(&CPlayManagerUILogic::Task_WakeFile_Ret, "&CPlayManagerUILogic::Task_WakeFile_Ret", handle, woken);
    return woken;
}

// A file plays from where it is needed, never first from its start: played
// backward a start ends at once, and the end would move its window on. One
// readied backward stands at its end already, its last group decoded.
void CPlayManagerPlayLogic::PlaceWokenFile(void* handle, const _QUERY_FILE_INFO& record, unsigned int time,
                                           bool standsAtEnd)
{
    if (time)
        m_playManager->SeekByTime(handle, time);
    else if (record.directionMark == 0 && !standsAtEnd)
        m_playManager->SeekByPercent(handle, 100.0f);
    if (record.directionMark == 0)
        m_playManager->PlayBackward(handle);
}

bool CPlayManagerPlayLogic::StartWokenFile(void* handle, const _QUERY_FILE_INFO& record, unsigned int time,
                                           bool standsAtEnd)
{
    PlaceWokenFile(handle, record, time, standsAtEnd);
    if (time && HasGroup()) {
        // The group still stands at its old moment, in another file.
        KeepOpenedFile(handle, record);
        m_wokenForSeek.push_back(handle);
        return true;
    }
    if (!PlayOpenedFile(handle, record))
        return false;
    if (HasGroup())
        m_playManager->GroupPlay_AddToPlayGroup(m_group, handle);
    return true;
}

void CPlayManagerPlayLogic::PlayFilesWokenForSeek()
{
    std::vector<void*> woken;
    woken.swap(m_wokenForSeek);
    for (void* handle : woken) {
        if (!m_playTable.count(handle))
            continue;
        if (HasGroup())
            m_playManager->GroupPlay_AddToPlayGroup(m_group, handle);
        m_playManager->Play(handle, nullptr);
    }
}

void CPlayManagerPlayLogic::StopPlayObject(void* handle)
{
    if (HasGroup())
        m_playManager->GroupPlay_DelFromPlayGroup(m_group, handle);
    if (m_overlayFlags)
        m_playManager->CloseIVSTrack(handle);
    m_playManager->StopDataRecord(handle);
    m_playManager->CloseAudio(handle);
    m_playManager->Stop(handle);
}

int CPlayManagerPlayLogic::Task_SleepFile(void* handle)
{
    auto it = m_playTable.find(handle);
    if (it == m_playTable.end())
        return 0;
    m_asleep[handle] = it->second;
    m_playTable.erase(it);
    m_wokenAtStart.erase(handle);
    m_standing.erase(handle);
    StopPlayObject(handle);
    CloseRecording(*m_playManager, handle);
    return 1;
}

int CPlayManagerPlayLogic::Task_CloseFiles(PlayHandleList handles)
{
    qCDebug(lcMain, "Task_CloseFiles begin");
    for (void* handle : *handles)
        if (m_playTable.count(handle))
            StopPlayObject(handle);
    for (void* handle : *handles) {
        int closed = 1;
        if (m_playTable.erase(handle)) {
            closed = m_playManager->Close(handle) & 1;
            m_playManager->DestroyPlayObject(handle);
        }
        m_asleep.erase(handle);
        m_readier->Drop(handle);
        m_wokenAtStart.erase(handle);
        m_standing.erase(handle);
        Answer(&CPlayManagerUILogic::Task_CloseFiles_Ret, "&CPlayManagerUILogic::Task_CloseFiles_Ret", handle,
               closed);
    }
    if (m_playTable.empty() && HasGroup()) {
        m_playManager->SetGroupPlayFlag(0);
        m_playManager->GroupPlay_Close(m_group);
        m_groupFlag = 0;
    }
    qCDebug(lcMain, "Task_CloseFiles end");
    return 1;
}

int CPlayManagerPlayLogic::Task_Pause(PlayHandleList handles, int pause)
{
    if (pause)
        PauseReadiedFiles(*handles);
    int result = 1;
    for (void* handle : *handles) {
        if (!m_playTable.count(handle))
            continue;
        if (pause) {
            result &= m_playManager->Pause(handle);
        } else {
            PlayStandingFile(handle);
            result &= m_playManager->Resume(handle);
            PlayInDirection(handle);
        }
    }
    Answer(&CPlayManagerUILogic::Task_Pause_Ret, "&CPlayManagerUILogic::Task_Pause_Ret", result, pause);
    return result;
}

int CPlayManagerPlayLogic::Task_GroupPause(int pause)
{
    int result = 1;
    if (HasGroup())
        result = (pause ? m_playManager->GroupPlay_Pause(m_group) : m_playManager->GroupPlay_Resume(m_group)) & 1;
    Answer(&CPlayManagerUILogic::Task_Pause_Ret, "&CPlayManagerUILogic::Task_Pause_Ret", result, pause);
    return result;
}

int CPlayManagerPlayLogic::Task_SetPlaySpeed(PlayHandleList, float speed)
{
    m_speed = speed;
    for (auto& [handle, record] : m_playTable) {
        if (!IsNormalSpeed()) {
            m_playManager->CloseAudio(handle);
            m_playManager->StopDataRecord(handle);
        }
        m_playManager->SetSpeed(handle, speed);
    }
    return 1;
}

int CPlayManagerPlayLogic::Task_GroupPlaySpeed(float speed)
{
    m_speed = speed;
    if (!HasGroup())
        return 0;
    m_playManager->GroupPlay_SetPlaySpeed(m_group, speed);
    return 1;
}

int CPlayManagerPlayLogic::Task_SetPlayDirection(PlayHandleList handles, int forward)
{
    PlayHandleList failed(new std::list<void*>);
    for (void* handle : *handles) {
        if (auto asleep = m_asleep.find(handle); asleep != m_asleep.end())
            asleep->second.directionMark = forward;
        auto it = m_playTable.find(handle);
        if (it == m_playTable.end())
            continue;
        it->second.directionMark = forward;
        if (forward) {
            m_playManager->PlayForward(handle);
            continue;
        }
        m_playManager->StopDataRecord(handle);
        if (!m_playManager->PlayBackward(handle)) {
            it->second.directionMark = 1;
            failed->push_back(handle);
        }
    }
    if (!failed->empty() && !forward)
        Answer(&CPlayManagerUILogic::Task_SetPlayDirection_FailedRet,
               "&CPlayManagerUILogic::Task_SetPlayDirection_FailedRet", failed, 0);
    return 1;
}

int CPlayManagerPlayLogic::Task_GroupPlayDirection(int forward)
{
    for (auto& entry : m_playTable)
        entry.second.directionMark = forward;
    for (auto& entry : m_asleep)
        entry.second.directionMark = forward;
    if (!HasGroup())
        return 0;
    if (forward)
        m_playManager->GroupPlay_PlayForward(m_group);
    else
        m_playManager->GroupPlay_PlayBackward(m_group);
    return 1;
}

int CPlayManagerPlayLogic::Task_OneStepPlay(PlayHandleList handles, int forward)
{
    for (void* handle : *handles) {
        if (forward)
            m_playManager->StepForward(handle);
        else
            m_playManager->StepBackward(handle);
    }
    return 1;
}

int CPlayManagerPlayLogic::Task_Seek(void* handle, unsigned int time)
{
    m_wokenAtStart.erase(handle);
    m_playManager->SeekByTime(handle, time);
    PlayInDirection(handle);
    return 1;
}

int CPlayManagerPlayLogic::Task_GroupSeek(unsigned int time)
{
    m_wokenAtStart.clear();
    const int result = HasGroup() ? m_playManager->GroupPlay_Seek(m_group, time) : 0;
    PlayFilesWokenForSeek();
    return result;
}

int CPlayManagerPlayLogic::Task_SeekRelativePos(void* handle, float percent)
{
    if (!m_playTable.count(handle))
        return 0;
    if (SkipsSeekToStart(handle, percent))
        return 1;
    // Retrying the play only helps once the seek itself went through.
    if (!(m_playManager->SeekByPercent(handle, percent) & 1))
        return 0;
    int ok = PlayInDirection(handle) ? 1 : 0;
    for (int retry = 0; !ok && retry < kPlayRetries; ++retry) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ok = PlayInDirection(handle) ? 1 : 0;
    }
    return ok;
}

bool CPlayManagerPlayLogic::SkipsSeekToStart(void* handle, float percent)
{
    // Seeking again would show its first frames twice (a readied file may
    // have started on its own already) and keep the loop from the other
    // windows' changes. Backward, waking stood the file at its end: a seek
    // near the end would skip its last frames.
    auto woken = m_wokenAtStart.find(handle);
    if (woken == m_wokenAtStart.end())
        return false;
    const bool readied = woken->second;
    m_wokenAtStart.erase(woken);
    auto played = m_playTable.find(handle);
    if (played != m_playTable.end() && played->second.directionMark == 0)
        return percent >= 99.0f;
    return percent == 0.0f && (readied || m_playManager->GetFilePlayedTime(handle) == 0);
}

void CPlayManagerPlayLogic::LinkWindowToNext(int window, void* next)
{
    boost::shared_ptr<CPlayObject> chained = next ? m_readier->Readying(next) : nullptr;
    for (const auto& [handle, record] : m_playTable) {
        if (record.window != window)
            continue;
        m_playManager->HoldGroupAtEnd(handle, next ? 1 : 0);
        m_playManager->SetNextFile(handle, chained);
    }
}

void CPlayManagerPlayLogic::PauseReadiedFiles(const std::list<void*>& handles)
{
    for (void* handle : handles) {
        auto it = m_playTable.find(handle);
        boost::shared_ptr<CPlayObject> readied =
            it == m_playTable.end() ? nullptr : m_readier->Readying(m_readier->HandleOfWindow(it->second.window));
        if (readied)
            readied->Pause();
    }
}

int CPlayManagerPlayLogic::Task_ReadyFile(int window, void* handle, int forward)
{
    auto asleep = handle ? m_asleep.find(handle) : m_asleep.end();
    if (asleep == m_asleep.end() || asleep->second.window != window) {
        LinkWindowToNext(window, nullptr);
        m_readier->DropWindow(window);
        return 0;
    }
    if (m_readier->HandleOfWindow(window) != handle)
        m_readier->Ready(handle, asleep->second, forward != 0, m_fileListener.lock());
    LinkWindowToNext(window, handle);
    return 1;
}

int CPlayManagerPlayLogic::Task_GroupSyn(PlayHandleList handles, int on, boost::shared_ptr<IPlayObjectListener> listener)
{
    if (!m_group) {
        m_group = m_playManager->CreateGroupPlayObject();
        m_playManager->SetListener(listener);
    }
    if (handles->empty() || !m_playTable.count(handles->front()))
        return 0;
    // Without a group to start them, standing files play on their own.
    if (on != 1)
        for (void* handle : *handles)
            PlayStandingFile(handle);
    if (on == 0 && m_groupFlag == 1) {
        m_playManager->SetGroupPlayFlag(0);
        m_groupFlag = 0;
        for (void* handle : *handles)
            m_playManager->GroupPlay_DelFromPlayGroup(m_group, handle);
        m_playManager->GroupPlay_Close(m_group);
    } else if (on == 1) {
        m_playManager->GroupPlay_Open(m_group);
        m_groupFlag = 1;
        // A standing file starts on the group's clock.
        for (void* handle : *handles) {
            if (m_playManager->GroupPlay_AddToPlayGroup(m_group, handle))
                m_standing.erase(handle);
            else
                PlayStandingFile(handle);
        }
        m_playManager->SetGroupPlayFlag(1);
        m_playManager->GroupPlay_SetPlaySpeed(m_group, m_speed);
    }
    return 1;
}

int CPlayManagerPlayLogic::Task_OpenAudio(void* handle)
{
    // Sound plays at normal speed only.
    if (m_mute == 1 || !IsNormalSpeed())
        return 0;
    m_playManager->OpenAudio(handle);
    m_playManager->AdjustWaveAudio(handle, m_volume);
    return 0;
}

int CPlayManagerPlayLogic::Task_CloseAudio(void* handle)
{
    m_playManager->CloseAudio(handle);
    return 0;
}

int CPlayManagerPlayLogic::Task_SetPlayVolume(PlayHandleList, int level)
{
    m_volume = level;
    if (m_mute == 0)
        for (auto& entry : m_playTable)
            m_playManager->AdjustWaveAudio(entry.first, level);
    return 1;
}

int CPlayManagerPlayLogic::Task_MutePlay(PlayHandleList handles, int mute)
{
    if (mute == m_mute)
        return 0;
    m_mute = mute;
    for (void* handle : *handles) {
        if (mute == 0 && IsNormalSpeed()) {
            m_playManager->OpenAudio(handle);
            m_playManager->AdjustWaveAudio(handle, m_volume);
        } else {
            m_playManager->CloseAudio(handle);
        }
    }
    return 1;
}

int CPlayManagerPlayLogic::Task_SnapPicure(void* handle, std::wstring path, PLAY_MODULE::PM_IMAGE_TYPE type)
{
    const int result = m_playManager->SnapPicture(handle, WideToUtf8(path).c_str(), type) == 1 ? 1 : 0;
    Answer(&CPlayManagerUILogic::Task_SnapPicure_Ret, "&CPlayManagerUILogic::Task_SnapPicure_Ret", result);
    return result;
}

int CPlayManagerPlayLogic::Task_StartRecord(void* handle, std::wstring path, int recordType, int window)
{
    int result = RECORD_REFUSED;
    auto it = m_playTable.find(handle);
    const bool backward = it != m_playTable.end() && it->second.directionMark == 0;
    if (IsNormalSpeed() && !backward)
        result = m_playManager->StartDataRecord(handle, WideToUtf8(path).c_str(), recordType) & 1;
    Answer(&CPlayManagerUILogic::Task_StartRecord_Ret, "&CPlayManagerUILogic::Task_StartRecord_Ret", result,
           window);
    return result;
}

int CPlayManagerPlayLogic::Task_StopRecord(void* handle, int window)
{
    const int stopped = m_playManager->StopDataRecord(handle) & 1;
    Answer(&CPlayManagerUILogic::Task_StopRecord_Ret, "&CPlayManagerUILogic::Task_StopRecord_Ret", stopped,
           window);
    return stopped;
}

void CPlayManagerPlayLogic::Task_SaveRef(void* handle, std::wstring recordingPath)
{
    // A readied file's index is saved before it is shown, not at its boundary.
    boost::shared_ptr<CPlayObject> object =
        m_playTable.count(handle) ? m_playManager->GetSptrPlayObject(handle) : m_readier->Opened(handle);
    if (!object)
        return;
    unsigned int size = 0;
    object->GetRefValue(nullptr, &size);
    if (size == 0 || IsIndexFileValid(recordingPath))
        return;
    std::vector<unsigned char> buffer(size);
    if (object->GetRefValue(buffer.data(), &size) && size > 0 && size <= buffer.size())
        SaveIndexFile(buffer.data(), size, recordingPath);
}

std::wstring CPlayManagerPlayLogic::FormatDuration(unsigned int start, unsigned int end)
{
    unsigned int seconds = end >= start ? end - start : 0;
    if (seconds > kMaxDurationSeconds)
        seconds = 0;
    wchar_t text[10];
    std::swprintf(text, 10, L"%0.2d:%0.2d:%0.2d", int(seconds / 3600), int(seconds % 3600 / 60), int(seconds % 60));
    return text;
}

int CPlayManagerPlayLogic::Task_GetVideoInfo(void* handle)
{
    PLAY_MODULE::MEDIA_INFO info;
    const int ok = m_playManager->GetMediaInfo(handle, &info) & 1;
    const unsigned int start = m_playManager->GetFileStartTime(handle);
    const unsigned int end = m_playManager->GetFileEndTime(handle);
    if (ok != 1)
        return 0;
    // A file without absolute times still knows its length.
    const std::wstring duration = start == 0 && end == 0 ? FormatDuration(0, info.nDurationMs / 1000)
                                                         : FormatDuration(start, end);
    Answer(&CPlayManagerUILogic::Task_GetVideoInfo_Ret, "&CPlayManagerUILogic::Task_GetVideoInfo_Ret", handle,
           std::to_wstring(info.nWidth) + L"*" + std::to_wstring(info.nHeight),
           std::to_wstring(info.nFrameRate) + L" fps", duration);
    return 1;
}

void CPlayManagerPlayLogic::Task_ShowTrace(PlayHandleList handles, int flags)
{
    for (void* handle : *handles) {
        if (!handle)
            continue;
        if (flags == 0)
            m_playManager->CloseIVSTrack(handle);
        else if (m_overlayFlags == 0)
            m_playManager->OpenIVSTrack(handle, flags);
        else
            m_playManager->SetIVSDrawType(handle, flags);
    }
    m_overlayFlags = flags;
}
