#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageComboBoxStyle;

// A drop-down list.
class CSFComboBox {
public:
    explicit CSFComboBox(ISFComboBoxEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFComboBox() = default;
    CSFComboBox(const CSFComboBox&) = default;
    CSFComboBox& operator=(const CSFComboBox&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageComboBoxStyle*) { return 0; }
    // Colour (COLORREF) of the shown text.
    virtual void SetTextColor(UINT) {}
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int AddString(const wchar_t*) { return 0; }
    virtual int DeleteString(UINT) { return 0; }
    // Item text into a buffer of `size` characters, always terminated.
    virtual int GetLBText(int /*index*/, wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual int GetCurSel() const { return -1; }
    virtual int SetCurSel(int) { return 0; }
    virtual int GetCount() const { return 0; }
    virtual void EnableWindow(int) {}

    ISFComboBoxEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFComboBoxEvent* m_pHandler;
};
