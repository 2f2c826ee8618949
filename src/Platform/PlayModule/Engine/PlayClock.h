#pragma once

#include "Platform/PlayModule/Engine/TimeSource.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>

namespace PLAY_MODULE {

// Media time that runs with wall time at a speed, forward or backward, and
// can be paused. Shared by the members of a play group. Thread-safe.
class CPlayClock {
public:
    explicit CPlayClock(std::shared_ptr<ITimeSource> source = CSteadyTimeSource::Instance());

    void SetTimeSource(std::shared_ptr<ITimeSource> source);
    // Its source's wall time.
    std::int64_t WallUs() const;
    // Moves the clock to timeMs (keeps speed, direction and pause).
    void Set(std::int64_t timeMs);
    std::int64_t NowMs() const;
    void SetSpeed(double speed);
    double Speed() const;
    void SetBackward(bool backward);
    bool IsBackward() const;
    void Pause();
    void Resume();
    bool IsPaused() const;
    // Wall microseconds until the clock reaches timeMs (<= 0: due now),
    // within +-kPausedWait; kPausedWait while paused.
    std::int64_t UsUntil(std::int64_t timeMs) const;
    // Stands still for a holder (a group member whose next file is still to
    // join) until every holder released it, at most maxUs of wall time from
    // the first hold; a clock already past atMs goes back to it, the way
    // back counted in the bound. A holder the clock passed by more than the
    // bound is late and holds nothing. Set, Pause and a resume from a pause
    // end every hold.
    void Hold(const void* holder, std::int64_t maxUs, std::int64_t atMs);
    void ReleaseHold(const void* holder);
    bool IsHeld() const;

    static constexpr std::int64_t kPausedWait = 1'000'000'000;

private:
    std::int64_t NowLocked() const;
    void Rebase();
    void EndHolds();

    mutable std::mutex m_mutex;
    std::shared_ptr<ITimeSource> m_source;
    std::int64_t m_baseWallUs = 0;
    std::int64_t m_baseMediaMs = 0;
    double m_speed = 1.0;
    bool m_backward = false;
    bool m_paused = false;
    // Held: m_baseWallUs lies ahead, the media time stands until then.
    std::set<const void*> m_holders;
};

}  // namespace PLAY_MODULE
