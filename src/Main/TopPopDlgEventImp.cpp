#include "Main/TopPopDlgEventImp.h"

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Main/MainFrameEventImp.h"
#include "Main/ShellSkins.h"
#include "Main/TabBarEventImp.h"
#include "Main/ToolBarEventImp.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr UINT kZoomId = 134;
constexpr UINT kModeId = 135;
constexpr UINT kFullScreenId = 136;
constexpr int kPlayWindowTab = 169;

}  // namespace

SF_BEGIN_MESSAGE_MAP(CTopPopDlgEventImp)
SF_ON_COMMAND(kFullScreenId, OnFullScreenButton)
SF_END_MESSAGE_MAP()

CTopPopDlgEventImp::CTopPopDlgEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner) : m_owner(owner) {}

CTopPopDlgEventImp::~CTopPopDlgEventImp()
{
    SFDestroyDialog(m_pDialog);
}

boost::shared_ptr<CTopPopDlgEventImp> CTopPopDlgEventImp::Create(const boost::shared_ptr<CMainFrameEventImp>& owner)
{
    auto dlg = boost::make_shared<CTopPopDlgEventImp>(owner);
    DialogStyle style = MakeTopPopStyle();
    dlg->m_pDialog = SFCreateDialog(dlg.get(), owner ? owner->GetUIWnd() : nullptr);
    if (!dlg->m_pDialog)
        return dlg;
    dlg->m_pDialog->SetSkin(&style);
    dlg->m_pDialog->SetDrawBackGround(1);
    dlg->m_pDialog->Create(L"", nullptr);
    dlg->m_pDialog->ModifyDlgStyleEx(0, 0x8, 0);
    dlg->m_pDialog->ShowWindow(0);
    return dlg;
}

void CTopPopDlgEventImp::Dlg_OnInitDialog(int)
{
    tagRECT screen{};
    SFGetScreenRect(&screen);
    const int screenWidth = screen.right - screen.left + 1;
    const int left = (screenWidth - kWidth) / 2;
    tagRECT c{8, 0, 57, 62};
    m_pZoom = CreateRadio(kZoomId, c, L"Digital Zoom", true);
    const int step = c.right - c.left + 8;
    c.left += step;
    c.right += step;
    m_pMode = CreateRadio(kModeId, c, L"Drag", false);
    c.left += step;
    c.right += step;
    m_pFullScreen = SFCreateButton(this);
    if (m_pFullScreen) {
        ImageButtonStyle skin = MakeFullScreenButtonStyle();
        m_pFullScreen->SetSkin(&skin);
        m_pFullScreen->Create(L"", 0x10010000, c, GetUIWnd(), kFullScreenId);
        m_pFullScreen->SetToolTipText(GetLangString(L"Full Screen"));
    }
    if (m_pDialog)
        m_pDialog->MoveWindow(left, 0, kWidth, kHeight);
}

CSFRadioBox* CTopPopDlgEventImp::CreateRadio(UINT id, const tagRECT& rect, const wchar_t* tipKey, bool zoom)
{
    CSFRadioBox* radio = SFCreateRadioBox(this);
    if (!radio)
        return nullptr;
    ImageRadioBox skin = zoom ? MakeZoomRadioStyle() : MakeDragRadioStyle();
    radio->SetSkin(&skin);
    radio->Create(L"", 0x10010000, rect, GetUIWnd(), id);
    radio->SetToolTipText(GetLangString(tipKey));
    return radio;
}

bool CTopPopDlgEventImp::IsActive() const
{
    return !m_owner.expired() && m_pDialog && m_pDialog->IsDlgVisible();
}

void CTopPopDlgEventImp::Park()
{
    if (!m_pDialog)
        return;
    tagRECT rect{};
    m_pDialog->GetDlgWindowRect(&rect);
    const int height = rect.bottom - rect.top + 1;
    m_pDialog->MoveWindow(rect.left, kParkedVisible - height, rect.right - rect.left + 1, height);
}

void CTopPopDlgEventImp::OnDlgMouseHover()
{
    if (!IsActive())
        return;
    tagRECT rect{};
    m_pDialog->GetDlgWindowRect(&rect);
    if (rect.top < 0)
        m_pDialog->MoveWindow(rect.left, 0, rect.right - rect.left + 1, rect.bottom - rect.top + 1);
}

void CTopPopDlgEventImp::OnDlgMouseLeave()
{
    if (IsActive())
        Park();
}

void CTopPopDlgEventImp::SetModeTip(int childSwitch)
{
    if (m_pMode)
        m_pMode->SetToolTipText(GetLangString(childSwitch ? L"Child-window Switch" : L"Drag"));
}

void CTopPopDlgEventImp::OnDlgShowWindow(int show, UINT)
{
    auto owner = m_owner.lock();
    if (!show || !owner || !owner->GetToolBar() || !m_pZoom || !m_pMode)
        return;
    m_pZoom->SetCheck(owner->GetToolBar()->IsDigitalZoomChecked());
    m_pMode->SetCheck(owner->GetToolBar()->IsDragChecked());
    SetModeTip(m_pMode->GetCheck());
}

void CTopPopDlgEventImp::RADIO_OnClicked(int check, int id, tagPOINT pt)
{
    auto owner = m_owner.lock();
    if (!owner || !m_pZoom || !m_pMode)
        return;
    if (owner->GetToolBar())
        owner->GetToolBar()->RADIO_OnClicked(check, id, pt);
    if (check) {
        m_pZoom->SetCheck(0);
        m_pMode->SetCheck(0);
        if (id == static_cast<int>(kZoomId)) {
            m_pZoom->SetCheck(1);
            SetModeTip(0);
        } else if (id == static_cast<int>(kModeId)) {
            m_pMode->SetCheck(1);
            SetModeTip(1);
        }
    } else if (id == static_cast<int>(kModeId)) {
        SetModeTip(0);
    }
}

void CTopPopDlgEventImp::OnFullScreenButton()
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    if (owner->IsFullScreen())
        owner->SetFullScreen(0);
    auto tabBar = owner->GetTabBar();
    if (tabBar && tabBar->IsPageTabChecked(kPlayWindowTab))
        owner->ShowFileList(owner->IsFileListShown());
    else if (tabBar)
        tabBar->ArrangePageTabs(0);
}

void CTopPopDlgEventImp::OnDlgKeyDown(UINT modifiers, UINT key)
{
    if (auto owner = m_owner.lock())
        owner->OnDlgKeyDown(modifiers, key);
}

void CTopPopDlgEventImp::Dlg_Destroy()
{
    SFDestroyRadioBox(m_pMode);
    SFDestroyRadioBox(m_pZoom);
    SFDestroyButton(m_pFullScreen);
    m_pMode = m_pZoom = nullptr;
    m_pFullScreen = nullptr;
}
