#include "Platform/PlayModule/Engine/GroupPlay.h"

#include "Platform/PlayModule/Engine/PlayEngine.h"
#include "Platform/PlayModule/PlayModule.h"

#include <algorithm>
#include <cstdlib>

namespace PLAY_MODULE {

CGroupPlay::CGroupPlay() : m_clock(std::make_shared<CPlayClock>())
{
    m_clock->Pause();
}

CGroupPlay::~CGroupPlay()
{
    RemoveAll();
}

std::vector<CPlayModule*> CGroupPlay::Members() const
{
    std::lock_guard lock(m_mutex);
    return m_members;
}

bool CGroupPlay::IsMember(CPlayModule* module) const
{
    std::lock_guard lock(m_mutex);
    return std::find(m_members.begin(), m_members.end(), module) != m_members.end();
}

bool CGroupPlay::Add(CPlayModule* member)
{
    return Join(member, true);
}

bool CGroupPlay::Join(CPlayModule* member, bool toMoment)
{
    CPlayEngine* engine = member->Engine();
    if (!engine)
        return false;
    std::int64_t groupMs;
    {
        std::lock_guard lock(m_mutex);
        if (std::find(m_members.begin(), m_members.end(), member) != m_members.end())
            return true;
        // A module plays in one group at a time: closing, it leaves only that one.
        if (!member->AttachGroup(this))
            return false;
        if (m_members.empty()) {
            m_clock->Set(member->GetCurrentPlayTimeMs());
            m_clock->SetBackward(engine->IsBackward());
            // The group runs as its first member does: paused ones keep it paused.
            if (engine->IsPaused())
                m_clock->Pause();
            else
                m_clock->Resume();
        }
        engine->SetBackward(m_clock->IsBackward());
        engine->SetSpeed(m_clock->Speed());
        engine->JoinClock(m_clock, engine->FileStartAbsMs());
        m_members.push_back(member);
        groupMs = m_clock->NowMs();
    }
    // A member that stands elsewhere joins at the group's moment instead of
    // racing through the frames in between.
    const std::int64_t frameMs = std::int64_t(1000.0 / std::max(1.0, engine->FrameRate()));
    if (toMoment && std::llabs(member->GetCurrentPlayTimeMs() - groupMs) > frameMs)
        engine->Seek(groupMs - engine->FileStartAbsMs(), true);
    return true;
}

bool CGroupPlay::Remove(CPlayModule* member)
{
    std::lock_guard lock(m_mutex);
    auto it = std::find(m_members.begin(), m_members.end(), member);
    if (it == m_members.end())
        return false;
    m_members.erase(it);
    member->DetachGroup(this);
    if (CPlayEngine* engine = member->Engine())
        engine->LeaveClock();
    return true;
}

bool CGroupPlay::HandOver(CPlayModule* ended, CPlayModule* next)
{
    // A file readied for one direction cannot follow in the other.
    const CPlayEngine* engine = next->Engine();
    if (!engine || engine->IsBackward() != m_clock->IsBackward() || !IsMember(ended))
        return false;
    // Its first frame shows at once; behind the group's moment it catches
    // up as a late member does, instead of holding the others for a seek.
    if (!Join(next, false))
        return false;
    Remove(ended);
    return true;
}

void CGroupPlay::RemoveAll()
{
    for (CPlayModule* member : Members())
        Remove(member);
}

// Past the members' files (their start reached backward, their end forward)
// the clock runs on alone: a turn goes on from the frames they show.
void CGroupPlay::KeepClockWithinMembers()
{
    std::int64_t first = INT64_MAX;
    std::int64_t last = INT64_MIN;
    for (CPlayModule* member : Members())
        if (CPlayEngine* engine = member->Engine()) {
            first = std::min(first, engine->FileStartAbsMs());
            last = std::max(last, engine->FileStartAbsMs() + engine->DurationMs());
        }
    const std::int64_t now = m_clock->NowMs();
    if (first <= last && (now < first || now > last))
        m_clock->Set(std::clamp(now, first, last));
}

void CGroupPlay::SetDirection(bool backward)
{
    KeepClockWithinMembers();
    m_clock->SetBackward(backward);
    for (CPlayModule* member : Members())
        if (CPlayEngine* engine = member->Engine())
            engine->SetBackward(backward);
}

bool CGroupPlay::PlayForward()
{
    SetDirection(false);
    return true;
}

bool CGroupPlay::PlayBackward()
{
    SetDirection(true);
    return true;
}

bool CGroupPlay::Step(bool forward)
{
    m_clock->Pause();
    const auto members = Members();
    for (CPlayModule* member : members)
        if (CPlayEngine* engine = member->Engine())
            engine->Step(forward);
    // The paused moment moves with the step, so a later pause keeps it.
    AlignClockToFirst();
    return !members.empty();
}

bool CGroupPlay::SetSpeed(float speed)
{
    if (!(speed >= 1.0f / 64 && speed <= 64.0f))
        return false;
    m_clock->SetSpeed(speed);
    for (CPlayModule* member : Members())
        if (CPlayEngine* engine = member->Engine())
            engine->SetSpeed(speed);
    return true;
}

// The clock stops first: every member then settles on the frame of the one
// paused moment (a member that lagged catches up on its own thread).
bool CGroupPlay::Pause()
{
    m_clock->Pause();
    for (CPlayModule* member : Members())
        if (CPlayEngine* engine = member->Engine())
            engine->Pause();
    return true;
}

void CGroupPlay::AlignClockToFirst()
{
    const auto members = Members();
    if (!members.empty())
        m_clock->Set(members.front()->GetCurrentPlayTimeMs());
}

bool CGroupPlay::Resume()
{
    for (CPlayModule* member : Members())
        if (CPlayEngine* engine = member->Engine())
            engine->Resume();
    m_clock->Resume();
    return true;
}

bool CGroupPlay::Seek(std::int64_t absMs)
{
    m_clock->Set(absMs);
    const auto members = Members();
    for (CPlayModule* member : members)
        if (CPlayEngine* engine = member->Engine())
            engine->Seek(absMs - engine->FileStartAbsMs(), true);
    return !members.empty();
}

std::int64_t CGroupPlay::PlayingTimeMs() const
{
    std::lock_guard lock(m_mutex);
    return m_members.empty() ? -1 : m_clock->NowMs();
}

}  // namespace PLAY_MODULE
