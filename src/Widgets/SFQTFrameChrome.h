#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>

#include <functional>

#include "Widgets/SFQTFrameSkin.h"

class QLabel;
class QMouseEvent;
class QResizeEvent;
class QWidget;
class CSFDialog;
struct DialogStyle;

// Runs the frame skin of a frameless top-level window: composition, mask,
// title-bar buttons, title label and dragging by the caption. The dialog
// and the main window each own one and forward their Qt events to it.
class CSFQTFrameChrome {
public:
    enum class Variant { Dialog, MainWindow };

    struct Actions {
        std::function<bool()> isMaximized;  // blocks the caption drag
        std::function<void()> close, maximize, minimize, normal;
        std::function<void(int, int)> sized;  // reported after a composed resize
    };

    CSFQTFrameChrome(QWidget* window, CSFDialog* dialog, Variant variant, Actions actions);
    ~CSFQTFrameChrome();
    CSFQTFrameChrome(const CSFQTFrameChrome&) = delete;
    CSFQTFrameChrome& operator=(const CSFQTFrameChrome&) = delete;

    SFQTFrameSkin& Skin() { return m_skin; }
    const SFQTFrameSkin& Skin() const { return m_skin; }
    const QPixmap& Composed() const { return m_composed; }
    QLabel* TitleLabel() const { return m_titleLabel; }
    int HoveredButton() const { return m_hovered; }
    int ButtonState() const { return m_state; }
    bool IsDragging() const { return m_dragging; }

    void SetSkin(const DialogStyle& style);
    void SetCornerRadii(QPoint radii) { m_skin.cornerRadii = radii; }
    void OnResize(int width, int height, int oldWidth);
    // False when there is nothing composed (the window then paints by default).
    bool Paint();
    void LayoutTitleText(const QString& text);
    void OnMousePress(QMouseEvent* event);
    void OnMouseMove(QMouseEvent* event);
    void OnMouseRelease(QMouseEvent* event);
    // Resets the hovered button (dialog only).
    void OnLeave();

    // Button 1..4 under a window point (hit order 1, 2, 3, 4); 0 for none.
    int ButtonAt(QPoint point) const;

private:
    void SetHover(int button, int state);
    void RepaintButton(int button);
    void DrawButton(class QPainter& painter, int button);
    void ClampReleasePosition(QPoint cursorGlobal);
    void ReleaseOnButton(int button);

    QWidget* m_window;
    CSFDialog* m_dialog;
    Variant m_variant;
    Actions m_actions;
    SFQTFrameSkin m_skin;
    QPixmap m_composed;
    QLabel* m_titleLabel = nullptr;
    bool m_dragging = false;
    QPoint m_dragOffset;
    int m_hovered = 0;
    int m_state = SFQTFrameSkin::StateNormal;
};
