#include "Main/AboutDlgEventImp.h"

#include <boost/make_shared.hpp>

#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Main/MainFrameEventImp.h"
#include "Main/ShellSkins.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr DWORD kLinkColor = 0xff0000;
constexpr DWORD kLinkPressedColor = 150;
constexpr DWORD kLinkHotColor = 255;

CSFStatic* CreateText(const wchar_t* key, const tagRECT& rect, void* parent)
{
    CSFStatic* text = SFCreateStatic(nullptr);
    if (!text)
        return nullptr;
    text->Create(GetLangString(key), 0x10010000, rect, parent, UINT(-1));
    text->SetTextColor(kShellTextColour);
    return text;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CAboutDlgEventImp)
SF_ON_COMMAND(CAboutDlgEventImp::kLinkId, OpenWebSite)
SF_END_MESSAGE_MAP()

CAboutDlgEventImp::CAboutDlgEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner) : m_owner(owner) {}

CAboutDlgEventImp::~CAboutDlgEventImp()
{
    SFDestroyDialog(m_pDialog);
}

boost::shared_ptr<CAboutDlgEventImp> CAboutDlgEventImp::Create(const boost::shared_ptr<CMainFrameEventImp>& owner)
{
    auto dlg = boost::make_shared<CAboutDlgEventImp>(owner);
    dlg->m_pDialog = CreateShellDialog(dlg.get(), owner ? owner->GetUIWnd() : nullptr, MakeInfoDlgStyle(),
                                       L"AboutDlg", GetLangString(L"About"), 360, 250);
    return dlg;
}

void CAboutDlgEventImp::Dlg_OnInitDialog(int modeless)
{
    if (modeless != 1)
        return;
    void* parent = GetUIWnd();
    m_pPicture = SFCreatePictureCtrl(nullptr);
    if (m_pPicture) {
        m_pPicture->SetImage(L"AboutPic.png");
        m_pPicture->Create(L"", 0x50000000, tagRECT{0, 28, 360, 108}, parent, UINT(-1));
    }
    tagRECT rect{53, 128, 353, 148};
    m_pVersion = CreateText(L"ProductVer", rect, parent);
    const int step = rect.bottom - rect.top + 10;
    rect.top += step;
    rect.bottom += step;
    m_pRights = CreateText(L"CopyrightString", rect, parent);
    rect.top += 30;
    rect.bottom += 30;
    m_pLink = SFCreateButton(this);
    if (!m_pLink)
        return;
    m_pLink->SetTextAlign(0x24);
    ImageButtonStyle skin = MakeButtonStyle({L"bg_monitor.png", L"bg_monitor.png", L"bg_monitor.png"});
    m_pLink->SetSkin(&skin);
    m_pLink->Create(GetLangString(L"WebSite"), 0x10010000, rect, parent, kLinkId);
    m_pLink->SetTextColor(kLinkColor);
}

void CAboutDlgEventImp::OpenWebSite()
{
    if (!m_pLink)
        return;
    wchar_t text[128] = {};
    m_pLink->GetWindowTextW(text, 128);
    if (text[0] == 0)
        return;
    SF_SOFT_BASE::CSFSystem::ShellOpen(SF_SOFT_BASE::WideToUtf8(text).c_str());
}

void CAboutDlgEventImp::SetLinkColor(int id, DWORD color)
{
    if (id == static_cast<int>(kLinkId) && m_pLink)
        m_pLink->SetTextColor(color);
}

void CAboutDlgEventImp::BTN_OnLButtonDown(int id, UINT, tagPOINT)
{
    SetLinkColor(id, kLinkPressedColor);
}

void CAboutDlgEventImp::BTN_OnLButtonUp(int id, UINT, tagPOINT)
{
    SetLinkColor(id, kLinkHotColor);
}

void CAboutDlgEventImp::BTN_OnMouseMove(int id, UINT, tagPOINT)
{
    SetLinkColor(id, kLinkHotColor);
}

void CAboutDlgEventImp::BTN_OnMouseLeave(int id, UINT, long)
{
    SetLinkColor(id, kLinkColor);
}

void CAboutDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == VK_ESCAPE && m_pDialog)
        m_pDialog->MFCCancel();
}
