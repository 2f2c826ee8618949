#include "Main/ToolBarEventImp.h"

#include <string>

#include <QFileInfo>

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Main/AboutDlgEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/ShellSkins.h"
#include "Main/TabBarEventImp.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr int kButtonWidth = 49;
constexpr int kButtonHeight = 62;
constexpr int kGap = 8;
constexpr int kWindowButtonSize = 13;

ImageButtonStyle PageButtonStyle(const std::wstring& stem)
{
    const std::wstring n = stem + L"nor.png", o = stem + L"over.png", d = stem + L"down.png", x = stem + L"dis.png";
    return MakeButtonStyle({n.c_str(), o.c_str(), d.c_str(), x.c_str()});
}

ImageButtonStyle SingleImageStyle(const wchar_t* image)
{
    return MakeButtonStyle({image, image, image});
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CToolBarEventImp)
SF_ON_COMMAND(CToolBarEventImp::kCloseId, OnSFBtnClose)
SF_ON_COMMAND(CToolBarEventImp::kMaximizeId, OnSFBtnMax)
SF_ON_COMMAND(CToolBarEventImp::kMinimizeId, OnSFBtnMin)
SF_ON_COMMAND(CToolBarEventImp::kAboutId, OnSFBtnAbout)
SF_ON_COMMAND(CToolBarEventImp::kAddFilesId, OnSFBtnAddFiles)
SF_ON_COMMAND(CToolBarEventImp::kSearchId, OnSFBtnSearch)
SF_ON_COMMAND(CToolBarEventImp::kPreviewId, OnSFBtnPreview)
SF_ON_COMMAND(CToolBarEventImp::kExportId, OnSFBtnExport)
SF_ON_COMMAND(CToolBarEventImp::kWatermarkId, OnSFBtnWatermark)
SF_ON_COMMAND(CToolBarEventImp::kFullScreenId, OnSFBtnFullScreen)
SF_ON_COMMAND(CToolBarEventImp::kConfigId, OnSFBtnConfig)
SF_END_MESSAGE_MAP()

CToolBarEventImp::CToolBarEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner) : m_owner(owner) {}

CToolBarEventImp::~CToolBarEventImp()
{
    SFDestroyView(m_pView);
}

boost::shared_ptr<CToolBarEventImp> CToolBarEventImp::Create(const boost::shared_ptr<CMainFrameEventImp>& owner)
{
    auto bar = boost::make_shared<CToolBarEventImp>(owner);
    bar->m_pView = SFCreateView(bar.get());
    if (!bar->m_pView)
        return bar;
    bar->m_pView->SetBackground(L"bg_toolbar.png");
    bar->m_pView->Create(nullptr, L"ToolBar", 0x50000000, ShellRect(0, 0, 1000, 62), owner ? owner->GetUIWnd() : nullptr,
                         101);
    return bar;
}

std::wstring CToolBarEventImp::LogoImage()
{
    // A language without a logo of its own shows the English one.
    const std::wstring logo = L"logo_" + std::to_wstring(GetLanguageNumber()) + L".png";
    return QFileInfo::exists(SFQTSkinFilePath(logo.c_str())) ? logo : std::wstring(L"logo_1.png");
}

int CToolBarEventImp::OnCreate()
{
    void* parent = GetUIWnd();
    m_pLeftLogo = SFCreatePictureCtrl(nullptr);
    if (m_pLeftLogo) {
        m_pLeftLogo->SetImage(LogoImage().c_str());
        m_pLeftLogo->Create(L"", 0x50000000, ShellRect(20, 8, 168, 46), parent, UINT(-1));
    }
    int x = 20 + 168 + kGap;
    m_pAddFiles = CreateButton(kAddFilesId, x, 0, kButtonWidth, kButtonHeight, L"Add Files",
                               PageButtonStyle(L"btn_addfile"), true);
    m_pSearch = CreateButton(kSearchId, x, 0, kButtonWidth, kButtonHeight, L"Search", PageButtonStyle(L"btn_search"),
                             false);
    const int step = kButtonWidth + kGap;
    m_pPreview = CreateButton(kPreviewId, x += step, 0, kButtonWidth, kButtonHeight, L"Preview",
                              PageButtonStyle(L"btn_preview"), true);
    m_pExport = CreateButton(kExportId, x += step, 0, kButtonWidth, kButtonHeight, L"Export File",
                             PageButtonStyle(L"btn_ouput"), true);
    x += step;
    m_pSeparator1 = CreateButton(-1, x, 3, 2, 55, nullptr, SingleImageStyle(L"btn_seperater.png"), true);
    x += 2 + kGap;
    m_pZoom = CreateRadio(kZoomId, x, L"Digital Zoom", true);
    m_pDrag = CreateRadio(kDragId, x += step, L"Drag", false);
    m_pFullScreen = CreateButton(kFullScreenId, x += step, 0, kButtonWidth, kButtonHeight, L"Full Screen",
                                 PageButtonStyle(L"btn_fullscreen"), true);
    x += step;
    m_pSeparator2 = CreateButton(-1, x, 3, 2, 55, nullptr, SingleImageStyle(L"btn_seperater.png"), true);
    x += 2 + kGap;
    m_pWatermark = CreateButton(kWatermarkId, x, 0, kButtonWidth, kButtonHeight, L"Watermark Check",
                                PageButtonStyle(L"btn_watermark"), true);
    m_pConfig = CreateButton(kConfigId, x += step, 0, kButtonWidth, kButtonHeight, L"Config",
                             PageButtonStyle(L"btn_config"), true);
    CreateWindowButtons();
    return 1;
}

