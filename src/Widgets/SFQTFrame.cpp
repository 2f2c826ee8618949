#include "Widgets/SFQTFrame.h"

#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTFrame::CSFQTFrame(ISFFrameEvent* handler) : QFrame(nullptr), CSFFrameWnd(handler)
{
    if (handler)
        handler->SetUIWnd(static_cast<CSFFrameWnd*>(this));
}

int CSFQTFrame::Create(const wchar_t*, const wchar_t* title, DWORD, const tagRECT& rect, void* parent,
                       const wchar_t*, DWORD, void*)
{
    setWindowTitle(SFQTStringFromWide(title));
    setGeometry(SFQTRectFromExclusive(rect));
    setParent(static_cast<QWidget*>(parent));
    return 1;
}
