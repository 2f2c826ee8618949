#pragma once

#include <QMap>

class QObject;

// Timers of a top-level window, numbered by the caller and reported back
// with the caller's number.
class CSFQTDialogTimers {
public:
    explicit CSFQTDialogTimers(QObject* owner) : m_owner(owner) {}
    ~CSFQTDialogTimers() { KillAll(); }
    CSFQTDialogTimers(const CSFQTDialogTimers&) = delete;
    CSFQTDialogTimers& operator=(const CSFQTDialogTimers&) = delete;

    // An armed id keeps its timer and interval; returns the Qt timer id
    // (0 when no timer could be started).
    unsigned Set(unsigned id, unsigned elapseMs);
    // 1 when the id was armed (the timer stops and the id may be armed
    // again), 0 for an unknown id.
    int Kill(unsigned id);
    // Caller's id of a Qt timer; 0 when none matches.
    unsigned CallerId(int qtTimerId) const;
    void KillAll();

private:
    QObject* m_owner;
    QMap<unsigned, int> m_timers;
};
