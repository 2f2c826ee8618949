#include "Platform/PlayModule/Engine/FrameTimeline.h"

#include <algorithm>

namespace PLAY_MODULE {

namespace {

// A stamp this far outside the file, or this far from the frame before, is
// damage: no wait on it lasts longer.
constexpr std::int64_t kMaxGapMs = 10'000;
// The most a stamp may lie after the frame before it without the next
// frame bearing it out.
constexpr std::int64_t kMaxStepMs = 1'000;

}  // namespace

void CFrameTimeline::Restart(std::int64_t fromMs)
{
    m_restartMs = fromMs;
    m_placed = 0;
    m_lastMs.reset();
    m_lastSaneMs.reset();
    m_lastStampMs.reset();
}

std::int64_t CFrameTimeline::Place(std::optional<std::int64_t> stampMs, std::int64_t frameMs)
{
    const bool sane = stampMs && Sane(*stampMs, frameMs);
    const std::int64_t timeMs = sane ? *stampMs : m_lastMs ? *m_lastMs + frameMs : m_restartMs;
    if (sane)
        m_lastSaneMs = timeMs;
    m_lastMs = timeMs;
    m_lastStampMs = stampMs;
    ++m_placed;
    return timeMs;
}

bool CFrameTimeline::InFile(std::int64_t stampMs) const
{
    return stampMs >= -kMaxGapMs && (m_durationMs <= 0 || stampMs <= m_durationMs + kMaxGapMs);
}

// Before the anchor, any stamp within the file; then later than the last
// sane stamp, and near the frame before: at most one
// frame back (a frame placed after it may have been given too late a time)
// and not much later; or just after the stamp before, which then was a gap
// in the recording (of at most kMaxGapMs).
bool CFrameTimeline::Sane(std::int64_t stampMs, std::int64_t frameMs) const
{
    if (!InFile(stampMs))
        return false;
    if (!m_lastSaneMs)
        return true;
    if (stampMs <= *m_lastSaneMs)
        return false;
    const std::int64_t reachMs = std::max(kMaxStepMs, 2 * frameMs);
    const bool nearLast = stampMs >= *m_lastMs - frameMs && stampMs <= *m_lastMs + reachMs;
    const bool followsStamp = m_lastStampMs && stampMs > *m_lastStampMs &&
                              stampMs <= *m_lastStampMs + reachMs && stampMs <= *m_lastMs + kMaxGapMs;
    return nearLast || followsStamp;
}

}  // namespace PLAY_MODULE
