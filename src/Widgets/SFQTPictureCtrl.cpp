#include "Widgets/SFQTPictureCtrl.h"

#include <QPainter>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTPictureCtrl::CSFQTPictureCtrl(ISFPictureCtrlEvent* handler) : QLabel(nullptr), CSFPictureCtrl(handler) {}

int CSFQTPictureCtrl::Create(const wchar_t* text, DWORD, const tagRECT& rect, void* parent, UINT id)
{
    setGeometry(SFQTRectFromExclusive(rect));
    m_caption = SFQTStringFromWide(text);
    setText(m_caption);
    setAlignment(Qt::AlignCenter);
    setParent(static_cast<QWidget*>(parent));
    m_controlId = id;
    return 1;
}

void CSFQTPictureCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTPictureCtrl::SetImage(const wchar_t* name)
{
    m_image = SFQTLoadSkinImage(name ? name : L"");
}

void CSFQTPictureCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_image.isNull())
        painter.drawPixmap(rect(), m_image);
    painter.drawText(rect(), Qt::AlignCenter, m_caption);
}