void CToolBarEventImp::CreateWindowButtons()
{
    const int s = kWindowButtonSize;
    m_pAbout = CreateButton(kAboutId, 920, 5, s, s, L"About", SingleImageStyle(L"btn_lock.png"), true);
    m_pClose = CreateButton(kCloseId, 920, 5, s, s, L"Close", SingleImageStyle(L"btn_close.png"), true);
    m_pMinimize = CreateButton(kMinimizeId, 920, 5, s, s, L"Min", SingleImageStyle(L"btn_minimize.png"), true);
    m_pMaximize = CreateButton(kMaximizeId, 920, 5, s, s, L"Max", SingleImageStyle(L"btn_maximize.png"), true);
    m_pRightLogo = SFCreatePictureCtrl(nullptr);
    if (m_pRightLogo) {
        m_pRightLogo->SetImage(L"logoRight.png");
        m_pRightLogo->Create(L"", 0x50000000, ShellRect(0, 0, 83, 33), GetUIWnd(), UINT(-1));
    }
}

CSFButton* CToolBarEventImp::CreateButton(int id, int x, int y, int w, int h, const wchar_t* tipKey,
                                          const ImageButtonStyle& skin, bool visible)
{
    CSFButton* button = SFCreateButton(nullptr);
    if (!button)
        return nullptr;
    ImageButtonStyle style = skin;
    button->SetSkin(&style);
    button->Create(L"", visible ? 0x50000000 : 0x40000000, ShellRect(x, y, w, h), GetUIWnd(), UINT(id));
    if (tipKey)
        button->SetToolTipText(GetLangString(tipKey));
    return button;
}

CSFRadioBox* CToolBarEventImp::CreateRadio(int id, int x, const wchar_t* tipKey, bool zoom)
{
    CSFRadioBox* radio = SFCreateRadioBox(this);
    if (!radio)
        return nullptr;
    ImageRadioBox skin = zoom ? MakeZoomRadioStyle() : MakeDragRadioStyle();
    radio->SetSkin(&skin);
    radio->Create(L"", 0x50000000, ShellRect(x, 0, kButtonWidth, kButtonHeight), GetUIWnd(), UINT(id));
    radio->SetToolTipText(GetLangString(tipKey));
    return radio;
}

CSFButton* CToolBarEventImp::GetButton(int id) const
{
    switch (id) {
    case kAddFilesId: return m_pAddFiles;
    case kSearchId: return m_pSearch;
    case kPreviewId: return m_pPreview;
    case kExportId: return m_pExport;
    case kFullScreenId: return m_pFullScreen;
    case kWatermarkId: return m_pWatermark;
    case kConfigId: return m_pConfig;
    case kAboutId: return m_pAbout;
    case kCloseId: return m_pClose;
    case kMinimizeId: return m_pMinimize;
    case kMaximizeId: return m_pMaximize;
    default: return nullptr;
    }
}

int CToolBarEventImp::IsDigitalZoomChecked() const
{
    return m_pZoom ? m_pZoom->GetCheck() : 0;
}

int CToolBarEventImp::IsDragChecked() const
{
    return m_pDrag ? m_pDrag->GetCheck() : 0;
}

void CToolBarEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pLeftLogo)
        return;
    const int s = kWindowButtonSize;
    CSFButton* rightToLeft[] = {m_pClose, m_pMaximize, m_pMinimize, m_pAbout};
    int x = cx - 29;
    for (CSFButton* button : rightToLeft) {
        if (button)
            button->MoveWindow(x, 8, s, s);
        x -= 21;
    }
    if (m_pRightLogo)
        m_pRightLogo->MoveWindow(cx - 93, cy - 38, 83, 33);
}

void CToolBarEventImp::OnLButtonDblClk(UINT, tagPOINT)
{
    OnSFBtnMax();
}

