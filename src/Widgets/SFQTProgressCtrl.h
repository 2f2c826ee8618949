#pragma once

#include <QProgressBar>

#include "Widgets/SFProgressCtrl.h"

// Progress bar whose background and bar come from skin images.
class CSFQTProgressCtrl : public QProgressBar, public CSFProgressCtrl {
    Q_OBJECT
public:
    explicit CSFQTProgressCtrl(ISFProgressCtrlEvent* handler);
    ~CSFQTProgressCtrl() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageProgressCtrlStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int ModifyStyleEx(DWORD, DWORD, UINT) override { return 1; }
    int GetPos() override { return value(); }
    void GetRange(int& min, int& max) override;
    void SetPos(int pos) override { setValue(pos); }
    void SetRange(int min, int max) override { setRange(min, max); }
    void SetTextVisible(int visible) override { setTextVisible(visible != 0); }
    void SetTextFormat(const wchar_t* text) override { setFormat(QString::fromWCharArray(text)); }

    UINT GetControlId() const { return m_controlId; }

private:
    UINT m_controlId = static_cast<UINT>(-1);
};
