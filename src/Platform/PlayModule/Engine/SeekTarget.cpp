#include "Platform/PlayModule/Engine/SeekTarget.h"

namespace PLAY_MODULE {

void CSeekTarget::DropEndingBy(std::int64_t timeMs)
{
    Clear();
    m_untilMs = timeMs;
    m_inclusive = false;
}

void CSeekTarget::DropThrough(std::int64_t timeMs)
{
    Clear();
    m_untilMs = timeMs;
    m_inclusive = true;
}

void CSeekTarget::Clear()
{
    m_untilMs = INT64_MIN;
    m_lastDropped.reset();
}

bool CSeekTarget::Drops(std::int64_t timeMs, std::int64_t durationMs) const
{
    if (m_untilMs == INT64_MIN)
        return false;
    if (m_inclusive)
        return timeMs <= m_untilMs;
    return timeMs + durationMs <= m_untilMs;
}

AVFramePtr CSeekTarget::Pass(AVFramePtr frame, std::int64_t timeMs, std::int64_t durationMs,
                             AVFramePtr& held)
{
    if (Drops(timeMs, durationMs)) {
        if (!m_inclusive)
            m_lastDropped = std::move(frame);
        return nullptr;
    }
    // A duration rounded to whole ms may end a frame before the next begins:
    // a target between them still lies in the dropped one.
    const bool startsLater = timeMs > m_untilMs;
    AVFramePtr lastDropped = std::move(m_lastDropped);
    Clear();
    if (lastDropped && startsLater) {
        held = std::move(frame);
        return lastDropped;
    }
    return frame;
}

AVFramePtr CSeekTarget::Finish()
{
    AVFramePtr lastDropped = std::move(m_lastDropped);
    Clear();
    return lastDropped;
}

}  // namespace PLAY_MODULE
