#pragma once

#include "Platform/PlayModule/Engine/PlayClock.h"
#include "Platform/PlayModule/PlayModuleTypes.h"

#include <memory>
#include <mutex>
#include <vector>

namespace PLAY_MODULE {

class CPlayModule;

// Modules playing in step on one shared clock of absolute time. Made by
// make_shared: a member that ended keeps the group while it hands its place on.
class CGroupPlay : public std::enable_shared_from_this<CGroupPlay> {
public:
    CGroupPlay();
    ~CGroupPlay();
    CGroupPlay(const CGroupPlay&) = delete;
    CGroupPlay& operator=(const CGroupPlay&) = delete;

    bool Add(CPlayModule* member);
    bool Remove(CPlayModule* member);
    // The next file of a member that ended takes its place: it joins (from
    // its start) and the ended one leaves, ending its hold on the clock.
    // False when ended plays in this group no more.
    bool HandOver(CPlayModule* ended, CPlayModule* next);
    void RemoveAll();
    bool PlayForward();
    bool PlayBackward();
    bool Step(bool forward);
    bool SetSpeed(float speed);
    bool Pause();
    bool Resume();
    bool Seek(std::int64_t absMs);
    // Absolute time of the group in ms since 1970; -1 with no member.
    std::int64_t PlayingTimeMs() const;
    CPlayClock& Clock() { return *m_clock; }

private:
    std::vector<CPlayModule*> Members() const;
    bool IsMember(CPlayModule* module) const;
    // toMoment: a member standing elsewhere first goes to the group's moment.
    bool Join(CPlayModule* member, bool toMoment);
    void SetDirection(bool backward);
    void KeepClockWithinMembers();
    void AlignClockToFirst();

    mutable std::mutex m_mutex;
    std::shared_ptr<CPlayClock> m_clock;
    std::vector<CPlayModule*> m_members;
};

}  // namespace PLAY_MODULE
