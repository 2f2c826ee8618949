#pragma once

#include <memory>

#include <QPixmap>
#include <QSlider>

#include "Widgets/SFSliderCtrl.h"

class QSliderExStyle;

// Horizontal slider drawn from six pieces of one skin image. The handle
// follows the pointer; positions reach the handler on every press, drag
// step and wheel turn, or only on release, as the response mode says.
class CSFQTSliderCtrl : public QSlider, public CSFSliderCtrl {
    Q_OBJECT
public:
    explicit CSFQTSliderCtrl(ISFSliderCtrlEvent* handler);
    ~CSFQTSliderCtrl() override;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id, SLIDER_RESPONSE_MODE mode) override;
    int SetSkin(ImageSliderStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetPos() const override { return value(); }
    void GetRange(int& min, int& max) const override;
    void SetPos(int pos) override { setValue(pos); }
    void SetRange(int min, int max, int) override { setRange(min, max); }
    void SetTooltipEnable(int enable) override { m_tooltipEnabled = enable != 0 ? 1 : 0; }

    // Skin image 0..5 (passed track, remaining track, handle normal, hover,
    // pressed, disabled); null when absent or out of range.
    const QPixmap* GetSkinPixmap(int index) const;
    // Centre of the handle for a value.
    QPoint ValueToHandlePos(int value) const;
    // Value under a pointer x (within the range).
    int ValueFromPointer(int x) const;
    // Whole percentage of the range a value stands at (0..100).
    static int PercentOfRange(int value, int min, int max);
    int IsDragging() const { return m_dragging; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    int HandleWidth() const;
    void MoveToPointer(int x);
    void ReportPosition();
    void ShowPercentTip(const QPoint& globalPointer);

    std::unique_ptr<QPixmap> m_images[6];
    std::unique_ptr<QSliderExStyle> m_style;
    int m_dragging = 0;
    UINT m_controlId = static_cast<UINT>(-1);
    int m_tooltipEnabled = 1;
    SLIDER_RESPONSE_MODE m_responseMode = SLIDER_RESPONSE_CONTINUOUS;
};
