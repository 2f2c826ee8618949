#include "Platform/PlayModule/PlayModule.h"

#include "Base/SFDateTime.h"
#include "Base/SFSignalStack.h"
#include "Platform/PlayModule/Output/DataRecorder.h"
#include "Platform/PlayModule/Source/KeyFrameIndex.h"
#include "Platform/PlayModule/Source/KeyFrameLookup.h"
#include "Platform/PlayModule/Engine/PlayEngine.h"
#include "Platform/PlayModule/Source/RecordingIndexScanner.h"
#include "Platform/PlayModule/Source/SharedKeyFrameIndex.h"

#include <algorithm>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

namespace PLAY_MODULE {

namespace {

// The index scan yields the processor to the decoding threads.
void LowerThreadPriority()
{
    constexpr int kIndexNice = 10;
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kIndexNice);
}

}  // namespace

// ---- index ----

void CPlayModule::StartIndex(const std::string& path, std::int64_t fileSize)
{
    m_indexOrigin = 0;
    m_cancelScan = false;
    std::optional<CKeyFrameIndex> given;
    if (!m_refValue.empty())
        given = CKeyFrameIndex::FromBytes(m_refValue);
    m_refValue.clear();
    if (given && given->fileSize == std::uint64_t(fileSize) && !given->entries.empty()) {
        m_index->Set(std::make_shared<const CKeyFrameIndex>(std::move(*given)));
        m_indexOrigin = 2;
        m_indexThread = std::thread([this] {
            SF_SOFT_BASE::SFEnsureSignalStack();
            if (m_listener && !m_cancelScan)
                m_listener->OnFileRefFinished(this, 1);
        });
        return;
    }
    m_indexThread = std::thread([this, path] {
        SF_SOFT_BASE::SFEnsureSignalStack();
        LowerThreadPriority();
        ScanIndex(path);
    });
}

void CPlayModule::ScanIndex(std::string path)
{
    auto index = std::make_shared<CKeyFrameIndex>();
    const bool scanned = ScanRecordingIndex(path, *index, &m_cancelScan) && !m_cancelScan;
    if (scanned) {
        m_index->Set(index);
        m_indexOrigin = 1;
    }
    if (m_listener && !m_cancelScan)
        m_listener->OnFileRefFinished(this, scanned ? 1 : 0);
}

void CPlayModule::StopIndex()
{
    m_cancelScan = true;
    if (m_indexThread.joinable())
        m_indexThread.join();
}

int CPlayModule::GetIndexOrigin() const
{
    return m_indexOrigin.load();
}

int CPlayModule::GetRefValue(unsigned char* buffer, unsigned int* length)
{
    if (!length || !m_index)
        return 0;
    const auto index = m_index->Get();
    if (!index) {
        *length = 0;
        return 0;
    }
    const std::vector<std::uint8_t> bytes = index->ToBytes();
    const bool fits = buffer && *length >= bytes.size();
    if (fits)
        std::memcpy(buffer, bytes.data(), bytes.size());
    *length = unsigned(bytes.size());
    return fits ? 1 : 0;
}

int CPlayModule::SetRefValue(unsigned char* data, unsigned int length)
{
    if (!data || length == 0 || length > (64u << 20))
        return 0;
    if (!CKeyFrameIndex::FromBytes(std::span<const std::uint8_t>(data, length)))
        return 0;
    m_refValue.assign(data, data + length);
    return 1;
}

bool CPlayModule::KeyFrameAt(std::int64_t absMs, bool next, FRAME_POS& pos)
{
    const auto index = m_index ? m_index->Get() : nullptr;
    if (!index || index->entries.empty())
        return false;
    std::int64_t start;
    std::int64_t end;
    {
        std::lock_guard lock(m_mutex);
        start = m_hasTimes ? m_startAbsMs : 0;
        // Without file times the end counts from the file's start as well.
        end = m_endAbsMs;
    }
    // Entries of files without their own times count from the file's start.
    const std::int64_t offset = index->absoluteTimes ? 0 : start;
    const CKeyFrameIndex::Entry* key = PLAY_MODULE::KeyFrameAt(index->entries, absMs - offset, next);
    // Past the last key frame, the next one stands where the data ends.
    pos.nFilePos = key ? std::int64_t(key->position) : m_dataEnd;
    pos.nFrameTimeMs = key ? key->timeMs + offset : end;
    pos.nFrameTime = std::uint32_t(std::max<std::int64_t>(0, pos.nFrameTimeMs / 1000));
    return true;
}

int CPlayModule::GetKeyFramePos(unsigned int time, FRAME_POS* pos)
{
    return pos && KeyFrameAt(std::int64_t(time) * 1000, false, *pos) ? 1 : 0;
}

int CPlayModule::GetNextKeyFramePos(unsigned int time, FRAME_POS* pos)
{
    return pos && KeyFrameAt(std::int64_t(time) * 1000, true, *pos) ? 1 : 0;
}

namespace {

// Milliseconds since 1970 of a local time; -1 for one that is no time or
// lies before 1970. The first second of 1970 is a time (files without
// times of their own start there).
std::int64_t LocalMs(const _SYSTEMTIME& time)
{
    if (time.wYear < 1900 || time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 || time.wDay > 31 ||
        time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999)
        return -1;
    const std::int64_t seconds = SF_SOFT_BASE::CSFDateTime::MakeTime(
        time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
    return seconds >= 0 ? seconds * 1000 + time.wMilliseconds : -1;
}

}  // namespace

int CPlayModule::GetKeyFramePosByAbsTime(_SYSTEMTIME time, FRAME_POS& pos)
{
    const std::int64_t ms = LocalMs(time);
    return ms >= 0 && KeyFrameAt(ms, false, pos) ? 1 : 0;
}

int CPlayModule::GetNextKeyFramePosByAbsTime(_SYSTEMTIME time, FRAME_POS& pos)
{
    const std::int64_t ms = LocalMs(time);
    return ms >= 0 && KeyFrameAt(ms, true, pos) ? 1 : 0;
}

// ---- data recording ----

int CPlayModule::StartDataRecord(const char* path, int type)
{
    if (!path || type != 0 || !IsOpen() || m_recorder)
        return 0;
    std::int64_t start;
    {
        std::lock_guard lock(m_mutex);
        start = m_hasTimes ? m_startAbsMs : 0;
    }
    auto recorder = std::make_shared<CDataRecorder>();
    recorder->SetFailureReport([this](const std::string& keptPath, std::uint64_t, std::int64_t keptMs) {
        if (m_listener)
            m_listener->OnRecordFailed(this, keptPath, keptMs);
    });
    if (!recorder->Start(path, m_engine->VideoParameters(), m_engine->AudioParameters(),
                         m_engine->FrameRate(), start))
        return 0;
    m_recorder = std::move(recorder);
    m_engine->SetStreamTap(m_recorder);
    return 1;
}

int CPlayModule::StopDataRecord()
{
    if (!m_recorder)
        return 0;
    if (m_engine)
        m_engine->SetStreamTap(nullptr);
    const bool written = m_recorder->Stop();
    m_recorder.reset();
    return written ? 1 : 0;
}

// ---- overlays ----

int CPlayModule::OpenIVSTrack()
{
    if (!IsOpen())
        return 0;
    m_engine->EnableOverlays(true);
    return 1;
}

int CPlayModule::CloseIVSTrack()
{
    if (!IsOpen())
        return 0;
    m_engine->EnableOverlays(false);
    return 1;
}

}  // namespace PLAY_MODULE
