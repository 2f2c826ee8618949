#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageCheckBox;

// A check box.
class CSFCheckBox {
public:
    explicit CSFCheckBox(ISFCheckBoxEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFCheckBox() = default;
    CSFCheckBox(const CSFCheckBox&) = default;
    CSFCheckBox& operator=(const CSFCheckBox&) = default;

    virtual int Create(const char* /*text*/, DWORD /*style*/, const tagRECT& /*rect*/, void* /*parent*/, UINT /*id*/) { return 0; }
    virtual void SetCursor() {}
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetCheck(int) {}
    virtual int GetCheck(int* /*checked*/) const { return 0; }
    virtual int GetWindowTextW(wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual int SetSkin(ImageCheckBox*) { return 0; }

    ISFCheckBoxEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFCheckBoxEvent* m_pHandler;
};
