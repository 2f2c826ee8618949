#include "Widgets/SFQTRadioBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QtMath>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

CSFQTRadioBox::CSFQTRadioBox(ISFRadioBoxEvent* handler)
    : QRadioButton(nullptr), CSFRadioBox(handler), m_textFont(font())
{
}

CSFQTRadioBox::~CSFQTRadioBox()
{
    delete m_transition;
}

int CSFQTRadioBox::Create(const wchar_t* text, DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    setGeometry(SFQTRectFromExclusive(rect));
    setText(SFQTStringFromWide(text));
    m_controlId = id;
    setAutoExclusive(false);
    setCheckable(true);
    setParent(static_cast<QWidget*>(parent));
    SFQTShowByStyle(this, style);
    return 1;
}

int CSFQTRadioBox::SetSkin(ImageRadioBox* skin)
{
    if (!skin)
        return 0;
    const std::wstring* names[8] = {&skin->str0, &skin->str1, &skin->str2, &skin->str3,
                                    &skin->str4, &skin->str5, &skin->str6, &skin->str7};
    for (int i = 0; i < 8; ++i)
        SFQTLoadSkinImageIfNamed(m_images[i], *names[i]);
    return 1;
}

void CSFQTRadioBox::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTRadioBox::SetCheck(int check)
{
    m_checked = check != 0;
    update();
}

int CSFQTRadioBox::GetWindowTextW(wchar_t* buffer, int size) const
{
    return SFQTCopyToWideBuffer(text(), buffer, size);
}

void CSFQTRadioBox::SetWindowTextW(const wchar_t* value)
{
    setText(SFQTStringFromWide(value));
}

void CSFQTRadioBox::SetBoldHeavy(int bold)
{
    QFont current = font();
    current.setWeight(bold ? QFont::Bold : QFont::Normal);
    m_textFont = current;
    setFont(current);
    update();
}

void CSFQTRadioBox::SetTextColor(DWORD color)
{
    m_textColor = SFQTColorFromColorRef(color);
    update();
}

void CSFQTRadioBox::SetTextOffset(int offset)
{
    m_textOffset = offset;
    update();
}

void CSFQTRadioBox::SetTextAlign(DWORD flags)
{
    m_textFlags = Qt::TextSingleLine | Qt::AlignVCenter;
    if (flags & DT_CENTER)
        m_textFlags |= Qt::AlignHCenter;
    if (flags & DT_RIGHT)
        m_textFlags |= Qt::AlignRight;
}

void CSFQTRadioBox::GetRadioClientRect(tagRECT* rect)
{
    if (rect)
        *rect = tagRECT{0, 0, width() - 1, height() - 1};
}

void CSFQTRadioBox::GetRadioWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTGlobalWindowRect(this);
}

void CSFQTRadioBox::SetBkColor(DWORD color)
{
    m_backgroundColor = SFQTColorFromColorRef(color);
    update();
}

void CSFQTRadioBox::SetToolTipText(const wchar_t* value)
{
    setToolTip(SFQTStringFromWide(value));
}

void CSFQTRadioBox::SetPicTransparence(float value)
{
    m_picTransparence = value;
    repaint();
}

void CSFQTRadioBox::OnClicked(bool checked, QPoint point)
{
    // The handler may destroy the window that holds this radio box.
    const QPointer<CSFQTRadioBox> alive(this);
    const UINT id = m_controlId;
    if (m_pHandler)
        m_pHandler->RADIO_OnClicked(checked ? 1 : 0, static_cast<int>(id), tagPOINT{point.x(), point.y()});
    if (alive)
        SFSendCommandToParent(static_cast<QWidget*>(this), id);
}

void CSFQTRadioBox::OnAnimationPicTransFinished()
{
    // Called from the animation's own finished signal: it must outlive the emission.
    if (m_transition)
        m_transition->deleteLater();
    m_transition = nullptr;
}

void CSFQTRadioBox::SetState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void CSFQTRadioBox::enterEvent(QEnterEvent* event)
{
    SetState(StateHover);
    QWidget::enterEvent(event);
}

void CSFQTRadioBox::leaveEvent(QEvent*)
{
    SetState(StateNormal);
}

void CSFQTRadioBox::mousePressEvent(QMouseEvent* event)
{
    SetState(StatePressed);
    QAbstractButton::mousePressEvent(event);
}

void CSFQTRadioBox::mouseReleaseEvent(QMouseEvent* event)
{
    SetState(StateNormal);
    const QPoint at = event->position().toPoint();
    if (rect().contains(at)) {
        const QPointer<CSFQTRadioBox> alive(this);
        m_checked = !m_checked;
        OnClicked(m_checked, at);
        if (!alive)
            return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CSFQTRadioBox::mouseDoubleClickEvent(QMouseEvent*) {}
void CSFQTRadioBox::showEvent(QShowEvent*) {}
void CSFQTRadioBox::hideEvent(QHideEvent*) {}

const QPixmap& CSFQTRadioBox::CurrentImage() const
{
    static const QPixmap none;
    if (m_state < StateNormal || m_state > StateDisabled)
        return none;
    static const int checkedImage[4] = {0, 1, 2, 6};
    static const int uncheckedImage[4] = {3, 4, 5, 7};
    return m_images[m_checked ? checkedImage[m_state] : uncheckedImage[m_state]];
}

void CSFQTRadioBox::paintEvent(QPaintEvent* event)
{
    if (!isEnabled())
        m_state = StateDisabled;
    const QPixmap& image = CurrentImage();
    if (image.isNull()) {
        QRadioButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setOpacity(m_picTransparence);
    if (m_backgroundColor.isValid())
        painter.fillRect(rect(), m_backgroundColor);
    painter.drawPixmap(0, qFloor((height() - image.height()) / 2.0), image);
    painter.setPen(m_textColor);
    painter.setFont(m_textFont);
    QRect textRect = rect();
    textRect.setLeft(m_textOffset + image.width() + 5);
    painter.drawText(textRect, m_textFlags, text());
}
