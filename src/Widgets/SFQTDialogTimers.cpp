#include "Widgets/SFQTDialogTimers.h"

#include <QObject>

#include <algorithm>
#include <limits>

unsigned CSFQTDialogTimers::Set(unsigned id, unsigned elapseMs)
{
    const auto found = m_timers.constFind(id);
    if (found != m_timers.constEnd())
        return static_cast<unsigned>(found.value());
    const unsigned interval = std::min<unsigned>(elapseMs, std::numeric_limits<int>::max());
    const int qtId = m_owner->startTimer(static_cast<int>(interval));
    if (qtId == 0)
        return 0;
    m_timers.insert(id, qtId);
    return static_cast<unsigned>(qtId);
}

int CSFQTDialogTimers::Kill(unsigned id)
{
    const auto found = m_timers.find(id);
    if (found == m_timers.end())
        return 0;
    m_owner->killTimer(found.value());
    m_timers.erase(found);
    return 1;
}

unsigned CSFQTDialogTimers::CallerId(int qtTimerId) const
{
    for (auto it = m_timers.constBegin(); it != m_timers.constEnd(); ++it) {
        if (it.value() == qtTimerId)
            return it.key();
    }
    return 0;
}

void CSFQTDialogTimers::KillAll()
{
    for (int qtId : m_timers)
        m_owner->killTimer(qtId);
    m_timers.clear();
}
