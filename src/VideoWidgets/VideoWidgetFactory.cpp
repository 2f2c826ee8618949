// The two factories of the widget framework whose widgets live here.
#include <new>

#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "Widgets/SFWidgetFactory.h"

CSFVideoWindow* SFCreateVideoWindow(VIDEOWINDOWMODE mode, ISFVideoWindowEvent* handler, int maxRows, int maxColumns)
{
    return new (std::nothrow) CSFQTVideoWindow(mode, handler, maxRows, maxColumns);
}

CSFPlayProgressPanel* SFCreatePlayProgressPanel(IPlayProgressEvent* handler)
{
    return new (std::nothrow) CSFQTPlayProgressPanel(handler);
}
