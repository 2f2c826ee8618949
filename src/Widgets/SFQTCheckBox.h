#pragma once

#include <QPixmap>
#include <QPushButton>

#include "Widgets/SFCheckBox.h"

// Image check box on a push button: every release toggles it; a click sends
// a command to the parent window. Its images follow the widget's size: cut
// when smaller than the hover image, stretched by nine pieces when larger.
class CSFQTCheckBox : public QPushButton, public CSFCheckBox {
    Q_OBJECT
public:
    enum State { StateHover = 0, StatePressed = 1, StateNormal = 2 };

    explicit CSFQTCheckBox(ISFCheckBoxEvent* handler);
    ~CSFQTCheckBox() override = default;

    int Create(const char* text, DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetCheck(int check) override;
    int GetCheck(int* checked) const override;
    int GetWindowTextW(wchar_t* buffer, int size) const override;
    void SetWindowTextW(const wchar_t* text) override;
    int SetSkin(ImageCheckBox* skin) override;

    // The image nine-piece stretched to `size`: corners kept, edges and
    // centre repeated from the middle row and column.
    static QPixmap StretchSkinPixmap(const QPixmap& image, QSize size);
    const QPixmap& Image(int index) const { return m_images[index]; }
    int GetState() const { return m_state; }
    bool IsChecked() const { return m_checked; }
    UINT GetControlId() const { return m_controlId; }

public slots:
    void OnCheckStateChanged();

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
    void FitImagesToSize();
    const QPixmap& CurrentImage() const;

    int m_state = StateNormal;
    bool m_checked = false;
    UINT m_controlId = static_cast<UINT>(-1);
    // Order of the skin record; the sources as loaded, the images as drawn.
    QPixmap m_sources[8];
    QPixmap m_images[8];
};
