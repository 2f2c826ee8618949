#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFDialogEvent.h"

struct DialogStyle;

// A top-level dialog or the main window as event objects see it. Every
// operation has a harmless default; the Qt forms override what they support.
class CSFDialog {
public:
    explicit CSFDialog(ISFDialogEvent* handler) : m_pHandler(handler)
    {
        if (m_pHandler)
            m_pHandler->ResetMessageIDCache();
    }
    virtual ~CSFDialog() = default;
    CSFDialog(const CSFDialog&) = default;
    CSFDialog& operator=(const CSFDialog&) = default;

    virtual int* GetThisMessageIDs() { return m_pHandler ? m_pHandler->GetThisMessageIDs() : nullptr; }
    virtual int CreateDlg(void* /*parent*/) { return 0; }
    virtual int DoModalDlg() { return -1; }
    virtual int Create(const wchar_t* /*name*/, void* /*parent*/) { return 0; }
    virtual void ShowWindow(int /*show*/) {}
    virtual void MoveWindow(tagRECT* /*rect*/) {}
    virtual void MoveWindow(int /*x*/, int /*y*/, int /*w*/, int /*h*/) {}
    virtual void MFCOK() {}
    virtual void MFCCancel() {}
    virtual void CenterWindow(void** /*reserved*/) {}
    virtual void SetSkin(DialogStyle* /*style*/) {}
    virtual void Screen2Client(tagPOINT* /*point*/) {}
    virtual void Screen2Client(tagRECT* /*rect*/) {}
    virtual void GetDlgClientRect(tagRECT* /*rect*/) {}
    virtual void GetDlgWindowRect(tagRECT* /*rect*/) {}
    virtual void SendDlgMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {}
    virtual int IsDlgZoomed() { return 0; }
    virtual void SetDrawBackGround(int /*draw*/) {}
    virtual int DlgIsWindow() { return 0; }
    virtual int SetDlgWindowPos(void* /*insertAfter*/, int /*x*/, int /*y*/, int /*cx*/, int /*cy*/, UINT /*flags*/) { return 0; }
    virtual int ModifyDlgStyleEx(DWORD /*remove*/, DWORD /*add*/, UINT /*flags*/) { return 0; }
    virtual void SetWindowTextW(const wchar_t* /*text*/) {}
    virtual void SetDlgIcon(UINT /*iconId*/) {}
    virtual void SetDlgIcon(const wchar_t* /*path*/) {}
    virtual int IsDlgVisible() { return 0; }
    virtual void EnableNcLBtnDown(int /*enable*/) {}
    virtual UINT SetDlgTimer(UINT /*id*/, UINT /*ms*/) { return 0; }
    virtual int KillDlgTimer(UINT /*id*/) { return 0; }
    virtual void SetSizeRoundCorner(const wchar_t* /*radii*/) {}
    virtual void MacShowFullScreen(bool /*on*/) {}
    virtual void MacShowMinimize(bool /*on*/) {}
    virtual void MacShowMaximize(bool /*on*/) {}
    virtual int HasFocus() { return 0; }
    virtual void SetFocus() {}
    virtual int IsActiveWindow() { return 0; }
    virtual void ActiveWindow() {}

    void* GetUIWnd() const { return m_pHandler ? m_pHandler->GetUIWnd() : nullptr; }
    ISFDialogEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFDialogEvent* m_pHandler;
};
