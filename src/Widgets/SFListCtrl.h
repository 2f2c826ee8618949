#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ListCtrlStyle;

// A list with columns.
class CSFListCtrl {
public:
    explicit CSFListCtrl(ISFListCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFListCtrl() = default;
    CSFListCtrl(const CSFListCtrl&) = default;
    CSFListCtrl& operator=(const CSFListCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT, bool) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ListCtrlStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCheck(int) const { return 0; }
    virtual int GetColumn(int, void*) const { return 0; }
    virtual int GetItemCount() const { return 0; }
    virtual DWORD GetItemData(int) const { return 0; }
    virtual int GetItemText(int, int, wchar_t*, int) const { return 0; }
    virtual void* GetFirstSelectedItemPosition() const { return nullptr; }
    virtual int GetNextSelectedItem(void*&) const { return 0; }
    virtual DWORD GetExtendedStyle() { return 0; }
    virtual int SetCheck(int, int) { return 0; }
    virtual int SetItemData(int, DWORD) { return 0; }
    virtual int SetItemText(int, int, const wchar_t*) { return 0; }
    virtual int SubItemHitTest(void*) { return 0; }
    virtual int InsertColumn(int, const wchar_t*, int, int, int) { return 0; }
    virtual int InsertItem(int, const wchar_t*) { return 0; }
    virtual DWORD SetExtendedStyle(DWORD) { return 0; }
    virtual int DeleteAllItems() { return 0; }
    virtual int SetColumnWidth(int, int) { return 0; }
    virtual void SetColumnTextAlign(int, UINT) {}
    virtual void SetItemWidget(int, int, void*) {}
    virtual void SetItemIcon(int, int, const wchar_t*) {}
    virtual void SetObjectName(const wchar_t*) {}
    virtual void SetHorizontalHeaderVisible(int) {}
    virtual void ScrollToBottom() {}
    virtual void SetToolTipText(int, int, const wchar_t*) {}
    virtual void SetShowGrid(int) {}

    ISFListCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFListCtrlEvent* m_pHandler;
};
