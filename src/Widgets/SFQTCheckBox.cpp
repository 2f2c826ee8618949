#include "Widgets/SFQTCheckBox.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr int kCheckedHover = 1;

}  // namespace

CSFQTCheckBox::CSFQTCheckBox(ISFCheckBoxEvent* handler) : QPushButton(nullptr), CSFCheckBox(handler)
{
    connect(this, &QPushButton::clicked, this, &CSFQTCheckBox::OnCheckStateChanged);
}

int CSFQTCheckBox::Create(const char* text, DWORD, const tagRECT& rect, void* parent, UINT id)
{
    setGeometry(SFQTRectFromExclusive(rect));
    setText(SFQTStringFromUtf8(text));
    setParent(static_cast<QWidget*>(parent));
    m_controlId = id;
    return 1;
}

void CSFQTCheckBox::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTCheckBox::SetCheck(int check)
{
    const bool checked = check != 0;
    if (checked == m_checked)
        return;
    m_checked = checked;
    update();
}

int CSFQTCheckBox::GetCheck(int* checked) const
{
    if (checked)
        *checked = m_checked ? 1 : 0;
    return 0;
}

int CSFQTCheckBox::GetWindowTextW(wchar_t* buffer, int size) const
{
    return SFQTCopyToWideBuffer(text(), buffer, size);
}

void CSFQTCheckBox::SetWindowTextW(const wchar_t* value)
{
    setText(SFQTStringFromWide(value));
}

int CSFQTCheckBox::SetSkin(ImageCheckBox* skin)
{
    if (!skin)
        return 0;
    const std::wstring* names[8] = {&skin->str0, &skin->str1, &skin->str2, &skin->str3,
                                    &skin->str4, &skin->str5, &skin->str6, &skin->str7};
    for (int i = 0; i < 8; ++i) {
        if (!names[i]->empty())
            m_sources[i] = CSFQTSkinImageCache::Instance().Get(SFQTStringFromWide(names[i]->c_str()));
        m_images[i] = m_sources[i];
    }
    FitImagesToSize();
    update();
    return 1;
}

QPixmap CSFQTCheckBox::StretchSkinPixmap(const QPixmap& image, QSize size)
{
    if (image.isNull() || size.isEmpty())
        return image;
    const int pw = image.width(), ph = image.height();
    const int hw = pw / 2, hh = ph / 2, rw = pw - hw, bh = ph - hh;
    const int W = size.width(), H = size.height();
    QPixmap result(size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.drawPixmap(0, 0, image, 0, 0, hw, hh);
    painter.drawPixmap(W - rw, 0, image, hw, 0, rw, hh);
    painter.drawPixmap(0, H - bh, image, 0, hh, hw, bh);
    painter.drawPixmap(W - rw, H - bh, image, hw, hh, rw, bh);
    for (int x = hw; x <= W - rw; ++x)
        painter.drawPixmap(x, 0, image, hw, 0, 1, hh);
    for (int x = hw; x < W - rw; ++x)
        painter.drawPixmap(x, H - bh, image, hw, hh, 1, bh);
    for (int y = hh; y < H - bh; ++y) {
        painter.drawPixmap(0, y, image, 0, hh, hw, 1);
        painter.drawPixmap(W - rw, y, image, hw, hh, rw, 1);
    }
    if (W - rw - hw > 0 && H - bh - hh > 0)
        painter.fillRect(QRect(QPoint(hw, hh), QPoint(W - rw - 1, H - bh - 1)),
                         QBrush(image.copy(hw, hh, 1, 1)));
    return result;
}

void CSFQTCheckBox::FitImagesToSize()
{
    const QSize reference = m_sources[kCheckedHover].size();
    const QSize widget = size();
    const bool fits = widget.width() <= reference.width() && widget.height() <= reference.height();
    for (int i = 0; i < 8; ++i) {
        if (m_sources[i].isNull() || widget == reference)
            m_images[i] = m_sources[i];
        else if (fits)
            m_images[i] = m_sources[i].copy(0, 0, widget.width(), widget.height());
        else
            m_images[i] = StretchSkinPixmap(m_sources[i], widget);
    }
}

void CSFQTCheckBox::OnCheckStateChanged()
{
    SFSendCommandToParent(static_cast<QWidget*>(this), m_controlId);
}

void CSFQTCheckBox::SetState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void CSFQTCheckBox::mousePressEvent(QMouseEvent* event)
{
    if (m_pHandler)
        m_pHandler->BTN_OnLButtonDown();
    SetState(StatePressed);
    QAbstractButton::mousePressEvent(event);
}

void CSFQTCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    SetState(StateHover);
    if (m_pHandler)
        m_pHandler->BTN_OnLButtonUp();
    m_checked = !m_checked;
    update();
    QAbstractButton::mouseReleaseEvent(event);
}

void CSFQTCheckBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pHandler && (event->buttons() & Qt::LeftButton))
        m_pHandler->BTN_OnMouseMove();
    QAbstractButton::mouseMoveEvent(event);
}

void CSFQTCheckBox::enterEvent(QEnterEvent* event)
{
    SetState(StateHover);
    QPushButton::enterEvent(event);
}

void CSFQTCheckBox::leaveEvent(QEvent* event)
{
    SetState(StateNormal);
    QPushButton::leaveEvent(event);
}

const QPixmap& CSFQTCheckBox::CurrentImage() const
{
    const int offset = m_checked ? 0 : 3;
    if (!isEnabled())
        return m_images[m_checked ? 6 : 7];
    switch (m_state) {
    case StateHover: return m_images[offset + 1];
    case StatePressed: return m_images[offset + 2];
    default: return m_images[offset];
    }
}

void CSFQTCheckBox::paintEvent(QPaintEvent* event)
{
    const QPixmap& image = CurrentImage();
    if (image.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(rect(), image);
    if (text().isEmpty())
        return;
    const QFontMetrics metrics(font());
    const int tw = metrics.horizontalAdvance(text()) + 1;
    const int th = metrics.height() + 1;
    const QRect textBox((width() - tw) / 2, (height() - th) / 2, tw, th);
    if (!isEnabled())
        painter.setPen(QColor::fromRgba(0xFF6B6B6B));
    painter.drawText(textBox, text());
}

void CSFQTCheckBox::resizeEvent(QResizeEvent* event)
{
    FitImagesToSize();
    QPushButton::resizeEvent(event);
}
