#include "Main/OwnedView.h"

#include <QWidget>

#include "Widgets/SFViewEvent.h"

void ReleaseOwnedView(ISFViewEvent* handler)
{
    // The widget clears the handler's window when it is destroyed.
    if (handler && handler->GetUIWnd())
        delete static_cast<QWidget*>(handler->GetUIWnd());
}
