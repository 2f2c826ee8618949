#pragma once

#include <QLabel>
#include <QPixmap>

#include "Widgets/SFPictureCtrl.h"

// Skin image scaled to the control with a centred caption over it.
class CSFQTPictureCtrl : public QLabel, public CSFPictureCtrl {
    Q_OBJECT
public:
    explicit CSFQTPictureCtrl(ISFPictureCtrlEvent* handler);
    ~CSFQTPictureCtrl() override = default;

    int Create(const wchar_t* text, DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin() override { return 1; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetImage(const wchar_t* name) override;
    void* GetHWnd() override { return static_cast<QWidget*>(this); }

    const QPixmap& Image() const { return m_image; }
    const QString& Caption() const { return m_caption; }
    UINT GetControlId() const { return m_controlId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    UINT m_controlId = static_cast<UINT>(-1);
    QPixmap m_image;
    QString m_caption;
};
