#include "Widgets/SFQTSliderCtrl.h"

#include <algorithm>
#include <cstdint>

#include <QCursor>
#include <QMouseEvent>
#include <QToolTip>

#include "Widgets/QSliderExStyle.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

// to - from without int overflow, for the value/pixel mapping.
double Span(int from, int to)
{
    return static_cast<double>(static_cast<std::int64_t>(to) - from);
}

}  // namespace

CSFQTSliderCtrl::CSFQTSliderCtrl(ISFSliderCtrlEvent* handler)
    : QSlider(nullptr), CSFSliderCtrl(handler), m_style(std::make_unique<QSliderExStyle>())
{
    setOrientation(Qt::Horizontal);
    setStyle(m_style.get());
    setFocusPolicy(Qt::WheelFocus);
}

CSFQTSliderCtrl::~CSFQTSliderCtrl()
{
    for (auto& image : m_images)
        image.reset();
    setStyle(nullptr);
    m_style.reset();
}

int CSFQTSliderCtrl::Create(DWORD style, const tagRECT& rect, void* parent, UINT id, SLIDER_RESPONSE_MODE mode)
{
    setParent(static_cast<QWidget*>(parent));
    m_controlId = id;
    setGeometry(SFQTRectFromExclusive(rect));
    m_responseMode = mode;
    SFQTShowByStyle(this, style);
    setPageStep(1);
    setFocusPolicy(Qt::WheelFocus);
    return 1;
}

int CSFQTSliderCtrl::SetSkin(ImageSliderStyle* skin)
{
    if (!skin)
        return 0;
    const QPixmap source = SFQTLoadSkinImage(skin->str0);
    const std::wstring* pieces[6] = {&skin->str1, &skin->str2, &skin->str3, &skin->str4, &skin->str5, &skin->str6};
    for (int i = 0; i < 6; ++i) {
        if (source.isNull()) {
            m_images[i].reset();
            continue;
        }
        const tagRECT r = SFQTParseSkinRectW(pieces[i]->c_str());
        m_images[i] = std::make_unique<QPixmap>(source.copy(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom))));
    }
    return 1;
}

void CSFQTSliderCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTSliderCtrl::GetRange(int& min, int& max) const
{
    min = minimum();
    max = maximum();
}

const QPixmap* CSFQTSliderCtrl::GetSkinPixmap(int index) const
{
    if (index < 0 || index >= 6)
        return nullptr;
    const QPixmap* image = m_images[index].get();
    return image && !image->isNull() ? image : nullptr;
}

int CSFQTSliderCtrl::HandleWidth() const
{
    const QPixmap* handle = GetSkinPixmap(2);
    return handle ? handle->width() : 0;
}

QPoint CSFQTSliderCtrl::ValueToHandlePos(int value) const
{
    if (orientation() == Qt::Vertical)
        return QPoint(0, 0);
    const QPixmap* handle = GetSkinPixmap(2);
    const int hw = handle ? handle->width() : 0;
    const int hh = handle ? handle->height() : 0;
    const int y = (height() - hh) / 2;
    const int min = minimum(), max = maximum();
    if (max <= min)
        return QPoint(width() - hw, y);
    const double x = Span(min, value) * (width() - hw) / Span(min, max) + hw / 2;
    return QPoint(static_cast<int>(x), y);
}

int CSFQTSliderCtrl::ValueFromPointer(int x) const
{
    const int hw = HandleWidth();
    const int half = hw / 2;
    const int px = std::max(half, std::min(x, width() - half));
    const int min = minimum(), max = maximum();
    double v = max;
    if (min < max)
        v = width() > hw ? static_cast<double>(px - half) * Span(min, max) / (width() - hw) + min : min;
    const int p = static_cast<int>(v + 0.5);
    return std::clamp(p, std::min(min, max), max);
}

int CSFQTSliderCtrl::PercentOfRange(int value, int min, int max)
{
    if (max <= min)
        return 100;
    const int perMille = static_cast<int>(Span(min, value) * 1000.0 / Span(min, max));
    return perMille / 10;
}

void CSFQTSliderCtrl::ReportPosition()
{
    if (m_pHandler)
        m_pHandler->SF_OnSliderPos(static_cast<int>(m_controlId), value());
}

void CSFQTSliderCtrl::MoveToPointer(int x)
{
    const int p = ValueFromPointer(x);
    if (p == value())
        return;
    setValue(p);
    if (m_responseMode == SLIDER_RESPONSE_CONTINUOUS)
        ReportPosition();
}

void CSFQTSliderCtrl::ShowPercentTip(const QPoint& globalPointer)
{
    const int percent = PercentOfRange(value(), minimum(), maximum());
    const int top = mapToGlobal(pos()).y() - 10;
    QToolTip::showText(QPoint(globalPointer.x() - 10, top), QString("%1%").arg(percent), this);
}

void CSFQTSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    MoveToPointer(event->position().toPoint().x());
    m_dragging = 1;
}

void CSFQTSliderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!(event->buttons() & Qt::LeftButton) || m_dragging != 1)
        return;
    MoveToPointer(event->position().toPoint().x());
    if (m_tooltipEnabled)
        ShowPercentTip(event->globalPosition().toPoint());
}

void CSFQTSliderCtrl::mouseReleaseEvent(QMouseEvent*)
{
    if (m_responseMode == SLIDER_RESPONSE_ON_RELEASE)
        ReportPosition();
    m_dragging = 0;
}

void CSFQTSliderCtrl::wheelEvent(QWheelEvent* event)
{
    QAbstractSlider::wheelEvent(event);
    if (m_responseMode == SLIDER_RESPONSE_CONTINUOUS)
        ReportPosition();
}

void CSFQTSliderCtrl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        event->accept();
        return;
    default:
        QAbstractSlider::keyPressEvent(event);
    }
}

void CSFQTSliderCtrl::enterEvent(QEnterEvent* event)
{
    const QPixmap hand = SFQTLoadSkinImage(L"hand_pointing.png");
    if (!hand.isNull())
        setCursor(QCursor(hand, 13, 7));
    QWidget::enterEvent(event);
}
