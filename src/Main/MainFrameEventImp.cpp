#include "Main/MainFrameEventImp.h"

#include <sys/stat.h>

#include <algorithm>

#include <QCoreApplication>

#include <boost/make_shared.hpp>

#include "Base/FileSystemHelpers.h"
#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Common/ConfigManager.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Export/ExportSimplePlayerViewEventImp.h"
#include "Export/ExportViewEventImp.h"
#include "Main/AboutDlgEventImp.h"
#include "Main/ConfigUILogic.h"
#include "Main/FileListEventImp.h"
#include "Main/MainFrameHelpLogic.h"
#include "Main/MainFrameUILogic.h"
#include "Main/MainPageEventImp.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/ConfigViewEventImp.h"
#include "Main/MessageNotifier.h"
#include "Main/MsgDlgEventImp.h"
#include "Main/ShellSkins.h"
#include "Main/TabBarEventImp.h"
#include "Main/ToolBarEventImp.h"
#include "Main/TopPopDlgEventImp.h"
#include "Preview/PreviewFileListEventImp.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Search/SeachViewEventImp.h"
#include "Watermark/WatermarkEventImp.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr UINT kCloseGraceTimer = 1;
constexpr int kToolBarHeight = 61;

boost::shared_ptr<CMsgDlgEventImp> g_msgDlg;
constexpr int kPlayPauseId = 159;

GroupFileListPtr ToShared(const boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& list)
{
    return list ? std::make_shared<GroupFileList>(*list) : std::make_shared<GroupFileList>();
}

template <class Page>
CSFView* ViewOf(const boost::shared_ptr<Page>& page)
{
    return page ? page->GetView() : nullptr;
}

bool PathExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CMainFrameEventImp)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CMsgDlgEventImp> GetMsgDlg()
{
    return g_msgDlg;
}

CMainFrameEventImp::CMainFrameEventImp(const char* file) : m_commandLineFile(file ? file : "") {}

CMainFrameEventImp::~CMainFrameEventImp()
{
    SetNotifyMessageHandler(nullptr);
    CMessageNotifier::GetInstance()->DestroyDlg();
    if (g_msgDlg) {
        SetPromptDialog(nullptr);
        g_msgDlg.reset();
    }
    // The dialogs' windows are children of the main window; the pages' and
    // bars' views go with it while their event objects still live.
    m_topPopDlg.reset();
    m_aboutDlg.reset();
    SFDestroyMainWindow(m_pMainWindow);
    m_pMainWindow = nullptr;
}

boost::shared_ptr<CMainFrameEventImp> CMainFrameEventImp::Create(const char* file)
{
    auto frame = boost::make_shared<CMainFrameEventImp>(file);
    frame->ShowMainFrame();
    return frame;
}

std::wstring CMainFrameEventImp::MakeCommandLinePath(const std::string& file)
{
    std::string path = file;
    if (!PathExists(path))
        std::replace(path.begin(), path.end(), '\\', '/');
    return SF_SOFT_BASE::Utf8ToWide(path);
}

int CMainFrameEventImp::ShowMainFrame()
{
    DialogStyle style = MakeMainFrameStyle();
    m_pMainWindow = SFCreateMainWindow(this, nullptr);
    if (!m_pMainWindow)
        return 0;
    m_pMainWindow->SetSkin(&style);
    m_pMainWindow->Create(L"", nullptr);
    m_pMainWindow->SetWindowTextW(GetLangString(L"ProductName"));
    m_pMainWindow->SetDlgIcon(L"Lumivex.png");
    CMessageNotifier::GetInstance()->CreateDlg(GetUIWnd());
    SetNotifyMessageHandler([](const std::wstring& text, bool show) {
        CMessageNotifier::GetInstance()->Notify(text, show);
    });
    m_pMainWindow->MoveWindow(0, 0, 1000, 730);
    m_pMainWindow->CenterWindow(nullptr);
    m_pMainWindow->ShowWindow(1);
    return 0;
}

void CMainFrameEventImp::Dlg_OnInitDialog(int reason)
{
    if (reason != 1)
        return;
    CreateChildren();
    OpenInitialFiles();
}

