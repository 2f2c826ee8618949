#include "ExitWatchdog.h"

#include <chrono>

CExitWatchdog::CExitWatchdog(int deadlineMs, std::function<void()> onLate) : m_onLate(std::move(onLate))
{
    m_thread = std::thread([this, deadlineMs] { Watch(deadlineMs); });
}

CExitWatchdog::~CExitWatchdog()
{
    Disarm();
    if (m_thread.joinable())
        m_thread.join();
}

void CExitWatchdog::Disarm()
{
    {
        std::lock_guard lock(m_mutex);
        m_disarmed = true;
    }
    m_changed.notify_all();
}

void CExitWatchdog::Watch(int deadlineMs)
{
    bool disarmed;
    {
        std::unique_lock lock(m_mutex);
        disarmed = m_changed.wait_for(lock, std::chrono::milliseconds(deadlineMs), [this] { return m_disarmed; });
    }
    if (!disarmed && m_onLate)
        m_onLate();
}
