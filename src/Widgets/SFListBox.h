#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// A list box.
class CSFListBox {
public:
    explicit CSFListBox(ISFListBoxEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFListBox() = default;
    CSFListBox(const CSFListBox&) = default;
    CSFListBox& operator=(const CSFListBox&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCount() const { return 0; }
    // Row text into a buffer of `size` characters, always terminated.
    virtual int GetText(int /*index*/, wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual int GetCurSel() const { return 0; }
    virtual int SetCurSel(int) { return 0; }
    virtual int AddString(const wchar_t*) { return 0; }
    virtual int DeleteString(UINT) { return 0; }

    ISFListBoxEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFListBoxEvent* m_pHandler;
};