void CMainFrameEventImp::CreateChildren()
{
    auto self = shared_from_this();
    m_toolBar = CToolBarEventImp::Create(self);
    m_tabBar = CTabBarEventImp::Create(self);
    g_msgDlg = CMsgDlgEventImp::Create(self);
    SetPromptDialog(g_msgDlg.get());
    m_topPopDlg = CTopPopDlgEventImp::Create(self);
    m_fileLogic = CMainFrameUILogic::Create(self, &CConfigManager::GetInstance()->GetRecordFormats());
    CreatePages();
    SetPageFactory(m_configView, [this] { return CConfigViewEventImp::Create(shared_from_this()); });
    // What the settings page applies when built, the main page needs at once.
    SetMainVerticalSync(CConfigManager::GetInstance()->VerticalSyn ? 1 : 0);
}

boost::shared_ptr<CAboutDlgEventImp> CMainFrameEventImp::GetAboutDlg()
{
    if (m_aboutDlg || !m_pMainWindow)
        return m_aboutDlg;
    if (auto self = weak_from_this().lock())
        m_aboutDlg = CAboutDlgEventImp::Create(self);
    return m_aboutDlg;
}

void CMainFrameEventImp::CreatePages()
{
    auto self = shared_from_this();
    m_mainPage = CMainPageEventImp::Create(self, GetUIWnd());
    SetPageFactory(m_previewPage, [this] { return CPreviewPageEventImp::Create(shared_from_this(), GetUIWnd()); });
    SetPageFactory(m_searchView, [this] { return CSeachViewEventImp::Create(shared_from_this(), GetUIWnd()); });
    SetPageFactory(m_watermarkPage, [this] { return CWatermarkEventImp::Create(shared_from_this()); });
    SetPageFactory(m_exportView, [this] { return CExportViewEventImp::Create(shared_from_this()); });
    RegisterPageCloser(kMainPlayPage, [this] {
        auto manager = m_mainPage && m_mainPage->GetPlayWinManager() ? m_mainPage->GetPlayWinManager()->GetPlayManagerUILogic()
                                                                      : nullptr;
        if (manager)
            manager->CertainCloseFiles(nullptr, -1);
        else
            Task_OnCloseSuccess(kMainPlayPage);
    });
    // A page never built has nothing open (files handed to it are only
    // held): it answers at once, and is not built for the close.
    RegisterPageCloser(kPreviewPage, [this] {
        if (auto page = m_previewPage.Built())
            page->ProcDestroy();
        else
            Task_OnCloseSuccess(kPreviewPage);
    });
    RegisterPageCloser(kExportPage, [this] {
        if (auto page = m_exportView.Built())
            page->ProcDestroy();
        else
            Task_OnCloseSuccess(kExportPage);
    });
    RegisterPageCloser(kWatermarkPage, [this] {
        if (auto page = m_watermarkPage.Built()) {
            page->ClosePage(1);
            return;
        }
        ResetPageTab(CTabBarEventImp::kWatermarkTab);
        Task_OnCloseSuccess(kWatermarkPage);
    });
}

template <class Page>
void CMainFrameEventImp::SetPageFactory(CLazyPart<Page>& page, typename CLazyPart<Page>::Factory make)
{
    page.SetFactory([this, make] {
        boost::shared_ptr<Page> built = make();
        if (built)
            PlaceBuiltPage(built->GetView());
        return built;
    });
}

void CMainFrameEventImp::PlaceBuiltPage(CSFView* view) const
{
    if (view && m_pageRect) {
        tagRECT page = *m_pageRect;
        view->MoveWindow(&page);
    }
}

void CMainFrameEventImp::OpenInitialFiles()
{
    if (m_commandLineFile.empty()) {
        OpenDroppedPaths(CConfigManager::GetInstance()->GetOpenedPaths());
        return;
    }
    const std::wstring path = MakeCommandLinePath(m_commandLineFile);
    OnDlgFileDrop(path.c_str());
}

void CMainFrameEventImp::OnDlgSize(UINT, int& cx, int& cy)
{
    if (!m_toolBar)
        return;
    if (m_fullScreen) {
        SetMainPageFullScreen(1);
        if (m_mainPage && m_mainPage->GetView())
            m_mainPage->GetView()->MoveWindow(0, 0, cx, cy);
        return;
    }
    LayOutPages(cx, cy);
}

