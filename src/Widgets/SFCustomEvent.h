#pragma once

#include <QEvent>

#include "Platform/Win32/Win32Types.h"

// Qt event carrying a window message to a window's message map.
class CSFCustomEvent : public QEvent {
public:
    CSFCustomEvent(UINT message, UINT code, WPARAM wParam, LPARAM lParam);
    ~CSFCustomEvent() override = default;

    // The event type, registered once per process.
    static QEvent::Type EventType();

    UINT m_message;
    UINT m_code;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

class CSFEventBase;

// Serves a received custom event through the event object's message map;
// true when an entry was found and called.
bool SFDispatchCustomEvent(CSFEventBase* handler, const CSFCustomEvent& event);

// Delivers the program's own message (id in lParam, value in wParam)
// synchronously to a window. GUI thread only.
void SFSendMessage(void* window, UINT id, WPARAM wParam);
// Queues the program's own message for a window; nothing for a null window
// or an object that is no widget.
void SFPostMessage(void* window, UINT id, WPARAM wParam);
// Sends a command (WM_COMMAND, code 0, lParam = control id) to a widget's
// parent window, when it has one.
void SFSendCommandToParent(void* widget, UINT controlId);
