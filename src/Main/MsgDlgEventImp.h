#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Common/UserMessages.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"

class CMainFrameEventImp;
class CSFButton;
class CSFDialog;
class CSFStatic;

// Where the prompt's text, buttons and frame go for a text of a given size.
struct MsgDlgLayout {
    tagRECT text;
    tagRECT ok;
    tagRECT cancel;
    tagRECT dialog;
};

// The program's modal prompt: a text sized to fit and "OK" (and "Cancel").
class CMsgDlgEventImp : public ISFDialogEvent, private ISFButtonEvent, public IPromptDialog {
    SF_DECLARE_MESSAGE_MAP()
public:
    // Narrowest prompt, so that two buttons always fit.
    static constexpr int kMinWidth = 200;

    explicit CMsgDlgEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner);
    ~CMsgDlgEventImp() override;
    CMsgDlgEventImp(const CMsgDlgEventImp&) = delete;
    CMsgDlgEventImp& operator=(const CMsgDlgEventImp&) = delete;

    static boost::shared_ptr<CMsgDlgEventImp> Create(const boost::shared_ptr<CMainFrameEventImp>& owner);
    static MsgDlgLayout ComputeLayout(int textWidth, int textHeight, int type);

    // type 1: "OK" and "Cancel". 1 for OK or Enter, 2 for Cancel, Escape or
    // the close box. A prompt asked while this one is open is shown in a
    // dialog of its own, on top, and answered before this one.
    int ShowMsg(const wchar_t* text, const wchar_t* title, int type) override;
    CSFDialog* GetDlg() const { return m_pDialog; }

    void Dlg_OnInitDialog(int modeless) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;

private:
    CSFButton* CreateButton(const wchar_t* textKey, UINT id);
    int ShowInOwnDialog(const wchar_t* text, const wchar_t* title, int type);

    CSFDialog* m_pDialog = nullptr;
    boost::weak_ptr<CMainFrameEventImp> m_owner;
    CSFStatic* m_pText = nullptr;
    CSFButton* m_pOk = nullptr;
    CSFButton* m_pCancel = nullptr;
    bool m_showing = false;
};
