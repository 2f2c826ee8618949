#include "VideoWidgets/SFQTVideoWindowSubWnd.h"

#include <cmath>
#include <new>

#include <QMouseEvent>
#include <QPainter>

#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"

CSFQTVideoWindowSubWnd::CSFQTVideoWindowSubWnd(CSFQTVideoWindow* grid) : m_grid(grid)
{
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    connect(this, &CSFQTVideoWindowSubWnd::sigSubWinFocus, this, &CSFQTVideoWindowSubWnd::LaunchSubWinFocusAni,
            Qt::QueuedConnection);
    connect(this, &CSFQTVideoWindowSubWnd::sigSubWinGeometryChange, this,
            &CSFQTVideoWindowSubWnd::LaunchSubWinGeometryChangeAni, Qt::QueuedConnection);
}

CSFQTVideoWindowSubWnd::~CSFQTVideoWindowSubWnd()
{
    delete m_animation;
    delete m_playWnd;
}

int CSFQTVideoWindowSubWnd::Create(const wchar_t* title, const tagRECT& rect, QWidget* parent, int id,
                                   int proportionW, int proportionH)
{
    setParent(parent);
    setWindowTitle(title ? QString::fromWCharArray(title) : QString());
    setGeometry(QRect(QPoint(rect.left + 1, rect.top + 1), QPoint(rect.right - 1, rect.bottom - 1)));
    m_id = id;
    m_playWnd = new CSFQTVideoWindowPlayWnd(tagRECT{0, 0, width() - 1, height() - 1}, proportionW, proportionH);
    m_playWnd->Create(L"VideoWindow_PlayWnd", this, 0);
    m_playWnd->SetBackgroundColor(m_background);
    // Under a cell not yet shown the picture shows with it; showing it now
    // would polish the pictures of every hidden cell at start.
    if (isVisible())
        m_playWnd->show();
    return 1;
}

void CSFQTVideoWindowSubWnd::SetBackgroundColor(const QColor& color)
{
    m_background = color;
    if (m_playWnd)
        m_playWnd->SetBackgroundColor(color);
}

void CSFQTVideoWindowSubWnd::SetProportion(int w, int h)
{
    if (m_playWnd)
        m_playWnd->SetProportion(w, h);
}

void CSFQTVideoWindowSubWnd::SetRecordState(int state)
{
    if (m_playWnd)
        m_playWnd->SetRecordState(state);
}

void CSFQTVideoWindowSubWnd::SetVideoState(int on)
{
    m_videoOn = on;
    if (m_playWnd)
        m_playWnd->SetVideoState(on);
    if (!on)
        FreeRGBBuffer();
    update();
}

void CSFQTVideoWindowSubWnd::SetOpacity(double opacity)
{
    if (std::isnan(opacity) || opacity < 0.0 || opacity > 1.0)
        return;
    m_opacity = opacity;
    if (m_playWnd)
        m_playWnd->SetOpacity(opacity);
    update();
}

BYTE* CSFQTVideoWindowSubWnd::GetRGBBuffer(int w, int h)
{
    if (w < 1 || h < 1)
        return nullptr;
    const size_t need = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
    try {
        if (m_rgb.size() < need || m_rgb.size() > 2 * need) {
            std::vector<BYTE>().swap(m_rgb);
            m_rgb.resize(need);
        }
        std::fill(m_rgb.begin(), m_rgb.end(), 0);
    } catch (const std::bad_alloc&) {
        FreeRGBBuffer();
        return nullptr;
    }
    m_rgbSize = need;
    return m_rgb.data();
}

void CSFQTVideoWindowSubWnd::FreeRGBBuffer()
{
    std::vector<BYTE>().swap(m_rgb);
    m_rgbSize = 0;
}

int CSFQTVideoWindowSubWnd::IsGeometryAnimating() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running ? 1 : 0;
}

void CSFQTVideoWindowSubWnd::LaunchSubWinFocusAni()
{
    if (IsGeometryAnimating()) {
        emit sigSubWinFocus();
        return;
    }
    raise();
    setFocus(Qt::OtherFocusReason);
    // Without an active window Qt sends no focus event: take it directly.
    if (m_grid && m_grid->CurrentCell() != this)
        TakeFocus();
}

