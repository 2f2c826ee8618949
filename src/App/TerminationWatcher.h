#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (session end, Ctrl+C) into an orderly
// close of every window on the GUI thread, so shutdown runs as after a
// click on the close button: the windows end the event loop once their
// pages have answered. Should that not happen within graceMs, the loop is
// ended all the same.
class CTerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit CTerminationWatcher(int graceMs, QObject* parent = nullptr);
    ~CTerminationWatcher() override;

private slots:
    void OnSignal();

private:
    QSocketNotifier* m_notifier = nullptr;
    int m_graceMs;
};
