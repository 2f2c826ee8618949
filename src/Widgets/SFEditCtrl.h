#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// A one-line edit.
class CSFEditCtrl {
public:
    explicit CSFEditCtrl(ISFEditCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFEditCtrl() = default;
    CSFEditCtrl(const CSFEditCtrl&) = default;
    CSFEditCtrl& operator=(const CSFEditCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(const wchar_t*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetWindowTextW(wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void EnableWindow(int) {}

    ISFEditCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFEditCtrlEvent* m_pHandler;
};
