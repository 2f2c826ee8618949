#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRadioButton>

#include "Widgets/SFRadioBox.h"

// Image toggle with its own checked flag and an optional text beside the
// image. A release inside the widget toggles it, reports to the handler and
// sends a command to the parent window.
class CSFQTRadioBox : public QRadioButton, public CSFRadioBox {
    Q_OBJECT
    Q_PROPERTY(float picTransparence READ PicTransparence WRITE SetPicTransparence)
public:
    enum State { StateNormal = 0, StateHover = 1, StatePressed = 2, StateDisabled = 3 };

    explicit CSFQTRadioBox(ISFRadioBoxEvent* handler);
    ~CSFQTRadioBox() override;

    int Create(const wchar_t* text, DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageRadioBox* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetCheck(int check) override;
    int GetCheck() const override { return m_checked ? 1 : 0; }
    int GetWindowTextW(wchar_t* buffer, int size) const override;
    void SetWindowTextW(const wchar_t* text) override;
    void SetBoldHeavy(int bold) override;
    void SetTextColor(DWORD color) override;
    void SetTextOffset(int offset) override;
    void SetTextAlign(DWORD flags) override;
    void GetRadioClientRect(tagRECT* rect) override;
    void GetRadioWindowRect(tagRECT* rect) override;
    void SetBkColor(DWORD color) override;
    void SetToolTipText(const wchar_t* text) override;
    int IsWindowVisible() override { return isVisible() ? 1 : 0; }
    int IsWindow() override { return 1; }

    float PicTransparence() const { return m_picTransparence; }
    void SetPicTransparence(float value);
    int GetState() const { return m_state; }
    int TextFlags() const { return m_textFlags; }
    UINT GetControlId() const { return m_controlId; }

public slots:
    void OnClicked(bool checked, QPoint point);
    void OnAnimationPicTransFinished();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetState(int state);
    const QPixmap& CurrentImage() const;

    int m_state = StateNormal;
    bool m_checked = false;
    QFont m_textFont;
    QColor m_backgroundColor;
    QColor m_textColor;
    int m_textOffset = 0;
    UINT m_controlId = static_cast<UINT>(-1);
    int m_textFlags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignHCenter;
    // Checked normal, hover, pressed; unchecked normal, hover, pressed;
    // checked disabled; unchecked disabled.
    QPixmap m_images[8];
    QObject* m_transition = nullptr;
    float m_picTransparence = 1.0f;
};
