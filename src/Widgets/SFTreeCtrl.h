#pragma once

#include <cstdint>

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct UITreeCtrlStyle;

// Special item handles: the invisible root, and insertion first or last.
inline void* const SF_TVI_ROOT = reinterpret_cast<void*>(std::uintptr_t{0xFFFF0000});
inline void* const SF_TVI_FIRST = reinterpret_cast<void*>(std::uintptr_t{0xFFFF0001});
inline void* const SF_TVI_LAST = reinterpret_cast<void*>(std::uintptr_t{0xFFFF0002});

// A tree.
class CSFTreeCtrl {
public:
    explicit CSFTreeCtrl(ISFTreeCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFTreeCtrl() = default;
    CSFTreeCtrl(const CSFTreeCtrl&) = default;
    CSFTreeCtrl& operator=(const CSFTreeCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT, int) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(UITreeCtrlStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void* GetChildItem(void*) const { return nullptr; }
    virtual UINT GetCount() const { return 0; }
    virtual UINT GetChildrenCount(void*) const { return 0; }
    virtual void* GetImageList(UINT) const { return nullptr; }
    virtual DWORD GetItemData(void*) const { return 0; }
    virtual int GetTreeItemText(void*, wchar_t*, int) { return 0; }
    virtual void* GetNextItem(void*, UINT) const { return nullptr; }
    virtual void* GetNextSiblingItem(void*) const { return nullptr; }
    virtual void* GetParentItem(void*) const { return nullptr; }
    virtual void* GetPrevSiblingItem(void*) const { return nullptr; }
    virtual void* GetRootItem() const { return nullptr; }
    virtual void ExpandTreeItem(void*, UINT) {}
    virtual void* FindChildItem(const wchar_t*, void*) const { return nullptr; }
    virtual void* SetImageList(void*, int) { return nullptr; }
    virtual int SetItemData(void*, DWORD) { return 0; }
    virtual int DeleteAllItems() { return 0; }
    virtual void SetItemImage(void*, int, int) {}
    virtual int GetItemImage(void*, int&, int&) const { return 0; }
    virtual int DeleteItem(void*) { return 0; }
    virtual void* InsertItem(const wchar_t*, void* /*parent*/, void* /*after*/) { return nullptr; }
    virtual UINT GetItemState(void*, UINT) const { return 0; }
    virtual int SetCheck(void*, int) { return 0; }
    virtual int GetCheck(void*) const { return 0; }
    virtual void SetItemHilight(void*, int) {}
    virtual int IsItemHilight(void*) { return 0; }
    virtual int IsAnyChildItemHilight(void*) { return 0; }
    virtual void SetAllItemCheck(int) {}
    virtual int IsAllItemCheck() { return 0; }
    virtual int ItemHasChildren(void*) const { return 0; }
    virtual int SetItemIcon(void*, const wchar_t*) { return 0; }
    virtual int SetItemIcon(DWORD, int) { return 0; }
    virtual void GetClientRect(tagRECT*) {}
    virtual void SetEnable(int) {}
    virtual void SetUserCheckable(int) {}
    virtual void SetItemUserCheckable(void*, int) {}
    virtual void SetToolTipText(void*, const wchar_t*) {}

    ISFTreeCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFTreeCtrlEvent* m_pHandler;
};
