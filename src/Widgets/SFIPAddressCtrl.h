#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// An address field (no Qt form; never created).
class CSFIPAddressCtrl {
public:
    explicit CSFIPAddressCtrl(ISFIPAddressCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFIPAddressCtrl() = default;
    CSFIPAddressCtrl(const CSFIPAddressCtrl&) = default;
    CSFIPAddressCtrl& operator=(const CSFIPAddressCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetAddress(DWORD) {}
    virtual void SetAddress(BYTE, BYTE, BYTE, BYTE) {}
    virtual int GetAddress(DWORD&) { return 0; }
    virtual int GetAddress(BYTE&, BYTE&, BYTE&, BYTE&) { return 0; }
    virtual void ClearAddress() {}

    ISFIPAddressCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFIPAddressCtrlEvent* m_pHandler;
};
