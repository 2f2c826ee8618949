#include "Widgets/SFQTButton.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

CSFQTButton::CSFQTButton(ISFButtonEvent* handler) : QPushButton(nullptr), CSFButton(handler)
{
    connect(this, &QPushButton::clicked, this, &CSFQTButton::OnClicked);
}

CSFQTButton::~CSFQTButton()
{
    delete m_transition;
}

int CSFQTButton::Create(const wchar_t* text, DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    SFQTPlaceControl(this, parent, rect);
    setText(SFQTStringFromWide(text));
    SFQTShowByStyle(this, style);
    m_controlId = id;
    return 1;
}

int CSFQTButton::SetSkin(ImageButtonStyle* style)
{
    if (!style)
        return 0;
    SFQTLoadSkinImageIfNamed(m_normalImage, style->str0);
    SFQTLoadSkinImageIfNamed(m_hoverImage, style->str1);
    SFQTLoadSkinImageIfNamed(m_releasedImage, style->str1);
    SFQTLoadSkinImageIfNamed(m_pressedImage, style->str2);
    SFQTLoadSkinImageIfNamed(m_disabledImage, style->str3);
    update();
    return 1;
}

void CSFQTButton::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTButton::SetTextColor(DWORD color)
{
    m_textColor = SFQTColorFromColorRef(color);
}

void CSFQTButton::SetTextAlign(UINT flags)
{
    const int base = Qt::TextSingleLine | Qt::AlignVCenter;
    if (flags & DT_CENTER)
        m_textFlags = base | Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        m_textFlags = base | Qt::AlignRight;
    else
        m_textFlags = base | Qt::AlignLeft;
    if (flags & DT_END_ELLIPSIS)
        m_elideMode = 1;
}

void CSFQTButton::SetToolTipText(const wchar_t* text)
{
    setToolTip(SFQTStringFromWide(text));
}

int CSFQTButton::GetWindowTextW(wchar_t* buffer, int size) const
{
    return SFQTCopyToWideBuffer(text(), buffer, size);
}

void CSFQTButton::SetWindowTextW(const wchar_t* text)
{
    setText(SFQTStringFromWide(text));
}

void CSFQTButton::GetBTNWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTGlobalWindowRect(this);
}

void CSFQTButton::SetPicTransparence(float value)
{
    m_picTransparence = value;
    repaint();
}

void CSFQTButton::OnClicked()
{
    // The handler may destroy the window that holds this button.
    const QPointer<CSFQTButton> alive(this);
    const UINT id = m_controlId;
    if (m_pHandler)
        m_pHandler->BTN_OnClicked(static_cast<int>(id));
    if (alive)
        SFSendCommandToParent(static_cast<QWidget*>(this), id);
}

void CSFQTButton::OnAnimationPicTransFinished()
{
    // Called from the animation's own finished signal: it must outlive the emission.
    if (m_transition)
        m_transition->deleteLater();
    m_transition = nullptr;
}

void CSFQTButton::SetState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void CSFQTButton::mousePressEvent(QMouseEvent* event)
{
    if (m_pHandler && event->button() != Qt::RightButton)
        m_pHandler->BTN_OnLButtonDown(static_cast<int>(m_controlId), 0, tagPOINT{0, 0});
    SetState(StatePressed);
    QPushButton::mousePressEvent(event);
}

void CSFQTButton::mouseReleaseEvent(QMouseEvent* event)
{
    SetState(StateReleased);
    if (m_pHandler)
        m_pHandler->BTN_OnLButtonUp(static_cast<int>(m_controlId), 0, tagPOINT{0, 0});
    QPushButton::mouseReleaseEvent(event);
}

void CSFQTButton::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pHandler && (event->buttons() & Qt::LeftButton))
        m_pHandler->BTN_OnMouseMove(static_cast<int>(m_controlId), 0, tagPOINT{0, 0});
    QPushButton::mouseMoveEvent(event);
}

void CSFQTButton::enterEvent(QEnterEvent* event)
{
    if (m_pHandler)
        m_pHandler->BTN_OnMouseMove(static_cast<int>(m_controlId), 0, tagPOINT{0, 0});
    if (m_state != StateReleased)
        SetState(StateHover);
    QPushButton::enterEvent(event);
}

void CSFQTButton::leaveEvent(QEvent* event)
{
    if (m_pHandler)
        m_pHandler->BTN_OnMouseLeave(static_cast<int>(m_controlId), 0, 0);
    SetState(StateNormal);
    QPushButton::leaveEvent(event);
}

const QPixmap& CSFQTButton::CurrentImage() const
{
    if (!isEnabled())
        return m_disabledImage;
    switch (m_state) {
    case StateHover: return m_hoverImage;
    case StatePressed: return m_pressedImage;
    case StateReleased: return m_releasedImage;
    default: return m_normalImage;
    }
}

void CSFQTButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(m_picTransparence);
    const QPixmap& image = CurrentImage();
    if (!image.isNull())
        painter.drawPixmap(rect(), image);
    if (text().isEmpty())
        return;
    const int fontHeight = QFontMetrics(font()).height();
    const int d = (height() - 1 - fontHeight) / 2;
    const QRect textRect = rect().adjusted(2, d, -2, -d);
    QString shown = text();
    if (m_elideMode == 1)
        shown = QFontMetrics(font()).elidedText(shown, Qt::ElideRight, textRect.width());
    painter.setPen(isEnabled() ? m_textColor : QColor::fromRgba(0xFF6B6B6B));
    painter.drawText(textRect, m_textFlags, shown);
}

void CSFQTButton::resizeEvent(QResizeEvent*) {}
