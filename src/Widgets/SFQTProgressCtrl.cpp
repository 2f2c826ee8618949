#include "Widgets/SFQTProgressCtrl.h"

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinStyles.h"

CSFQTProgressCtrl::CSFQTProgressCtrl(ISFProgressCtrlEvent* handler) : QProgressBar(nullptr), CSFProgressCtrl(handler)
{
    setAlignment(Qt::AlignCenter);
    setTextVisible(true);
    setAutoFillBackground(true);
}

int CSFQTProgressCtrl::Create(DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    m_controlId = id;
    SFQTPlaceControl(this, parent, rect);
    SFQTShowByStyle(this, style);
    return 1;
}

int CSFQTProgressCtrl::SetSkin(ImageProgressCtrlStyle* skin)
{
    if (!skin)
        return 0;
    setStyleSheet("QProgressBar { border: 1px solid grey;border-radius: 5px;background-image: " +
                  SFQTStyleSheetImage(skin->str1) + ";} QProgressBar::chunk {background-image: " +
                  SFQTStyleSheetImage(skin->str0) + ";}");
    return 1;
}

void CSFQTProgressCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTProgressCtrl::GetRange(int& min, int& max)
{
    min = minimum();
    max = maximum();
}