void CMainFrameEventImp::LayOutPages(int cx, int cy)
{
    tagRECT rect{1, 1, cx - 2, 62};
    if (m_toolBar->GetView())
        m_toolBar->GetView()->MoveWindow(&rect);
    rect.top += kToolBarHeight;
    rect.bottom = rect.top + 32;
    if (m_tabBar && m_tabBar->GetView())
        m_tabBar->GetView()->MoveWindow(&rect);
    tagRECT page{1, rect.bottom, cx - 2, cy - 2};
    m_pageRect = page;
    SetMainPageFullScreen(0);
    for (int tab = CTabBarEventImp::kPlayWindowTab; tab <= CTabBarEventImp::kConfigTab; ++tab)
        if (CSFView* view = GetPageView(tab))
            view->MoveWindow(&page);
}

void CMainFrameEventImp::SetFullScreen(int on)
{
    if (on == m_fullScreen || !m_pMainWindow)
        return;
    m_fullScreen = on;
    CSFDialog* pop = m_topPopDlg ? m_topPopDlg->GetDlg() : nullptr;
    if (on == 1) {
        if (m_toolBar && m_toolBar->GetView())
            m_toolBar->GetView()->ShowWindow(0);
        if (m_tabBar && m_tabBar->GetView())
            m_tabBar->GetView()->ShowWindow(0);
        m_pMainWindow->MacShowFullScreen(true);
        LayOutClientArea();
        if (pop) {
            m_topPopDlg->Park();
            pop->ShowWindow(1);
        }
        return;
    }
    m_pMainWindow->MacShowFullScreen(false);
    LayOutClientArea();
    if (pop)
        pop->ShowWindow(0);
    if (m_toolBar && m_toolBar->GetView())
        m_toolBar->GetView()->ShowWindow(1);
    if (m_tabBar && m_tabBar->GetView())
        m_tabBar->GetView()->ShowWindow(1);
}

// A change of window state need not resize the window (maximized to full
// screen without panels), so the layout follows the state at once; a resize
// that comes later lays out again.
void CMainFrameEventImp::LayOutClientArea()
{
    tagRECT client{};
    m_pMainWindow->GetDlgClientRect(&client);
    int cx = client.right - client.left + 1;
    int cy = client.bottom - client.top + 1;
    OnDlgSize(0, cx, cy);
}

void CMainFrameEventImp::OnDlgKeyDown(UINT, UINT key)
{
    switch (key) {
    case VK_ESCAPE:
        if (m_fullScreen)
            SetFullScreen(0);
        break;
    case VK_SPACE:
        if (m_tabBar && m_tabBar->IsPageTabChecked(CTabBarEventImp::kPlayWindowTab))
            ToggleMainPlayback();
        break;
    case VK_F1:
        OpenManual();
        break;
    default:
        break;
    }
}

void CMainFrameEventImp::OpenManual()
{
    const std::string path = SF_SOFT_BASE::WideToUtf8(SFGetAppDir() + L"/" + GetLangString(L"Player User's Guide.pdf"));
    // A FIFO or device would hang the viewer.
    if (SF_SOFT_BASE::IsRegularFile(path))
        SF_SOFT_BASE::CSFSystem::ShellOpen(path.c_str());
}

void CMainFrameEventImp::OnDlgFileDrop(const wchar_t* path)
{
    if (!m_fileLogic)
        return;
    auto dropped = boost::make_shared<std::wstring>(path ? path : L"");
    m_fileLogic->SetDropFiles(dropped);
    m_fileLogic->GenerateFileList(dropped);
}

void CMainFrameEventImp::OnMsgScreenLock(int lock)
{
    if (CSFVideoWindow* grid = GetMainVideoWindow())
        grid->SetLockScreen(lock);
}

int CMainFrameEventImp::Dlg_Close()
{
    if (m_closing) {
        // The window is hidden already, so its close does not end the loop.
        if (m_closeFinished)
            QCoreApplication::quit();
        return 0;
    }
    CloseAllPages();
    return 1;
}

void CMainFrameEventImp::RegisterPageCloser(int pageId, std::function<void()> close)
{
    m_pageClosers[pageId] = std::move(close);
}

// Told before the program ends: the window is already hidden.
void CMainFrameEventImp::TellSaveNotice()
{
    const std::wstring notice = CConfigManager::GetInstance()->GetSaveNotice();
    if (!notice.empty())
        ShowMessageBox(notice.c_str(), GetLangString(L"Prompt"), 0);
}

