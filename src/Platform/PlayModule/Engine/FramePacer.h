#pragma once

#include "Platform/PlayModule/Engine/PlayClock.h"

#include <chrono>
#include <cstdint>

namespace PLAY_MODULE {

// When a frame is due against the play clock and when a late one may go
// unshown. Holds no lock: the engine calls the clock readers with its own
// lock held, since a play group may swap the clock at any time.
class CFramePacer {
public:
    // Wall microseconds until a frame of clock time clockMs is due (<= 0:
    // due now). An own clock far behind at normal speed or slower is moved
    // to the frame instead of hurrying through the backlog.
    static std::int64_t UsUntilDue(CPlayClock& clock, bool ownsClock, std::int64_t clockMs);
    // How long one wait lasts, so that requests are seen while waiting.
    static std::chrono::microseconds WaitSlice(std::int64_t usUntilDue);
    // Late means behind by wall or media time while playing fast; in a group
    // at any speed, since a member keeps the group's moment.
    static bool IsLate(std::int64_t lateUs, double speed, bool grouped = false);
    // Above 1X a late frame also skips the decoding up to the next key frame;
    // at 1X and below the decoding goes on, so the moment's frame comes next.
    static bool SkipsToKeyFrame(double speed);
    // A group member this far behind goes to the group's moment at once.
    static bool IsFarBehind(std::int64_t lateUs);

    // A late frame may be dropped only while frames keep being shown.
    bool ShownRecently() const;
    void MarkShown();
    // The next frame is shown however late (the first one after a turn).
    void Forget();

private:
    std::int64_t m_lastShownUs = 0;
};

}  // namespace PLAY_MODULE
