#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"

class CMainFrameEventImp;
class CSFButton;
class CSFDialog;
class CSFRadioBox;

// The bar of full-screen mode: parked above the top edge of the screen with
// 5 pixels showing, it slides down under the mouse and repeats the tool
// bar's "Digital Zoom", "Drag" and "Full Screen" buttons.
class CTopPopDlgEventImp : public ISFDialogEvent, public ISFRadioBoxEvent, private ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    static constexpr int kWidth = 179;
    static constexpr int kHeight = 64;
    // Pixels of the parked bar left on screen.
    static constexpr int kParkedVisible = 5;

    explicit CTopPopDlgEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner);
    ~CTopPopDlgEventImp() override;
    CTopPopDlgEventImp(const CTopPopDlgEventImp&) = delete;
    CTopPopDlgEventImp& operator=(const CTopPopDlgEventImp&) = delete;

    static boost::shared_ptr<CTopPopDlgEventImp> Create(const boost::shared_ptr<CMainFrameEventImp>& owner);
    CSFDialog* GetDlg() const { return m_pDialog; }
    CSFRadioBox* GetZoomRadio() const { return m_pZoom; }
    CSFRadioBox* GetModeRadio() const { return m_pMode; }

    // Moves the bar so that only its lowest pixels show.
    void Park();

    void RADIO_OnClicked(int check, int id, tagPOINT pt) override;
    void OnFullScreenButton();
    void Dlg_OnInitDialog(int reason) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void OnDlgSize(UINT, int&, int&) override {}
    void Dlg_Destroy() override;
    void OnDlgMouseLeave() override;
    void OnDlgMouseHover() override;
    void OnDlgShowWindow(int show, UINT status) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;

private:
    CSFRadioBox* CreateRadio(UINT id, const tagRECT& rect, const wchar_t* tipKey, bool zoom);
    void SetModeTip(int childSwitch);
    bool IsActive() const;

    CSFRadioBox* m_pMode = nullptr;
    CSFRadioBox* m_pZoom = nullptr;
    CSFButton* m_pFullScreen = nullptr;
    boost::weak_ptr<CMainFrameEventImp> m_owner;
    CSFDialog* m_pDialog = nullptr;
};