void CMainFrameEventImp::CloseAllPages()
{
    if (m_pMainWindow)
        m_pMainWindow->ShowWindow(0);
    m_closing = 1;
    for (const auto& closer : m_pageClosers)
        m_pageClose[closer.first] = 0;
    UpdateOpenedPaths();
    CConfigManager::GetInstance()->SaveOpenedPaths();
    TellSaveNotice();
    for (const auto& closer : m_pageClosers)
        if (closer.second)
            closer.second();
    if (IsAllPagesClosed()) {
        FinishClosing();
        return;
    }
    if (m_pMainWindow && m_closeGraceMs > 0)
        m_pMainWindow->SetDlgTimer(kCloseGraceTimer, static_cast<UINT>(m_closeGraceMs));
}

void CMainFrameEventImp::Task_OnCloseSuccess(int pageId)
{
    m_pageClose[pageId] = 1;
    if (m_closing && IsAllPagesClosed())
        FinishClosing();
}

int CMainFrameEventImp::IsAllPagesClosed() const
{
    for (const auto& entry : m_pageClose)
        if (entry.second == 0)
            return 0;
    return 1;
}

void CMainFrameEventImp::OnDlgTimer(UINT timerId)
{
    if (timerId != kCloseGraceTimer || !m_closing || m_closeFinished)
        return;
    m_closeForced = 1;
    FinishClosing();
}

void CMainFrameEventImp::FinishClosing()
{
    if (m_closeFinished)
        return;
    m_closeFinished = 1;
    if (m_pMainWindow) {
        m_pMainWindow->KillDlgTimer(kCloseGraceTimer);
        m_pMainWindow->SendDlgMessage(WM_CLOSE, 0, 0);
    }
    CMessageNotifier::GetInstance()->CloseDlg();
}

void CMainFrameEventImp::ResetPageTab(int tabId)
{
    if (m_tabBar)
        m_tabBar->ResetPageTab(tabId);
}

// Page hookups: where the shell reaches the pages of the other subsystems.

boost::shared_ptr<CMainFrameHelpLogic> CMainFrameEventImp::GetHelpLogic()
{
    return m_fileLogic ? m_fileLogic->GetHelpLogic() : nullptr;
}

boost::shared_ptr<IFileIndexService> CMainFrameEventImp::GetFileIndexService()
{
    return GetHelpLogic();
}

boost::shared_ptr<IFileListOwner> CMainFrameEventImp::GetFileListOwner()
{
    return m_mainPage;
}

void CMainFrameEventImp::FillWatermarkPage(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                           boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles)
{
    m_watermarkPage.Post([groups, singles](CWatermarkEventImp& page) {
        page.AddGroupFiles(groups);
        page.AddSingleFiles(singles);
    });
}

void CMainFrameEventImp::FillExportPage(boost::shared_ptr<CMainFrameHelpLogic>& helpLogic,
                                        boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                        boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles)
{
    m_exportView.Post([helpLogic, groups, singles](CExportViewEventImp& page) mutable {
        page.UpdateFileManager(helpLogic);
        page.FillFileTree(groups);
        page.AddFiles(singles);
    });
    // The folders kept at exit come from the file index also while the
    // export page, which asks for it, is not built.
    if (!m_exportView.Built() && helpLogic) {
        boost::shared_ptr<CFileManager> manager = helpLogic->GetFileManager();
        SetFileManager(manager);
    }
}

void CMainFrameEventImp::FillPreviewPage(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                                         boost::shared_ptr<std::vector<std::wstring>> paths)
{
    m_previewPage.Post([singles, paths](CPreviewPageEventImp& page) { page.SetFiles(singles, paths); });
}

void CMainFrameEventImp::SetSelectAllCheck(int check)
{
    if (m_tabBar)
        m_tabBar->SetSelectAllCheck(check);
}

void CMainFrameEventImp::SetFileManager(boost::shared_ptr<CFileManager>& fileManager)
{
    m_fileManager = fileManager;
    m_exportView.Post([fileManager](CExportViewEventImp& page) mutable { page.SetFileManager(fileManager); });
    m_configView.Post([fileManager](CConfigViewEventImp& page) { page.SetFileManager(fileManager); });
}

void CMainFrameEventImp::UpdateOpenedPaths()
{
    // The settings page need not be built: it keeps nothing of its own here.
    CConfigUILogic::RebuildOpenedPaths(m_fileManager.lock());
}

void CMainFrameEventImp::DeleteCheckedFiles()
{
    if (m_tabBar)
        m_tabBar->OnSFBtnDelete();
}

