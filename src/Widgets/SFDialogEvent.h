#pragma once

#include "Widgets/SFEventBase.h"

// Callbacks of a dialog or main window to its event object.
class ISFDialogEvent : public CSFEventBase {
public:
    ISFDialogEvent() = default;
    ~ISFDialogEvent() override = default;

    const SF_MSGMAP* GetSFMessageMap() const override { return nullptr; }
    int* GetThisMessageIDs() override { return nullptr; }
    // modeless: 1 when made by Create, 0 when run by DoModalDlg.
    virtual void Dlg_OnInitDialog(int modeless) = 0;
    virtual void Dlg_OnOK() {}
    virtual void Dlg_OnCancel() {}
    virtual void OnDlgSize(UINT /*type*/, int& /*cx*/, int& /*cy*/) {}
    // Non-zero keeps the window open.
    virtual int Dlg_Close() { return 0; }
    virtual void Dlg_Destroy() {}
    virtual void OnDlgNcActivate(int /*active*/) {}
    virtual void OnDlgFileDrop(const wchar_t* /*path*/) {}
    virtual void OnDlgMouseLeave() {}
    virtual void OnDlgMouseHover() {}
    virtual void OnDlgShowWindow(int /*show*/, UINT /*status*/) {}
    virtual void OnDlgTimer(UINT /*timerId*/) {}
    // key: the modifier code (16 Shift, 17 Control, 18 Alt, OR-ed); flags: the key code.
    virtual void OnDlgKeyDown(UINT /*key*/, UINT /*flags*/) {}
    virtual void OnMsgScreenLock(int /*locked*/) {}

    void* GetUIWnd() const { return m_pUIWnd; }
    // Written by the window made for this object.
    void SetUIWnd(void* window) { m_pUIWnd = window; }

private:
    void* m_pUIWnd = nullptr;
};
