#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Runs the GUI thread's events until done() holds or ms pass; done()'s last answer.
inline bool ProcessUntil(const std::function<bool()>& done, int ms = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
