#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"

struct ImageButtonStyle;

// A skinned push button as event objects see it.
class CSFButton {
public:
    explicit CSFButton(ISFButtonEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFButton() = default;
    CSFButton(const CSFButton&) = default;
    CSFButton& operator=(const CSFButton&) = default;

    virtual int Create(const wchar_t* /*text*/, DWORD /*style*/, const tagRECT& /*rect*/, void* /*parent*/, UINT /*id*/) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageButtonStyle* /*style*/) { return 0; }
    virtual void ShowWindow(int /*show*/) {}
    virtual void MoveWindow(tagRECT* /*rect*/) {}
    virtual void MoveWindow(int /*x*/, int /*y*/, int /*w*/, int /*h*/) {}
    virtual void EnableWindow(int /*enable*/) {}
    virtual void SetTextColor(DWORD /*color*/) {}
    virtual void SetTextOffset(int /*x*/, int /*y*/) {}
    virtual void SetTextAlign(UINT /*flags*/) {}
    virtual void SetTooltipEnable(int /*enable*/) {}
    virtual void SetToolTipText(const wchar_t* /*text*/) {}
    // Copies at most size - 1 characters and always terminates; returns the
    // number copied.
    virtual int GetWindowTextW(wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual void SetWindowTextW(const wchar_t* /*text*/) {}
    virtual void GetBTNWindowRect(tagRECT* /*rect*/) {}

protected:
    ISFButtonEvent* m_pHandler;
};
