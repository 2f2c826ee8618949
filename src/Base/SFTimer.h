#pragma once

#include <QObject>

#include <cstdint>

// Periodic timer on the GUI thread's event loop that calls a plain callback
// with the timer id and a user value.
class CSFTimer : public QObject {
    Q_OBJECT
public:
    using Callback = void (*)(std::int32_t timerId, std::uintptr_t userValue);

    explicit CSFTimer(QObject* parent = nullptr);
    ~CSFTimer() override;

    // Starts a timer of the interval; returns its id (0 when it could not start).
    std::int32_t Start(std::int32_t intervalMs, Callback callback, std::uintptr_t userValue);
    void Stop();
    bool IsActive() const { return m_timerId != 0; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    Callback m_callback = nullptr;
    std::uintptr_t m_userValue = 0;
    std::int32_t m_timerId = 0;
};
