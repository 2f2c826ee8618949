#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"

class CMainFrameEventImp;
class CSFButton;
class CSFDialog;
class CSFPictureCtrl;
class CSFStatic;

// The "About" box: a picture, the version and rights lines and the web-site
// link, all texts from the language file.
class CAboutDlgEventImp : public ISFDialogEvent, private ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kLinkId = 189;

    explicit CAboutDlgEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner);
    ~CAboutDlgEventImp() override;
    CAboutDlgEventImp(const CAboutDlgEventImp&) = delete;
    CAboutDlgEventImp& operator=(const CAboutDlgEventImp&) = delete;

    static boost::shared_ptr<CAboutDlgEventImp> Create(const boost::shared_ptr<CMainFrameEventImp>& owner);
    CSFDialog* GetDlg() const { return m_pDialog; }
    CSFButton* GetLink() const { return m_pLink; }

    // Opens the link's text in the default browser; nothing when empty.
    void OpenWebSite();

    void Dlg_OnInitDialog(int modeless) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;

private:
    void BTN_OnLButtonDown(int id, UINT flags, tagPOINT point) override;
    void BTN_OnLButtonUp(int id, UINT flags, tagPOINT point) override;
    void BTN_OnMouseMove(int id, UINT flags, tagPOINT point) override;
    void BTN_OnMouseLeave(int id, UINT flags, long param) override;
    void SetLinkColor(int id, DWORD color);

    CSFDialog* m_pDialog = nullptr;
    boost::weak_ptr<CMainFrameEventImp> m_owner;
    CSFPictureCtrl* m_pPicture = nullptr;
    CSFStatic* m_pVersion = nullptr;
    CSFStatic* m_pRights = nullptr;
    CSFButton* m_pLink = nullptr;
};
