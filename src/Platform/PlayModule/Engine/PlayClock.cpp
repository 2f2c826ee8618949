#include "Platform/PlayModule/Engine/PlayClock.h"

#include <algorithm>

namespace PLAY_MODULE {

CPlayClock::CPlayClock(std::shared_ptr<ITimeSource> source) : m_source(std::move(source))
{
    m_baseWallUs = m_source->NowUs();
}

void CPlayClock::SetTimeSource(std::shared_ptr<ITimeSource> source)
{
    std::lock_guard lock(m_mutex);
    const std::int64_t now = NowLocked();
    m_source = std::move(source);
    m_baseWallUs = m_source->NowUs();
    m_baseMediaMs = now;
}

std::int64_t CPlayClock::WallUs() const
{
    std::lock_guard lock(m_mutex);
    return m_source->NowUs();
}

std::int64_t CPlayClock::NowLocked() const
{
    if (m_paused)
        return m_baseMediaMs;
    const double elapsedMs = double(std::max<std::int64_t>(0, m_source->NowUs() - m_baseWallUs)) / 1000.0 * m_speed;
    return m_baseMediaMs + std::int64_t(m_backward ? -elapsedMs : elapsedMs);
}

// A hold outlasts a rebase: its wall time stays ahead.
void CPlayClock::Rebase()
{
    m_baseMediaMs = NowLocked();
    m_baseWallUs = std::max(m_baseWallUs, m_source->NowUs());
}

void CPlayClock::Set(std::int64_t timeMs)
{
    std::lock_guard lock(m_mutex);
    m_holders.clear();
    m_baseMediaMs = timeMs;
    m_baseWallUs = m_source->NowUs();
}

std::int64_t CPlayClock::NowMs() const
{
    std::lock_guard lock(m_mutex);
    return NowLocked();
}

void CPlayClock::SetSpeed(double speed)
{
    std::lock_guard lock(m_mutex);
    Rebase();
    m_speed = std::clamp(speed, 1.0 / 64, 64.0);
}

double CPlayClock::Speed() const
{
    std::lock_guard lock(m_mutex);
    return m_speed;
}

void CPlayClock::SetBackward(bool backward)
{
    std::lock_guard lock(m_mutex);
    Rebase();
    m_backward = backward;
}

bool CPlayClock::IsBackward() const
{
    std::lock_guard lock(m_mutex);
    return m_backward;
}

void CPlayClock::Pause()
{
    std::lock_guard lock(m_mutex);
    if (!m_paused) {
        Rebase();
        m_paused = true;
    }
    EndHolds();
}

void CPlayClock::Resume()
{
    std::lock_guard lock(m_mutex);
    if (m_paused) {
        m_paused = false;
        m_baseWallUs = m_source->NowUs();
        m_holders.clear();
    }
}

bool CPlayClock::IsPaused() const
{
    std::lock_guard lock(m_mutex);
    return m_paused;
}

std::int64_t CPlayClock::UsUntil(std::int64_t timeMs) const
{
    std::lock_guard lock(m_mutex);
    if (m_paused)
        return kPausedWait;
    const std::int64_t aheadMs = m_backward ? NowLocked() - timeMs : timeMs - NowLocked();
    // Far times at slow speeds would not fit: no wait needs to be longer.
    const double heldUs = double(std::max<std::int64_t>(0, m_baseWallUs - m_source->NowUs()));
    const double waitUs = double(aheadMs) * 1000.0 / m_speed + (aheadMs > 0 ? heldUs : 0.0);
    return std::int64_t(std::clamp(waitUs, -double(kPausedWait), double(kPausedWait)));
}

void CPlayClock::Hold(const void* holder, std::int64_t maxUs, std::int64_t atMs)
{
    std::lock_guard lock(m_mutex);
    if (m_paused || m_holders.count(holder))
        return;
    Rebase();
    // Going back costs the others that wait as much as standing still.
    const std::int64_t pastMs =
        std::max<std::int64_t>(0, m_backward ? atMs - m_baseMediaMs : m_baseMediaMs - atMs);
    const auto backUs = std::int64_t(double(pastMs) * 1000.0 / m_speed);
    if (backUs > maxUs)
        return;
    m_holders.insert(holder);
    m_baseMediaMs = m_backward ? std::max(m_baseMediaMs, atMs) : std::min(m_baseMediaMs, atMs);
    if (m_holders.size() == 1)
        m_baseWallUs += std::max<std::int64_t>(0, maxUs - backUs);
}

void CPlayClock::ReleaseHold(const void* holder)
{
    std::lock_guard lock(m_mutex);
    if (m_holders.erase(holder) && m_holders.empty())
        EndHolds();
}

bool CPlayClock::IsHeld() const
{
    std::lock_guard lock(m_mutex);
    return !m_paused && m_baseWallUs > m_source->NowUs();
}

// With m_mutex held: the media time runs on from where it stands.
void CPlayClock::EndHolds()
{
    m_holders.clear();
    m_baseWallUs = std::min(m_baseWallUs, m_source->NowUs());
}

}  // namespace PLAY_MODULE
