#include "Widgets/SFQTFrameChrome.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "Widgets/SFDialog.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/WidgetsLog.h"

namespace {

QRect AvailablePrimaryArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

CSFQTFrameChrome::CSFQTFrameChrome(QWidget* window, CSFDialog* dialog, Variant variant, Actions actions)
    : m_window(window), m_dialog(dialog), m_variant(variant), m_actions(std::move(actions))
{
    if (m_variant == Variant::MainWindow)
        m_skin.Clear();
}

CSFQTFrameChrome::~CSFQTFrameChrome() = default;

void CSFQTFrameChrome::SetSkin(const DialogStyle& style)
{
    if (!style.Field(57)->empty()) {
        const tagPOINT pair = SFQTParseSkinPointW(style.Field(57)->c_str());
        const QSize size(SFQTLimitSkinValue(pair.x), SFQTLimitSkinValue(pair.y));
        m_skin.initialSize = size;
        m_dialog->SetDlgWindowPos(nullptr, 0, 0, size.width(), size.height(), 2);
        m_dialog->CenterWindow(nullptr);
    }
    m_skin.Parse(style, m_variant == Variant::Dialog);
}

void CSFQTFrameChrome::OnResize(int W, int H, int oldWidth)
{
    if (m_skin.frameImage.isNull())
        return;
    m_skin.caption = QRect(0, 0, W, std::max(m_skin.caption.height(), 0));
    for (QRect& dest : m_skin.buttonDest) {
        if (!dest.isValid())
            continue;
        dest.translate(dest.left() >= 0 ? W - oldWidth : W, 0);
    }
    const QSize frame = m_skin.frameImage.size();
    if (W <= frame.width() && H <= frame.height())
        m_composed = m_skin.frameImage.copy(0, 0, W, H);
    else
        m_composed = SFQTComposeFramePixmap(m_skin, W, H);
    if (m_titleLabel)
        LayoutTitleText(m_titleLabel->text());
    SFQTApplyRoundMask(m_window, m_skin.cornerRadii.x(), m_skin.cornerRadii.y());
    if (m_actions.sized)
        m_actions.sized(W, H);
}

void CSFQTFrameChrome::DrawButton(QPainter& painter, int button)
{
    const int index = button - 1;
    const int state = (button == m_hovered) ? m_state : SFQTFrameSkin::StateNormal;
    const int slot = (state == SFQTFrameSkin::StateOver || state == SFQTFrameSkin::StateDown) ? state : 0;
    const QRect& dest = m_skin.buttonDest[index];
    if (m_variant == Variant::Dialog && button == 1 && state == SFQTFrameSkin::StateOver)
        qCDebug(lcWidgets) << "m_dlgBtnState == BTN_STATE_OVER";
    if (m_variant == Variant::Dialog && button == 1 && state == SFQTFrameSkin::StateDown)
        qCDebug(lcWidgets) << "m_dlgBtnState == BTN_STATE_DOWN";
    const QPixmap& normalImage = m_skin.stateImages[index][0];
    if (m_variant == Variant::Dialog && !normalImage.isNull()) {
        const QPixmap& image = m_skin.stateImages[index][slot];
        if (!image.isNull()) {
            painter.drawPixmap(dest, image);
            return;
        }
    }
    if (!dest.isValid())
        return;
    const QRect& source = m_skin.buttonSource[index][slot];
    if (source.isValid() && !m_skin.frameImage.isNull())
        painter.drawPixmap(dest, m_skin.frameImage, source);
}

bool CSFQTFrameChrome::Paint()
{
    if (m_composed.isNull())
        return false;
    QPainter painter(m_window);
    painter.drawPixmap(m_window->rect(), m_composed);
    for (int button = 1; button <= SFQTFrameSkin::kButtonCount; ++button)
        DrawButton(painter, button);
    return true;
}

void CSFQTFrameChrome::LayoutTitleText(const QString& text)
{
    const QFontMetrics metrics(m_window->font());
    const int tw = metrics.horizontalAdvance(text);
    const int th = metrics.height();
    int x = 15;
    if (m_variant == Variant::Dialog && m_skin.titleAlign == 1)
        x = (m_window->width() - (tw + 1)) / 2;
    else if (m_variant == Variant::Dialog && m_skin.titleAlign == 2)
        x = m_window->width() - (tw + 1);
    const QRect geometry(x, 8, tw + 2, th + 2);
    if (!m_titleLabel) {
        m_titleLabel = new QLabel(text, m_window);
        QPalette palette = m_titleLabel->palette();
        palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(Qt::black));
        m_titleLabel->setPalette(palette);
        m_titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_titleLabel->show();
    }
    m_titleLabel->setText(text);
    m_titleLabel->setGeometry(geometry);
    if (m_variant == Variant::MainWindow)
        m_window->setWindowTitle(text);
}

