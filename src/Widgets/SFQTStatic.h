#pragma once

#include <QColor>
#include <QLabel>

#include "Widgets/SFStatic.h"

// Text label painted in its own colour and alignment; it grows to fit its
// text and never shrinks.
class CSFQTStatic : public QLabel, public CSFStatic {
    Q_OBJECT
public:
    explicit CSFQTStatic(ISFStaticEvent* handler);
    ~CSFQTStatic() override = default;

    int Create(const wchar_t* text, DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin() override { return 1; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    // Right and bottom lie outside, as in Create.
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetStaticText(wchar_t* buffer, int size) const override;
    void SetStaticText(const wchar_t* text) override;
    void SetTextAlignFlag(UINT flags) override;
    UINT GetTextAlignFlag() override { return static_cast<UINT>(m_textFlags); }
    void SetTextColor(UINT color) override;
    void SetTextBold(int bold) override;
    void GetTextSize(int& w, int& h) override;
    void SetBgColor(UINT color, int) override;

    // DrawText flags in Qt alignment and text flags.
    static int TextFlagsFromDrawText(UINT flags);
    UINT GetControlId() const { return m_controlId; }
    const QColor& TextColor() const { return m_textColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TextBounds(const QRect& within) const;

    UINT m_controlId = static_cast<UINT>(-1);
    int m_bold = 0;
    QColor m_textColor;
    QColor m_backgroundColor = Qt::white;
    int m_textFlags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignLeft;
};
