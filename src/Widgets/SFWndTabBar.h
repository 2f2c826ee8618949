#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"

// A bar of window tabs (no Qt form; never created).
class CSFWndTabBar {
public:
    explicit CSFWndTabBar(ISFWndTabBarEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFWndTabBar() = default;
    CSFWndTabBar(const CSFWndTabBar&) = default;
    CSFWndTabBar& operator=(const CSFWndTabBar&) = default;

    virtual int Create(void* /*parent*/, UINT /*id*/) { return 0; }
    virtual void Add(void*) {}
    virtual void Remove(void*) {}

    void* GetUIWnd() const { return m_pHandler ? m_pHandler->GetUIWnd() : nullptr; }

protected:
    ISFWndTabBarEvent* m_pHandler;
};
