#include "Widgets/SFQTNumSpiner.h"

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinStyles.h"

CSFQTNumSpiner::CSFQTNumSpiner(ISFNumSpinerEvent* handler) : QSpinBox(nullptr), CSFNumSpiner(handler)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setFrame(false);
    connect(this, &QSpinBox::valueChanged, this, &CSFQTNumSpiner::OnValueChanged);
}

int CSFQTNumSpiner::Create(const wchar_t*, const tagRECT& rect, void* parent, UINT id)
{
    SFQTPlaceControl(this, parent, rect);
    m_controlId = id;
    return 1;
}

void CSFQTNumSpiner::GetRange(int& min, int& max)
{
    min = minimum();
    max = maximum();
}

QString CSFQTNumSpiner::SkinStyleSheet(const ImageNumSpinerStyle& skin)
{
    return "QSpinBox { padding: 0 8px; border-image: " + SFQTStyleSheetImage(skin.str0) + ";}" +
           "QSpinBox::up-button {width: 21px; border-image: " + SFQTStyleSheetImage(skin.str8) + ";}" +
           "QSpinBox::up-button:hover {border-image: " + SFQTStyleSheetImage(skin.str8) + ";}" +
           "QSpinBox::up-button:pressed {border-image: " + SFQTStyleSheetImage(skin.str10) + ";}" +
           "QSpinBox::up-button:disabled {border-image: " + SFQTStyleSheetImage(skin.str11) + ";}" +
           "QSpinBox::down-button {width: 21px; border-image: " + SFQTStyleSheetImage(skin.str1) + ";}" +
           "QSpinBox::down-button:hover {border-image: " + SFQTStyleSheetImage(skin.str1) + ";}" +
           "QSpinBox::down-button:pressed {border-image: " + SFQTStyleSheetImage(skin.str3) + ";}" +
           "QSpinBox::down-button:disabled {border-image: " + SFQTStyleSheetImage(skin.str4) + ";}" +
           // The value in a light colour: the skin's ground is dark.
           "QSpinBox { color: #d7dce3; }";
}

int CSFQTNumSpiner::SetSkin(ImageNumSpinerStyle* skin)
{
    if (!skin)
        return 0;
    setStyleSheet(SkinStyleSheet(*skin));
    return 1;
}

void CSFQTNumSpiner::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTNumSpiner::OnValueChanged(int value)
{
    if (m_pHandler)
        m_pHandler->OnCurrentNumChanged(m_controlId, value);
}
