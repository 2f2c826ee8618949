#include "Platform/PlayModule/Engine/GroupReplay.h"

#include "Platform/PlayModule/Engine/StreamDecoder.h"

namespace PLAY_MODULE {

namespace {

// Frames due at once in a row that show a stream is played faster than
// real time (at 1X only the first frame after a start is).
constexpr int kDueInRow = 2;
// The most packets kept: a one-thread decoder shows its frames long before.
constexpr std::size_t kMaxKept = 16;

}  // namespace

void CGroupReplay::Start(const CFrameTimeline& timeline)
{
    Stop();
    m_timeline = timeline;
    m_active = true;
}

void CGroupReplay::Keep(const AVPacket& packet, std::int64_t timeMs, bool hasPts)
{
    if (!m_active)
        return;
    AVPacketPtr copy(av_packet_alloc());
    if (m_kept.size() >= kMaxKept || !copy || av_packet_ref(copy.get(), &packet) < 0) {
        Stop();
        return;
    }
    m_kept.push_back({std::move(copy), timeMs, hasPts});
}

bool CGroupReplay::Shown(bool dueAtOnce)
{
    if (!m_active)
        return false;
    if (!dueAtOnce) {
        Stop();
        return false;
    }
    return ++m_dueInRow >= kDueInRow;
}

void CGroupReplay::Resend(CStreamDecoder& decoder, const std::function<void()>& taken)
{
    for (Kept& kept : m_kept) {
        decoder.Send(kept.packet.get(), kept.timeMs, kept.hasPts);
        taken();
    }
}

void CGroupReplay::Stop()
{
    m_kept.clear();
    m_active = false;
    m_dueInRow = 0;
}

}  // namespace PLAY_MODULE
