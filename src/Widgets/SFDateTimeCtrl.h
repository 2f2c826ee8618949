#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageDateTimeStyle;

// A date or time picker.
class CSFDateTimeCtrl {
public:
    explicit CSFDateTimeCtrl(ISFDateTimeCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFDateTimeCtrl() = default;
    CSFDateTimeCtrl(const CSFDateTimeCtrl&) = default;
    CSFDateTimeCtrl& operator=(const CSFDateTimeCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageDateTimeStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void EnableWindow(int) {}
    virtual void GetWindowRect(tagRECT*) {}
    virtual int GetTime(_SF_SYSTEMTIME*) const { return 0; }
    virtual int GetDate(_SF_SYSTEMTIME*) const { return 0; }
    virtual int SetTime(_SF_SYSTEMTIME*) { return 0; }
    virtual int SetDate(_SF_SYSTEMTIME*) { return 0; }

    ISFDateTimeCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFDateTimeCtrlEvent* m_pHandler;
};
