#pragma once

#include <QGroupBox>

#include "Widgets/SFGroupBox.h"

// Titled frame around other controls.
class CSFQTGroupBox : public QGroupBox, public CSFGroupBox {
    Q_OBJECT
public:
    explicit CSFQTGroupBox(ISFGroupBoxEvent* handler);
    ~CSFQTGroupBox() override = default;

    int Create(const wchar_t* title, DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin() override { return 0; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetWindowTextW(const wchar_t* text) override;
    int GetWindowTextW(wchar_t* buffer, int size) const override;

    // Create with a UTF-8 title.
    int CreateUtf8(const char* title, DWORD style, const tagRECT& rect, void* parent, UINT id);
};
