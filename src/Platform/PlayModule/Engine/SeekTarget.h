#pragma once

#include "Platform/PlayModule/Engine/StreamDecoder.h"

#include <cstdint>

namespace PLAY_MODULE {

// The moment a seek decodes up to from the key frame before it: decoded
// frames before it are dropped, and the first frame passed is the one that
// holds the moment.
class CSeekTarget {
public:
    // Drops frames that end at or before timeMs; the last of them is shown
    // when the next starts after timeMs, or when no frame follows.
    void DropEndingBy(std::int64_t timeMs);
    // Drops frames at or before timeMs (play resumes after the shown one).
    void DropThrough(std::int64_t timeMs);
    void Clear();

    // Takes the decoded frames in order: null while they are dropped, else the
    // frame to show. A frame that comes after the one returned goes to held.
    AVFramePtr Pass(AVFramePtr frame, std::int64_t timeMs, std::int64_t durationMs,
                    AVFramePtr& held);
    // No frame follows: the last one dropped holds the moment, if any.
    AVFramePtr Finish();

private:
    bool Drops(std::int64_t timeMs, std::int64_t durationMs) const;

    std::int64_t m_untilMs = INT64_MIN;
    bool m_inclusive = false;
    AVFramePtr m_lastDropped;
};

}  // namespace PLAY_MODULE
