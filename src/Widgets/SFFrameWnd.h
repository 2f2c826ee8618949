#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"

class CSFChildWnd;
struct DialogStyle;

// A bare frame window container.
class CSFFrameWnd {
public:
    explicit CSFFrameWnd(ISFFrameEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFFrameWnd() = default;
    CSFFrameWnd(const CSFFrameWnd&) = default;
    CSFFrameWnd& operator=(const CSFFrameWnd&) = default;

    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, DWORD /*style*/, const tagRECT& /*rect*/,
                       void* /*parent*/, const wchar_t* /*menuName*/, DWORD /*exStyle*/, void* /*context*/) { return 0; }
    virtual CSFChildWnd* CreateChildWnd() { return nullptr; }
    virtual void ShowWindow(int) {}
    virtual void DockControlBar(void*, UINT, const tagRECT*) {}
    virtual void UIEnableDocking(DWORD) {}
    virtual void SetSkin(DialogStyle*) {}

    void* GetUIWnd() const { return m_pHandler ? m_pHandler->GetUIWnd() : nullptr; }

protected:
    ISFFrameEvent* m_pHandler;
};
