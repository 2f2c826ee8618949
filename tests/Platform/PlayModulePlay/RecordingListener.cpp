#include "RecordingListener.h"

#include "Base/SFDateTime.h"
#include "Platform/PlayModule/PlayModule.h"

#include <thread>

namespace PlayModuleTest {

using namespace PLAY_MODULE;

void RecordingListener::OnFileRefFinished(CPlayModule*, int result)
{
    refResult = result;
    ++refFinished;
    m_changed.notify_all();
}

void RecordingListener::OnFileEnd(CPlayModule* module)
{
    lastEndBackward = module->GetEndDirection() == 1;
    if (onFileEnd)
        onFileEnd(module);
    ++fileEnds;
    m_changed.notify_all();
}

void RecordingListener::OnStreamData(CPlayModule*, unsigned char*, int length, PM_FRAME_INFO* info,
                                     int)
{
    ++streamBlocks;
    streamBytes += length;
    if (info && info->nType == PM_FRAME_VIDEO_DATA)
        ++videoBlocks;
}

void RecordingListener::OnFrameVisible(CPlayModule* module, int kind, unsigned char* data,
                                       int size, PM_FRAME_INFO* info)
{
    ShownFrame frame;
    frame.kind = kind;
    frame.width = info->nWidth;
    frame.height = info->nHeight;
    frame.stampMs = info->nStampMs;
    frame.key = info->nKeyFrame;
    frame.videoBlocksRead = videoBlocks.load();
    const std::int64_t seconds = SF_SOFT_BASE::CSFDateTime::MakeTime(
        info->nYear, info->nMonth, info->nDay, info->nHour, info->nMinute, info->nSecond);
    frame.absMs = seconds * 1000 + info->nMillisecond;
    const std::size_t area = std::size_t(info->nWidth) * info->nHeight;
    if (data && std::size_t(size) >= area * 3 / 2) {
        frame.firstChroma = data[area + 8];
        frame.secondChroma = data[area * 5 / 4 + 8];
        frame.numberBlock = data[std::size_t(info->nWidth) * 4 + 4];
    }
    {
        std::lock_guard lock(m_mutex);
        m_frames.push_back(frame);
        lastPicture.assign(data, data + size);
    }
    m_changed.notify_all();
    insideFrame = true;
    if (blockFrames)
        releases += module->WaitForFrameRelease(&drawn);
    insideFrame = false;
}

void RecordingListener::OnFileTimeDone(CPlayModule*, unsigned start, unsigned end)
{
    reportedStart = start;
    reportedEnd = end;
    ++timeReports;
    m_changed.notify_all();
}

int RecordingListener::OnOverlayData(CPlayModule*, unsigned char*, int, int, int, int)
{
    ++overlayBlocks;
    return 1;
}

std::vector<ShownFrame> RecordingListener::Frames() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

ShownFrame RecordingListener::LastFrame() const
{
    std::lock_guard lock(m_mutex);
    return m_frames.empty() ? ShownFrame{} : m_frames.back();
}

std::size_t RecordingListener::FrameCount() const
{
    std::lock_guard lock(m_mutex);
    return m_frames.size();
}

void RecordingListener::ClearFrames()
{
    std::lock_guard lock(m_mutex);
    m_frames.clear();
}

bool RecordingListener::WaitFor(const std::function<bool()>& condition,
                                std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool RecordingListener::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout)
{
    return WaitFor([&] { return FrameCount() >= count; }, timeout);
}

bool RecordingListener::WaitForFrameAt(std::int64_t stampMs, std::size_t from,
                                       std::chrono::milliseconds timeout)
{
    return WaitFor(
        [&] {
            const auto frames = Frames();
            for (std::size_t i = from; i < frames.size(); ++i)
                if (frames[i].stampMs == stampMs)
                    return true;
            return false;
        },
        timeout);
}

bool RecordingListener::WaitUntilQuiet(std::chrono::milliseconds quiet,
                                       std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t count = FrameCount();
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(quiet);
        const std::size_t now = FrameCount();
        if (now == count)
            return true;
        count = now;
    }
    return false;
}

bool RecordingListener::WaitForEnd(int ends, std::chrono::milliseconds timeout)
{
    return WaitFor([&] { return fileEnds >= ends; }, timeout);
}

}  // namespace PlayModuleTest
