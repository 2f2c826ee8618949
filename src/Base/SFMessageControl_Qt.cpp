#include "Base/SFMessageControl_Qt.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"

namespace LumivexBase {

CSFMessageControl_Qt::CSFMessageControl_Qt(boost::weak_ptr<CDelegate> delegate)
    : m_delegate(std::move(delegate)), m_timer(new QTimer(&m_msgObject))
{
    m_msgObject.m_timer = m_timer;
    m_timer->start(0);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(&m_msgObject);
}

CSFMessageControl_Qt::~CSFMessageControl_Qt()
{
    m_timer->stop();
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(&m_msgObject);
}

void CSFMessageControl_Qt::Run()
{
    boost::shared_ptr<CDelegate> delegate = m_delegate.lock();
    if (!delegate)
        return;
    if (delegate->RunFirstQueue() == 0 && delegate->RunSecondQueue() == 0)
        m_timer->stop();
}

void CSFMessageControl_Qt::Post()
{
    QCoreApplication::postEvent(&m_msgObject, new QEvent(kWakeEventType));
}

void CSFMessageControl_Qt::Stop() { m_timer->stop(); }

bool CSFMessageControl_Qt::MsgQObject::event(QEvent* e)
{
    if (e->type() == kWakeEventType && !m_timer->isActive())
        m_timer->start(0);
    return false;
}

bool CSFMessageControl_Qt::MsgQObject::eventFilter(QObject* /*watched*/, QEvent* e)
{
    if (e->type() != QEvent::Timer)
        return false;
    if (static_cast<QTimerEvent*>(e)->timerId() != m_timer->timerId())
        return false;
    boost::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::GetInstance()->GetMessageLoop(ML_MAIN);
    boost::shared_ptr<CSFMessageControl> control = loop ? loop->GetControl() : nullptr;
    if (!control)
        return false;
    control->Run();
    return true;
}

}  // namespace LumivexBase
