#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (session end, Ctrl+C) into an orderly
// close of every window on the GUI thread, so shutdown runs as after a
// click on the close button.
class CTerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit CTerminationWatcher(QObject* parent = nullptr);
    ~CTerminationWatcher() override;

private slots:
    void OnSignal();

private:
    QSocketNotifier* m_notifier = nullptr;
};
