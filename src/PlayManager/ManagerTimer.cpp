#include "PlayManager/ManagerTimer.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "Base/SFTimer.h"

namespace {

struct TimerDeleter {
    boost::shared_ptr<void> userData;

    void operator()(CSFTimer* timer)
    {
        if (!timer)
            return;
        auto destroy = [timer, data = userData]() mutable {
            timer->Stop();
            delete timer;
            data.reset();
        };
        if (QThread::currentThread() == timer->thread())
            destroy();
        else
            QMetaObject::invokeMethod(timer, destroy, Qt::QueuedConnection);
    }
};

}  // namespace

boost::shared_ptr<CSFTimer> StartOwnThreadTimer(std::int32_t intervalMs,
                                                void (*callback)(std::int32_t, std::uintptr_t),
                                                boost::shared_ptr<void> userData)
{
    auto* timer = new CSFTimer;
    const auto userValue = reinterpret_cast<std::uintptr_t>(userData.get());
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread()->eventDispatcher() || !app) {
        timer->Start(intervalMs, callback, userValue);
    } else {
        // Made on a thread without a Qt event loop: the timer runs on the
        // application's thread instead.
        timer->moveToThread(app->thread());
        QMetaObject::invokeMethod(
            timer,
            [timer, intervalMs, callback, userValue] {
                timer->Start(intervalMs, callback, userValue);
            },
            Qt::QueuedConnection);
    }
    return boost::shared_ptr<CSFTimer>(timer, TimerDeleter{std::move(userData)});
}
