#pragma once

#include <QFrame>

#include "Widgets/SFFrameWnd.h"

// Bare frame window; it makes itself its handler's UI window.
class CSFQTFrame : public QFrame, public CSFFrameWnd {
public:
    explicit CSFQTFrame(ISFFrameEvent* handler);
    ~CSFQTFrame() override = default;

    int Create(const wchar_t* className, const wchar_t* title, DWORD style, const tagRECT& rect, void* parent,
               const wchar_t* menuName, DWORD exStyle, void* context) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
};