QPropertyAnimation* CSFQTVideoWindowSubWnd::LaunchSubWinGeometryChangeAni(QRect end, QRect start, int duration,
                                                                          const QEasingCurve curve, bool startNow)
{
    if (m_grid && !m_grid->AnimationsEnabled()) {
        setGeometry(end);
        return nullptr;
    }
    if (IsGeometryAnimating()) {
        if (startNow) {
            emit sigSubWinGeometryChange(end, start, duration, curve, startNow);
            return nullptr;
        }
        m_animation->setCurrentTime(m_animation->totalDuration());
    }
    raise();
    delete m_animation;
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    connect(animation, &QPropertyAnimation::finished, this, &CSFQTVideoWindowSubWnd::OnAnimationSubWinFinished);
    m_animation = animation;
    animation->setDuration(10);
    animation->setStartValue(start.isValid() ? start : geometry());
    animation->setEndValue(end);
    animation->setEasingCurve(curve);
    if (startNow)
        animation->start();
    return animation;
}

void CSFQTVideoWindowSubWnd::OnAnimationSubWinFinished()
{
    if (m_animation)
        m_animation->deleteLater();
    m_animation = nullptr;
}

void CSFQTVideoWindowSubWnd::TakeFocus()
{
    CSFQTVideoWindowSubWnd* previous = m_grid ? m_grid->CurrentCell() : nullptr;
    if (previous == this)
        return;
    if (m_grid)
        m_grid->SetCurrentCell(this);
    if (previous) {
        if (ISFVideoWindowEvent* handler = m_grid->Handler())
            handler->OnFocusWndChanged(m_id, previous->GetID());
        previous->update();
    }
    raise();
    update();
}

void CSFQTVideoWindowSubWnd::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    TakeFocus();
}

void CSFQTVideoWindowSubWnd::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_movePending = false;
    update();
}

void CSFQTVideoWindowSubWnd::HandleMousePress(Qt::MouseButton button, const QPoint& global, bool onButton)
{
    if (button != Qt::LeftButton || !m_grid)
        return;
    m_movePending = !onButton;
    m_pressOffset = global - pos();
    setFocus(Qt::MouseFocusReason);
    TakeFocus();
    m_grid->OnCellPress(this, global);
}

void CSFQTVideoWindowSubWnd::HandleMouseMove(const QPoint& global, bool onButton)
{
    if (IsGeometryAnimating())
        m_animation->setCurrentTime(m_animation->totalDuration());
    if (!m_grid || !m_movePending || m_grid->IsEnableFrameZoomConst() || m_grid->ActiveCheckModeOn() ||
        m_grid->DragModeOn() || m_zoomed || m_grid->GetCurrentSubWinCountConst() <= 1 || onButton)
        return;
    move(global - m_pressOffset);
    m_grid->OnCellDragged();
}

void CSFQTVideoWindowSubWnd::HandleMouseRelease(Qt::MouseButton button, const QPoint& playWndPoint)
{
    if (button != Qt::LeftButton || !m_grid)
        return;
    m_movePending = false;
    m_grid->OnCellRelease(this, playWndPoint);
}

void CSFQTVideoWindowSubWnd::HandleDoubleClick(bool onButton)
{
    if (onButton || !m_grid)
        return;
    const int index = m_grid->IndexOfCell(this);
    if (index >= 0)
        m_grid->SubWinDblClickZoom(index, this);
}

void CSFQTVideoWindowSubWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    HandleMousePress(event->button(), event->globalPosition().toPoint(), false);
}

void CSFQTVideoWindowSubWnd::mouseMoveEvent(QMouseEvent* event)
{
    HandleMouseMove(event->globalPosition().toPoint(), false);
    event->accept();
}

void CSFQTVideoWindowSubWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = m_playWnd ? m_playWnd->mapFromGlobal(event->globalPosition().toPoint()) : QPoint();
    HandleMouseRelease(event->button(), point);
}

void CSFQTVideoWindowSubWnd::mouseDoubleClickEvent(QMouseEvent*) { HandleDoubleClick(false); }

void CSFQTVideoWindowSubWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_playWnd)
        m_playWnd->SetArea(3, 3, width() - 3, height() - 3);
}

void CSFQTVideoWindowSubWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    const QColor fill = m_videoOn ? QColor(0, 0, 0) : m_background;
    const bool current = hasFocus() || (m_grid && m_grid->CurrentCell() == this);
    if (m_grid && m_grid->GetVideoWindowModeConst() == VIDEOWINDOWMODE_NORMAL && current) {
        painter.setPen(QPen(m_grid->FocusFrameColor(), 4));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect());
        painter.fillRect(QRect(QPoint(3, 3), QPoint(width() - 3, height() - 3)), fill);
    } else {
        painter.fillRect(rect(), fill);
    }
}
