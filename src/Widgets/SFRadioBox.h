#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageRadioBox;

// A radio box.
class CSFRadioBox {
public:
    explicit CSFRadioBox(ISFRadioBoxEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFRadioBox() = default;
    CSFRadioBox(const CSFRadioBox&) = default;
    CSFRadioBox& operator=(const CSFRadioBox&) = default;

    virtual int Create(const wchar_t* /*text*/, DWORD /*style*/, const tagRECT& /*rect*/, void* /*parent*/, UINT /*id*/) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageRadioBox*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetCheck(int) {}
    virtual int GetCheck() const { return 0; }
    virtual int GetWindowTextW(wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void SetBoldHeavy(int) {}
    virtual void SetTextColor(DWORD) {}
    virtual void SetTextOffset(int) {}
    virtual void SetTextAlign(DWORD) {}
    virtual void GetRadioClientRect(tagRECT*) {}
    virtual void GetRadioWindowRect(tagRECT*) {}
    virtual void SetImageInfo(void*, void*) {}
    virtual void SetBkColor(DWORD) {}
    virtual void SetTooltipEnable(int) {}
    virtual void SetToolTipText(const wchar_t*) {}
    virtual int IsWindowVisible() { return 0; }
    virtual int IsWindow() { return 0; }
    virtual void Invalidate(int) {}

    ISFRadioBoxEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFRadioBoxEvent* m_pHandler;
};
