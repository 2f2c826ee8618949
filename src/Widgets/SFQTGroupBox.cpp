#include "Widgets/SFQTGroupBox.h"

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTGroupBox::CSFQTGroupBox(ISFGroupBoxEvent* handler) : QGroupBox(nullptr), CSFGroupBox(handler) {}

int CSFQTGroupBox::CreateUtf8(const char* title, DWORD style, const tagRECT& rect, void* parent, UINT)
{
    SFQTPlaceControl(this, parent, rect);
    setTitle(SFQTStringFromUtf8(title));
    SFQTShowByStyle(this, style);
    return 1;
}

int CSFQTGroupBox::Create(const wchar_t* title, DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    const std::string utf8 = SFQTStringFromWide(title).toStdString();
    return CreateUtf8(utf8.c_str(), style, rect, parent, id);
}

void CSFQTGroupBox::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTGroupBox::SetWindowTextW(const wchar_t* text)
{
    setTitle(SFQTStringFromWide(text));
}

int CSFQTGroupBox::GetWindowTextW(wchar_t* buffer, int size) const
{
    return SFQTCopyToWideBuffer(title(), buffer, size);
}
