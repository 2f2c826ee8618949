#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageProgressCtrlStyle;

// A progress bar.
class CSFProgressCtrl {
public:
    explicit CSFProgressCtrl(ISFProgressCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFProgressCtrl() = default;
    CSFProgressCtrl(const CSFProgressCtrl&) = default;
    CSFProgressCtrl& operator=(const CSFProgressCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageProgressCtrlStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int ModifyStyleEx(DWORD, DWORD, UINT) { return 0; }
    virtual int GetPos() { return 0; }
    virtual void GetRange(int&, int&) {}
    virtual void SetPos(int) {}
    virtual void SetRange(int, int) {}
    virtual int SetStep(int) { return 0; }
    virtual int StepIt() { return 0; }
    virtual void SetTextVisible(int) {}
    // The text shown on the bar: "%p" stands for the percent.
    virtual void SetTextFormat(const wchar_t*) {}

    ISFProgressCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFProgressCtrlEvent* m_pHandler;
};
