#pragma once

#include <vector>

#include <QColor>
#include <QEasingCurve>
#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>

#include "Platform/Win32/Win32Types.h"

class CSFQTVideoWindow;
class CSFQTVideoWindowPlayWnd;

// One cell of the video grid: owns a play window, draws the focus frame,
// follows the mouse while dragged, zooms on double-click (through the grid)
// and animates its geometry.
class CSFQTVideoWindowSubWnd : public QWidget {
    Q_OBJECT
public:
    explicit CSFQTVideoWindowSubWnd(CSFQTVideoWindow* grid);
    ~CSFQTVideoWindowSubWnd() override;

    int Create(const wchar_t* title, const tagRECT& rect, QWidget* parent, int id, int proportionW, int proportionH);
    void SetBackgroundColor(const QColor& color);
    void SetProportion(int w, int h);
    void SetRecordState(int state);
    void SetVideoState(int on);
    int IsVideoOn() const { return m_videoOn; }
    int IsZoomed() const { return m_zoomed; }
    void SetZoomed(int zoomed) { m_zoomed = zoomed; }
    CSFQTVideoWindowPlayWnd* GetPlayWnd() const { return m_playWnd; }
    int GetID() const { return m_id; }
    void SetOpacity(double opacity);
    double Opacity() const { return m_opacity; }
    BYTE* GetRGBBuffer(int w, int h);
    void FreeRGBBuffer();
    size_t RGBBufferSize() const { return m_rgbSize; }
    const BYTE* RGBBufferData() const { return m_rgb.empty() ? nullptr : m_rgb.data(); }
    int IsGeometryAnimating() const;
    CSFQTVideoWindow* Grid() const { return m_grid; }

    // Mouse input, from the cell itself or its play window (global points).
    void HandleMousePress(Qt::MouseButton button, const QPoint& global, bool onButton);
    void HandleMouseMove(const QPoint& global, bool onButton);
    void HandleMouseRelease(Qt::MouseButton button, const QPoint& playWndPoint);
    void HandleDoubleClick(bool onButton);

signals:
    void sigSubWinFocus();
    void sigSubWinGeometryChange(QRect end, QRect start, int duration, QEasingCurve curve, bool startNow);

public slots:
    void LaunchSubWinFocusAni();
    QPropertyAnimation* LaunchSubWinGeometryChangeAni(QRect end, QRect start, int duration, const QEasingCurve curve,
                                                      bool startNow);
    void OnAnimationSubWinFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TakeFocus();

    CSFQTVideoWindow* m_grid;
    int m_id = -1;
    CSFQTVideoWindowPlayWnd* m_playWnd = nullptr;
    QColor m_background{92, 101, 118};
    int m_videoOn = 0;
    int m_zoomed = 0;
    double m_opacity = 1.0;
    bool m_movePending = false;
    QPoint m_pressOffset;
    std::vector<BYTE> m_rgb;
    size_t m_rgbSize = 0;
    QPointer<QPropertyAnimation> m_animation;
};
