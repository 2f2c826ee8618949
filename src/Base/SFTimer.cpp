#include "Base/SFTimer.h"

#include <QTimerEvent>

CSFTimer::CSFTimer(QObject* parent) : QObject(parent) {}

CSFTimer::~CSFTimer() { Stop(); }

std::int32_t CSFTimer::Start(std::int32_t intervalMs, Callback callback, std::uintptr_t userValue)
{
    // A running timer is replaced, never left behind unstoppable.
    Stop();
    m_callback = callback;
    m_userValue = userValue;
    m_timerId = startTimer(intervalMs);
    return m_timerId;
}

void CSFTimer::Stop()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
}

void CSFTimer::timerEvent(QTimerEvent* event)
{
    if (m_callback)
        m_callback(event->timerId(), m_userValue);
}
