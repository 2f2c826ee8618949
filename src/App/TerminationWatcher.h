#pragma once

#include <QObject>

#include <functional>
#include <thread>

// Turns SIGTERM, SIGINT and SIGHUP (session end, Ctrl+C) into an orderly
// close of every window on the GUI thread, so shutdown runs as after a
// click on the close button: the windows end the event loop once their
// pages have answered. Should that not happen within graceMs, the loop is
// ended all the same, with any loop the close runs (a message box). The signals are taken by a thread of its own, so that
// a GUI thread stuck in a call cannot keep the process: when the process is
// still there a little after the grace, onLate runs on that thread (to save
// what it can and end the process).
class CTerminationWatcher : public QObject {
    Q_OBJECT
public:
    // Beyond the grace, the time the GUI thread has to leave its loop.
    static constexpr int kLoopLeaveMs = 1000;

    // From the start of the program until a watcher is made, a signal ends
    // it at once with status 0, as nothing is open or changed yet.
    static void EndAtOnceUntilWatched();

    CTerminationWatcher(int graceMs, std::function<void()> onLate, QObject* parent = nullptr);
    ~CTerminationWatcher() override;

private slots:
    void OnSignal();

private:
    void Watch();
    // Waits for a signal (taking it) or the time (-1: none); false when the
    // watcher stops.
    bool WaitUnlessStopped(int timeoutMs);

    int m_graceMs;
    std::function<void()> m_onLate;
    int m_stopPipe[2] = {-1, -1};
    std::thread m_thread;
};
