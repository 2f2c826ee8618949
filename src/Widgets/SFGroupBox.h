#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// A group box.
class CSFGroupBox {
public:
    explicit CSFGroupBox(ISFGroupBoxEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFGroupBox() = default;
    CSFGroupBox(const CSFGroupBox&) = default;
    CSFGroupBox& operator=(const CSFGroupBox&) = default;

    virtual int Create(const wchar_t*, DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual int GetWindowTextW(wchar_t* /*buffer*/, int /*size*/) const { return 0; }

    ISFGroupBoxEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFGroupBoxEvent* m_pHandler;
};
