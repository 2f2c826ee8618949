#include "Widgets/SFQTListBox.h"

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTListBox::CSFQTListBox(ISFListBoxEvent* handler) : QListWidget(nullptr), CSFListBox(handler) {}

int CSFQTListBox::Create(DWORD style, const tagRECT& rect, void* parent, UINT)
{
    SFQTPlaceControl(this, parent, rect);
    SFQTShowByStyle(this, style);
    return 1;
}

void CSFQTListBox::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

int CSFQTListBox::GetText(int index, wchar_t* buffer, int size) const
{
    if (index < 0 || index >= count())
        return -1;
    return SFQTCopyToWideBuffer(item(index)->text(), buffer, size);
}

int CSFQTListBox::SetCurSel(int index)
{
    if (index < 0 || index >= count())
        return -1;
    setCurrentRow(index);
    return currentRow();
}

int CSFQTListBox::AddString(const wchar_t* text)
{
    addItem(SFQTStringFromWide(text));
    return count() - 1;
}

int CSFQTListBox::DeleteString(UINT index)
{
    if (index >= static_cast<UINT>(count()))
        return -1;
    delete takeItem(static_cast<int>(index));
    return count();
}

void CSFQTListBox::mousePressEvent(QMouseEvent*)
{
    if (m_pHandler)
        m_pHandler->OnMouseDown();
}

void CSFQTListBox::mouseReleaseEvent(QMouseEvent*)
{
    if (m_pHandler)
        m_pHandler->OnMouseUp();
}

void CSFQTListBox::mouseMoveEvent(QMouseEvent*)
{
    if (m_pHandler)
        m_pHandler->OnMouseMove();
}
