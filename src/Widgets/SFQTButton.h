#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

#include "Widgets/SFButton.h"

// Skinned image push button with an optional text; reports to its
// ISFButtonEvent and sends a command to its parent window on a click.
class CSFQTButton : public QPushButton, public CSFButton {
    Q_OBJECT
    Q_PROPERTY(float picTransparence READ PicTransparence WRITE SetPicTransparence)
public:
    enum State { StateHover = 0, StatePressed = 1, StateNormal = 2, StateReleased = 4 };

    explicit CSFQTButton(ISFButtonEvent* handler);
    ~CSFQTButton() override;

    int Create(const wchar_t* text, DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageButtonStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void SetTextColor(DWORD color) override;
    void SetTextOffset(int x, int y) override { m_textOffset = QPoint(x, y); }
    void SetTextAlign(UINT flags) override;
    void SetTooltipEnable(int enable) override { m_tooltipEnabled = enable; }
    void SetToolTipText(const wchar_t* text) override;
    int GetWindowTextW(wchar_t* buffer, int size) const override;
    void SetWindowTextW(const wchar_t* text) override;
    void GetBTNWindowRect(tagRECT* rect) override;

    float PicTransparence() const { return m_picTransparence; }
    void SetPicTransparence(float value);
    int GetState() const { return m_state; }
    UINT GetControlId() const { return m_controlId; }
    int TextFlags() const { return m_textFlags; }
    int ElideMode() const { return m_elideMode; }

public slots:
    void OnClicked();
    void OnAnimationPicTransFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetState(int state);
    const QPixmap& CurrentImage() const;

    UINT m_controlId = 0;
    int m_textFlags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignHCenter;
    int m_elideMode = 3;
    int m_state = StateNormal;
    QColor m_textColor = Qt::black;
    QPoint m_textOffset;
    int m_tooltipEnabled = 1;
    QPixmap m_hoverImage;
    QPixmap m_pressedImage;
    QPixmap m_normalImage;
    QPixmap m_disabledImage;
    QPixmap m_releasedImage;
    QObject* m_transition = nullptr;
    float m_picTransparence = 1.0f;
};