int CSFQTFrameChrome::ButtonAt(QPoint point) const
{
    for (int button = 1; button <= SFQTFrameSkin::kButtonCount; ++button) {
        const QRect& dest = m_skin.buttonDest[button - 1];
        if (dest.isValid() && dest.contains(point))
            return button;
    }
    return 0;
}

void CSFQTFrameChrome::SetHover(int button, int state)
{
    const int previous = m_hovered;
    m_hovered = button;
    m_state = button ? state : SFQTFrameSkin::StateNormal;
    if (previous && previous != button)
        RepaintButton(previous);
    if (button)
        RepaintButton(button);
}

void CSFQTFrameChrome::RepaintButton(int button)
{
    const QRect& dest = m_skin.buttonDest[button - 1];
    if (dest.isValid())
        m_window->update(dest);
    else
        m_window->update();
}

void CSFQTFrameChrome::OnMousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (m_skin.caption.isValid() && m_skin.caption.contains(pos) && !m_actions.isMaximized()) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - m_window->pos();
    }
    const int button = ButtonAt(pos);
    if (button) {
        m_dragging = false;
        if (m_variant == Variant::Dialog && button == 1)
            qCDebug(lcWidgets) << "mousePressEvent m_dlgBtnState == BTN_STATE_DOWN";
        SetHover(button, SFQTFrameSkin::StateDown);
    } else {
        SetHover(0, SFQTFrameSkin::StateNormal);
    }
}

void CSFQTFrameChrome::OnMouseMove(QMouseEvent* event)
{
    const Qt::MouseButtons buttons = event->buttons();
    const QPoint pos = event->position().toPoint();
    const bool leftOnly = buttons == Qt::LeftButton;
    const bool none = buttons == Qt::NoButton && m_variant == Variant::Dialog;
    if (leftOnly && m_dragging && !m_actions.isMaximized()) {
        QPoint target = event->globalPosition().toPoint() - m_dragOffset;
        const QRect area = AvailablePrimaryArea();
        if (area.isValid() && target.y() < area.top())
            target.setY(area.top());
        m_window->move(target);
    }
    if (leftOnly || none) {
        const int button = ButtonAt(pos);
        if (m_variant == Variant::Dialog && button == 1)
            qCDebug(lcWidgets) << "mouseMoveEvent m_dlgBtnState == BTN_STATE_OVER";
        SetHover(button, SFQTFrameSkin::StateOver);
    }
}

void CSFQTFrameChrome::ClampReleasePosition(QPoint cursorGlobal)
{
    const QRect area = AvailablePrimaryArea();
    if (!area.isValid())
        return;
    const QRect window = m_window->geometry();
    // Keep at least the caption reachable on screen.
    const int margin = std::max({area.top(), m_skin.caption.height(), 1});
    int x = cursorGlobal.x() - m_dragOffset.x();
    int y = cursorGlobal.y() - m_dragOffset.y();
    bool moved = false;
    if (y < area.top())
        y = area.top();
    if (area.bottom() < window.bottom() && area.bottom() < y + margin) {
        y = area.bottom() - margin;
        moved = true;
    }
    if (area.left() > window.left() && area.left() > x + window.width() - margin) {
        x = area.left() + margin - window.width();
        moved = true;
    }
    if (area.right() < window.right() && area.right() < x + margin) {
        x = area.right() - margin;
        moved = true;
    }
    if (moved)
        m_window->move(x, y);
}

void CSFQTFrameChrome::ReleaseOnButton(int button)
{
    if (m_variant == Variant::Dialog && button == 1)
        qCDebug(lcWidgets) << "mouseReleaseEvent m_dlgBtnState == BTN_STATE_OVER";
    SetHover(button, SFQTFrameSkin::StateOver);
    const Qt::WindowStates state = m_window->windowState();
    switch (button) {
    case 1:
        m_actions.close();
        break;
    case 2:
        if (state == Qt::WindowNoState)
            m_actions.maximize();
        else if (state == Qt::WindowMaximized)
            m_actions.normal();
        break;
    case 3:
        if (state == Qt::WindowNoState) {
            m_actions.minimize();
            m_window->setWindowState(Qt::WindowMinimized);
        } else if (state == Qt::WindowMaximized) {
            m_actions.normal();
        }
        break;
    default:
        break;
    }
}

void CSFQTFrameChrome::OnMouseRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragging) {
        ClampReleasePosition(event->globalPosition().toPoint());
        m_dragging = false;
    }
    const int button = ButtonAt(event->position().toPoint());
    if (button)
        ReleaseOnButton(button);
    else
        SetHover(0, SFQTFrameSkin::StateNormal);
}

void CSFQTFrameChrome::OnLeave()
{
    if (m_variant != Variant::Dialog)
        return;  // the main window's buttons keep their states
    qCDebug(lcWidgets) << "mouseMoveEvent m_dlgBtnState == BTN_STATE_OVER";
    const int previous = m_hovered;
    m_hovered = 0;
    m_state = SFQTFrameSkin::StateNormal;
    if (previous)
        RepaintButton(previous);
}
