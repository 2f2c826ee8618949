#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"

// A docking bar (no Qt form; never created).
class CSFControlBar {
public:
    explicit CSFControlBar(ISFControlBarEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFControlBar() = default;
    CSFControlBar(const CSFControlBar&) = default;
    CSFControlBar& operator=(const CSFControlBar&) = default;

    virtual int Create(void* /*parent*/, UINT /*id*/, DWORD /*style*/, const wchar_t* /*title*/) { return 0; }

    void* GetUIWnd() const { return m_pHandler ? m_pHandler->GetUIWnd() : nullptr; }

protected:
    ISFControlBarEvent* m_pHandler;
};