void CToolBarEventImp::SetDragTip(int childSwitch)
{
    if (m_pDrag)
        m_pDrag->SetToolTipText(GetLangString(childSwitch ? L"Child-window Switch" : L"Drag"));
}

void CToolBarEventImp::RADIO_OnClicked(int checked, int id, tagPOINT)
{
    if (!m_pZoom || !m_pDrag || (id != kZoomId && id != kDragId))
        return;
    auto owner = m_owner.lock();
    CSFVideoWindow* grid = owner ? owner->GetMainVideoWindow() : nullptr;
    if (checked) {
        m_pZoom->SetCheck(0);
        m_pDrag->SetCheck(0);
        (id == kZoomId ? m_pZoom : m_pDrag)->SetCheck(1);
        if (grid) {
            grid->SetFrameZoomMode(id == kZoomId ? 1 : 0);
            grid->SetDragMode(id == kDragId ? 1 : 0);
        }
        SetDragTip(id == kDragId);
        return;
    }
    if (id == kZoomId) {
        m_pZoom->SetCheck(0);
        if (grid)
            grid->SetFrameZoomMode(0);
    } else {
        m_pDrag->SetCheck(0);
        if (grid)
            grid->SetDragMode(0);
        SetDragTip(0);
    }
}

void CToolBarEventImp::OnSFBtnClose()
{
    auto owner = m_owner.lock();
    if (!owner || !owner->GetMainWindow())
        return;
    owner->GetMainWindow()->ShowWindow(0);
    owner->GetMainWindow()->SendDlgMessage(WM_CLOSE, 0, 0);
}

void CToolBarEventImp::OnSFBtnMax()
{
    auto owner = m_owner.lock();
    if (!owner || !owner->GetMainWindow())
        return;
    CSFDialog* window = owner->GetMainWindow();
    const bool enlarged = window->IsDlgZoomed() || owner->IsFullScreen();
    const wchar_t* image = enlarged ? L"btn_maximize.png" : L"btn_restore.png";
    if (m_pMaximize) {
        ImageButtonStyle skin = SingleImageStyle(image);
        m_pMaximize->SetSkin(&skin);
        m_pMaximize->SetToolTipText(GetLangString(enlarged ? L"Max" : L"Restore"));
    }
    window->MacShowMaximize(!enlarged);
    auto tabBar = owner->GetTabBar();
    if (tabBar && tabBar->IsPageTabChecked(CTabBarEventImp::kPlayWindowTab))
        owner->ShowFileList(owner->IsFileListShown());
    else if (tabBar)
        tabBar->ArrangePageTabs(0);
}

void CToolBarEventImp::OnSFBtnMin()
{
    auto owner = m_owner.lock();
    if (owner && owner->GetMainWindow())
        owner->GetMainWindow()->MacShowMinimize(true);
}

void CToolBarEventImp::OnSFBtnAbout()
{
    auto owner = m_owner.lock();
    if (owner && owner->GetAboutDlg() && owner->GetAboutDlg()->GetDlg())
        owner->GetAboutDlg()->GetDlg()->DoModalDlg();
}

void CToolBarEventImp::OnSFBtnAddFiles()
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    wchar_t folder[520] = {};
    wchar_t file[520] = {};
    if (SFShowFileDialog(folder, file, 520, 1, 0, L"kvx", 0, 0x800006, GetLangString(L"KVX Video File(*.kvx)"),
                         owner->GetUIWnd()))
        owner->OnDlgFileDrop(file);
}

void CToolBarEventImp::ShowTab(int tabId)
{
    auto owner = m_owner.lock();
    if (owner && owner->GetTabBar())
        owner->GetTabBar()->ShowPageTab(tabId);
}

void CToolBarEventImp::OnSFBtnSearch()
{
    ShowTab(CTabBarEventImp::kSearchTab);
}

void CToolBarEventImp::OnSFBtnPreview()
{
    ShowTab(CTabBarEventImp::kPreviewTab);
}

void CToolBarEventImp::OnSFBtnExport()
{
    ShowTab(CTabBarEventImp::kExportTab);
}

void CToolBarEventImp::OnSFBtnWatermark()
{
    ShowTab(CTabBarEventImp::kWatermarkTab);
}

void CToolBarEventImp::OnSFBtnConfig()
{
    ShowTab(CTabBarEventImp::kConfigTab);
}

void CToolBarEventImp::OnSFBtnFullScreen()
{
    auto owner = m_owner.lock();
    if (owner && owner->GetTabBar() && owner->GetTabBar()->IsPageTabChecked(CTabBarEventImp::kPlayWindowTab))
        owner->SetFullScreen(1);
}
