#include "Widgets/SFViewEvent.h"

#include <QWidget>

#include "Widgets/SFView.h"

ISFViewEvent::~ISFViewEvent()
{
    // Events posted to the view before now find no handler.
    if (auto* view = dynamic_cast<CSFView*>(static_cast<QWidget*>(m_pUIWnd)))
        view->DetachHandler();
}
