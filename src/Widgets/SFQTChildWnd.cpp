#include "Widgets/SFQTChildWnd.h"

#include "Widgets/SFApplication.h"

CSFQTChildWnd::CSFQTChildWnd(ISFChildWndEvent* handler) : QWidget(nullptr), CSFChildWnd(handler)
{
    if (handler)
        handler->SetUIWnd(static_cast<CSFChildWnd*>(this));
}

int CSFQTChildWnd::Create(UINT, const char* title, int show)
{
    setWindowTitle(SFQTStringFromUtf8(title));
    setVisible(show != 0);
    return 1;
}
