#include "Widgets/SFQTStatic.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTStatic::CSFQTStatic(ISFStaticEvent* handler) : QLabel(nullptr), CSFStatic(handler)
{
    setWordWrap(true);
}

QRect CSFQTStatic::TextBounds(const QRect& within) const
{
    return QFontMetrics(font()).boundingRect(within, m_textFlags, text());
}

int CSFQTStatic::Create(const wchar_t* value, DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setText(SFQTStringFromWide(value));
    const QRect given = SFQTRectFromExclusive(rect);
    const QRect bounds = TextBounds(given);
    setGeometry(bounds.left(), bounds.top(), std::max(given.width(), bounds.width()),
                std::max(given.height(), bounds.height()));
    SFQTShowByStyle(this, style);
    m_controlId = id;
    return 1;
}

void CSFQTStatic::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromExclusive(*rect));
}

int CSFQTStatic::GetStaticText(wchar_t* buffer, int size) const
{
    SFQTCopyToWideBuffer(text(), buffer, size);
    return 0;
}

void CSFQTStatic::SetStaticText(const wchar_t* value)
{
    setText(SFQTStringFromWide(value));
    const QRect bounds = TextBounds(geometry());
    resize(std::max(width(), bounds.width()), std::max(height(), bounds.height()));
}

int CSFQTStatic::TextFlagsFromDrawText(UINT flags)
{
    int result = Qt::AlignLeft;
    if (flags & DT_RIGHT)
        result = Qt::AlignRight;
    else if (flags & DT_CENTER)
        result = Qt::AlignHCenter;
    if (flags & DT_VCENTER)
        result |= Qt::AlignVCenter;
    if (flags & DT_WORDBREAK) {
        result &= ~Qt::TextSingleLine;
        result |= Qt::TextWordWrap | Qt::TextDontClip;
    }
    if (flags & DT_SINGLELINE) {
        result &= ~Qt::TextWordWrap;
        result |= Qt::TextSingleLine;
    }
    return result;
}

void CSFQTStatic::SetTextAlignFlag(UINT flags)
{
    m_textFlags = TextFlagsFromDrawText(flags);
    update();
}

void CSFQTStatic::SetTextColor(UINT color)
{
    m_textColor = SFQTColorFromColorRef(color);
    update();
}

void CSFQTStatic::SetTextBold(int bold)
{
    m_bold = bold;
    update();
}

void CSFQTStatic::GetTextSize(int& w, int& h)
{
    w = width();
    h = height();
}

void CSFQTStatic::SetBgColor(UINT color, int)
{
    m_backgroundColor = SFQTColorFromColorRef(color);
    update();
}

void CSFQTStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_textColor.isValid() ? m_textColor : QColor(Qt::black));
    painter.drawText(rect(), m_textFlags, text());
}
