#pragma once

#include <QEvent>
#include <QObject>

#include <boost/weak_ptr.hpp>

#include "Base/SFMessageControl.h"

class QTimer;

namespace LumivexBase {

// GUI-thread driver: a post announces itself with a Qt event; a zero-interval
// Qt timer then runs one task per tick, so GUI events are handled between
// tasks. The timer stops on the first tick that finds the queues empty.
class CSFMessageControl_Qt : public CSFMessageControl {
public:
    static constexpr QEvent::Type kWakeEventType = static_cast<QEvent::Type>(9393);

    explicit CSFMessageControl_Qt(boost::weak_ptr<CDelegate> delegate);
    ~CSFMessageControl_Qt() override;

    void Run() override;
    void Post() override;
    void Stop() override;

private:
    // Hidden receiver of the wake-up event and filter of the application's events.
    class MsgQObject : public QObject {
    public:
        QTimer* m_timer = nullptr;

    protected:
        bool event(QEvent* e) override;
        bool eventFilter(QObject* watched, QEvent* e) override;
    };

    boost::weak_ptr<CDelegate> m_delegate;
    MsgQObject m_msgObject;
    QTimer* m_timer;  // child of m_msgObject
};

}  // namespace LumivexBase
