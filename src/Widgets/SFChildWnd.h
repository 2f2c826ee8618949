#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"

// A bare child window container.
class CSFChildWnd {
public:
    explicit CSFChildWnd(ISFChildWndEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFChildWnd() = default;
    CSFChildWnd(const CSFChildWnd&) = default;
    CSFChildWnd& operator=(const CSFChildWnd&) = default;

    virtual int Create(UINT /*id*/, const char* /*title*/, int /*show*/) { return 0; }
    virtual void ShowWindow(int) {}

    void* GetUIWnd() const { return m_pHandler ? m_pHandler->GetUIWnd() : nullptr; }

protected:
    ISFChildWndEvent* m_pHandler;
};
