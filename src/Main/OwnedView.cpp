#include "Main/OwnedView.h"

#include <QWidget>

#include "Widgets/SFViewEvent.h"
#include "Widgets/SFWidgetFactory.h"

bool CreatePageView(ISFViewEvent* handler, CSFView*& view, const wchar_t* background, const wchar_t* name,
                    const tagRECT& rect, void* parent, UINT id)
{
    view = SFCreateView(handler);
    if (!view)
        return false;
    view->SetBackground(background);
    view->Create(nullptr, name, 0x50000000, rect, parent, id);
    return true;
}

void ReleaseOwnedView(ISFViewEvent* handler)
{
    // The widget clears the handler's window when it is destroyed.
    if (handler && handler->GetUIWnd())
        delete static_cast<QWidget*>(handler->GetUIWnd());
}
