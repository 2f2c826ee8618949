#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// A tab control (no Qt form; never created).
class CSFTabCtrl {
public:
    explicit CSFTabCtrl(ISFTabCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFTabCtrl() = default;
    CSFTabCtrl(const CSFTabCtrl&) = default;
    CSFTabCtrl& operator=(const CSFTabCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCurSel() const { return 0; }
    virtual DWORD GetExtendedStyle() { return 0; }
    virtual int GetItemCount() const { return 0; }
    virtual int SetCurSel(int) { return 0; }
    virtual DWORD SetExtendedStyle(DWORD, DWORD) { return 0; }
    virtual int DeleteAllItems() { return 0; }
    virtual int DeleteItem(int) { return 0; }
    virtual long InsertItem(int, const wchar_t*) { return 0; }

    ISFTabCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFTabCtrlEvent* m_pHandler;
};