void CMainFrameEventImp::OpenDroppedPaths(const std::vector<std::wstring>& paths)
{
    if (!m_fileLogic || paths.empty())
        return;
    m_fileLogic->SetDropFiles(boost::make_shared<std::wstring>(paths.back()));
    m_fileLogic->GenerateFileLists(CMainFrameHelpLogic::PackPaths(paths));
}

CSFView* CMainFrameEventImp::GetPageView(int tabId) const
{
    switch (tabId) {
    case CTabBarEventImp::kPlayWindowTab: return m_mainPage ? m_mainPage->GetView() : nullptr;
    case CTabBarEventImp::kSearchTab: return ViewOf(m_searchView.Built());
    case CTabBarEventImp::kPreviewTab: return ViewOf(m_previewPage.Built());
    case CTabBarEventImp::kExportTab: return ViewOf(m_exportView.Built());
    case CTabBarEventImp::kWatermarkTab: return ViewOf(m_watermarkPage.Built());
    case CTabBarEventImp::kConfigTab: return ViewOf(m_configView.Built());
    default: return nullptr;
    }
}

CSFView* CMainFrameEventImp::BuildPageView(int tabId)
{
    switch (tabId) {
    case CTabBarEventImp::kSearchTab: return ViewOf(m_searchView.Get());
    case CTabBarEventImp::kPreviewTab: return ViewOf(m_previewPage.Get());
    case CTabBarEventImp::kExportTab: return ViewOf(m_exportView.Get());
    case CTabBarEventImp::kWatermarkTab: return ViewOf(m_watermarkPage.Get());
    case CTabBarEventImp::kConfigTab: return ViewOf(m_configView.Get());
    default: return GetPageView(tabId);
    }
}

void CMainFrameEventImp::SetMainPageFullScreen(int on)
{
    if (m_mainPage)
        m_mainPage->SetFullScreen(on);
}

namespace {

boost::shared_ptr<CPlayManagerUILogic> PlayLogicOf(const boost::shared_ptr<CMainPageEventImp>& page)
{
    return page && page->GetPlayWinManager() ? page->GetPlayWinManager()->GetPlayManagerUILogic() : nullptr;
}

boost::shared_ptr<CPlayBarEventImp> PlayBarOf(const boost::shared_ptr<CMainPageEventImp>& page)
{
    return page && page->GetPlayWinManager() ? page->GetPlayWinManager()->GetPlayBar() : nullptr;
}

}  // namespace

CSFVideoWindow* CMainFrameEventImp::GetMainVideoWindow() const
{
    return m_mainPage && m_mainPage->GetPlayWinManager() ? m_mainPage->GetPlayWinManager()->GetVideoWindow()
                                                          : nullptr;
}

int CMainFrameEventImp::IsFileListShown() const
{
    auto fileList = m_mainPage ? m_mainPage->GetFileList() : nullptr;
    if (!fileList || !fileList->GetContractRadio())
        return 1;
    return fileList->GetContractRadio()->GetCheck() == 1 ? 1 : 0;
}

void CMainFrameEventImp::ShowFileList(int show)
{
    // The main page arranges the tab bar's header with its file list.
    if (m_mainPage && m_mainPage->GetFileList())
        m_mainPage->ShowFileList(show);
    else if (m_tabBar)
        m_tabBar->ArrangePageTabs(show);
}

void CMainFrameEventImp::CheckAllFileListItems(int check)
{
    auto fileList = m_mainPage ? m_mainPage->GetFileList() : nullptr;
    if (fileList && fileList->GetTreeCtrl())
        fileList->GetTreeCtrl()->SetAllItemCheck(check);
}

void CMainFrameEventImp::ToggleMainPlayback()
{
    auto playBar = PlayBarOf(m_mainPage);
    if (!playBar)
        return;
    const int play = playBar->IsPlaying() ? 0 : 1;
    playBar->UpdateButtonState(kPlayPauseId, play);
    playBar->RADIO_OnClicked(play, kPlayPauseId, tagPOINT{1, 1});
}

void CMainFrameEventImp::StopPreview()
{
    // A preview page not yet built plays nothing.
    if (m_previewPage.Built())
        m_previewPage.Built()->StopPlay();
}

void CMainFrameEventImp::ClosePageOfTab(int tabId)
{
    auto watermark = tabId == CTabBarEventImp::kWatermarkTab ? GetWatermarkPage() : nullptr;
    auto exportView = tabId == CTabBarEventImp::kExportTab ? GetExportView() : nullptr;
    if (watermark)
        watermark->ClosePage(0);
    else if (exportView)
        exportView->CloseAll();
    else
        ResetPageTab(tabId);
}

