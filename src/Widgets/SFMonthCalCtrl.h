#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageMonthCalStyle;

// A month calendar (no Qt form; never created).
class CSFMonthCalCtrl {
public:
    explicit CSFMonthCalCtrl(ISFMonthCalCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFMonthCalCtrl() = default;
    CSFMonthCalCtrl(const CSFMonthCalCtrl&) = default;
    CSFMonthCalCtrl& operator=(const CSFMonthCalCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageMonthCalStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void GetClientRect(tagRECT*) {}
    virtual int GetCurSel(_SF_SYSTEMTIME*) const { return 0; }
    virtual int GetToday(_SF_SYSTEMTIME*) const { return 0; }
    virtual int SetCurSel(_SF_SYSTEMTIME*) { return 0; }
    virtual void SetToday(_SF_SYSTEMTIME*) {}

    ISFMonthCalCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFMonthCalCtrlEvent* m_pHandler;
};
