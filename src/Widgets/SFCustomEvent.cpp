#include "Widgets/SFCustomEvent.h"

#include <QCoreApplication>
#include <QObject>
#include <QWidget>

#include "Widgets/SFEventBase.h"

namespace {
const QEvent::Type g_customEventType = static_cast<QEvent::Type>(QEvent::registerEventType());
}

CSFCustomEvent::CSFCustomEvent(UINT message, UINT code, WPARAM wParam, LPARAM lParam)
    : QEvent(g_customEventType), m_message(message), m_code(code), m_wParam(wParam), m_lParam(lParam)
{
}

QEvent::Type CSFCustomEvent::EventType()
{
    return g_customEventType;
}

bool SFDispatchCustomEvent(CSFEventBase* handler, const CSFCustomEvent& event)
{
    if (!handler)
        return false;
    const SF_MSGMAP* map = handler->GetSFMessageMap();
    if (!map)
        return false;
    const SF_MSGMAP_ENTRY* entry =
        SFFindMessageMapEntry(map->lpEntries, event.m_message, event.m_code, static_cast<UINT>(event.m_lParam));
    if (!entry)
        return false;
    SFCallMessageEntry(*entry, handler, event.m_wParam, event.m_lParam);
    return true;
}

void SFSendMessage(void* window, UINT id, WPARAM wParam)
{
    if (!window || !QCoreApplication::instance())
        return;
    CSFCustomEvent event(WM_TIMER, WM_TIMER, wParam, static_cast<LPARAM>(id));
    QCoreApplication::sendEvent(static_cast<QObject*>(window), &event);
}

void SFPostMessage(void* window, UINT id, WPARAM wParam)
{
    auto* object = static_cast<QObject*>(window);
    if (!object || !object->isWidgetType())
        return;
    QCoreApplication::postEvent(object, new CSFCustomEvent(WM_TIMER, WM_TIMER, wParam, static_cast<LPARAM>(id)));
}

void SFSendCommandToParent(void* widget, UINT controlId)
{
    auto* self = static_cast<QWidget*>(widget);
    if (!self || !self->parentWidget())
        return;
    CSFCustomEvent command(WM_COMMAND, 0, 0, static_cast<LPARAM>(controlId));
    QCoreApplication::sendEvent(self->parentWidget(), &command);
}