void CMainFrameEventImp::FillDeleteUsage(DeleteUsage& usage) const
{
    auto fileList = m_mainPage ? m_mainPage->GetFileList() : nullptr;
    usage.checked = fileList ? ToShared(fileList->GetCheckedFileList()) : std::make_shared<GroupFileList>();
    usage.playing = fileList ? ToShared(fileList->GetHilightFileList()) : nullptr;
    if (auto watermark = m_watermarkPage.IfTouched()) {
        usage.watermark = ToShared(watermark->GetCheckedFiles());
        usage.watermarkChecking = watermark->IsChecking();
    }
    auto preview = m_previewPage.IfTouched();
    if (preview && preview->GetFileListView())
        usage.preview = ToShared(preview->GetFileListView()->LoadFileItems());
    if (auto exportView = m_exportView.IfTouched()) {
        usage.exportChecked = ToShared(exportView->GetCheckedChannelNames());
        usage.exportPlaying = ToShared(exportView->GetHilightCheckedChannelNames());
        usage.exporting = exportView->IsExporting();
    }
}

int CMainFrameEventImp::GetWantedReturnNum() const
{
    auto logic = PlayLogicOf(m_mainPage);
    return logic ? logic->GetWantedReturnNum() : 0;
}

bool CMainFrameEventImp::PauseMainPlayback()
{
    auto playBar = PlayBarOf(m_mainPage);
    auto logic = PlayLogicOf(m_mainPage);
    if (!playBar || !logic || playBar->IsPlaying() != 1)
        return false;
    logic->Pause(1, nullptr, -1);
    return true;
}

void CMainFrameEventImp::ResumeMainPlayback()
{
    if (auto logic = PlayLogicOf(m_mainPage))
        logic->Pause(0, nullptr, -1);
}

void CMainFrameEventImp::StopDeleteUses(const DeleteStops& stops, const DeleteUsage& usage)
{
    auto logic = PlayLogicOf(m_mainPage);
    if (stops.closeMainWindows && logic)
        logic->CloseFilesOfDeletedItems(ToItemList(SplitGroupFileList(usage.checked, usage.playing, 1)));
    auto watermark = stops.stopWatermark ? m_watermarkPage.IfTouched() : nullptr;
    if (watermark)
        watermark->StopCheck();
    auto exportView = stops.closeExport ? m_exportView.IfTouched() : nullptr;
    if (exportView)
        exportView->CloseAll();
    auto preview = stops.stopPreview ? m_previewPage.IfTouched() : nullptr;
    if (preview)
        preview->StopPlay();
}

void CMainFrameEventImp::RemoveFromPageLists(const GroupFileListPtr& items)
{
    auto list = ToItemList(items);
    auto fileList = m_mainPage ? m_mainPage->GetFileList() : nullptr;
    if (fileList)
        fileList->DeleteFileItems(list);
    if (auto watermark = m_watermarkPage.IfTouched())
        watermark->DeleteFileItems(list);
    if (auto exportView = m_exportView.IfTouched())
        exportView->DeleteSelectedItem(list);
    auto preview = m_previewPage.IfTouched();
    if (preview && preview->GetFileListView())
        preview->GetFileListView()->DeleteFileItems(list);
}

void CMainFrameEventImp::ShowTraceOnMainPage(int mask)
{
    if (auto logic = PlayLogicOf(m_mainPage))
        logic->ShowTrace(mask);
}

void CMainFrameEventImp::SetMainVerticalSync(int on)
{
    if (auto logic = PlayLogicOf(m_mainPage))
        logic->VerticalSyncEnable(on);
}

void CMainFrameEventImp::SetGridProportion(int w, int h)
{
    if (CSFVideoWindow* grid = GetMainVideoWindow())
        grid->SetSubWinProportion(w, h);
    auto exportView = GetExportView();
    auto exportPlayer = exportView ? exportView->GetSimplePlayerView() : nullptr;
    if (exportPlayer && exportPlayer->GetVideoWindow())
        exportPlayer->GetVideoWindow()->SetSubWinProportion(w, h);
    auto preview = GetPreviewPage();
    auto player = preview ? preview->GetSimplePlayerView() : nullptr;
    if (player && player->GetVideoWindow())
        player->GetVideoWindow()->SetSubWinProportion(w, h);
}
