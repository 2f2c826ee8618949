#pragma once

#include <functional>

#include <QComboBox>
#include <QPixmap>

#include "Widgets/SFComboBox.h"

// Drop-down list drawn from pieces of one skin image. Adding items stays
// silent; a change of the current item by the user or SetCurSel reports
// SelectChanged.
class CSFQTComboBox : public QComboBox, public CSFComboBox {
    Q_OBJECT
public:
    enum State { StateNormal = 0, StateHover = 1, StateListOpen = 2, StateDisabled = 3 };
    enum Piece { PieceNormal = 0, PieceHover = 1, PieceListBelow = 2, PieceListAbove = 3, PieceDisabled = 4 };
    static constexpr int kPieceCount = 7;
    static constexpr int kRowHeight = 25;

    struct SkinPiece {
        tagRECT source{0, 0, 0, 0};
        int used = 0;
        int stretch = 0;
    };

    explicit CSFQTComboBox(ISFComboBoxEvent* handler);
    ~CSFQTComboBox() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageComboBoxStyle* skin) override;
    void SetTextColor(UINT color) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int AddString(const wchar_t* text) override;
    int DeleteString(UINT index) override;
    int GetLBText(int index, wchar_t* buffer, int size) const override;
    int GetCurSel() const override { return currentIndex(); }
    int SetCurSel(int index) override;
    int GetCount() const override { return count(); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void showPopup() override;
    void hidePopup() override;

    // The piece painting uses now (-1 when none is given).
    int PieceToDraw() const;
    const SkinPiece& Piece(int index) const { return m_pieces[index]; }
    int GetState() const { return m_state; }
    static QString SkinStyleSheet();

public slots:
    void OnSelectChanged(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Runs `change` without reporting the selection changes it causes.
    void WithoutSelectReport(const std::function<void()>& change);
    void SetState(int state);
    bool PopupIsActive() const;
    bool ListFitsBelow() const;
    int UsedPieceOr(int wanted, int fallback) const;

    SkinPiece m_pieces[kPieceCount];
    int m_state = StateNormal;
    QPixmap m_skinImage;
    QColor m_textColor;  // the palette's when not set
    UINT m_controlId = static_cast<UINT>(-1);
    int m_listShown = 0;
};
