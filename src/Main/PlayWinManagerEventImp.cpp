#include "Main/PlayWinManagerEventImp.h"

#include <boost/make_shared.hpp>

#include "Base/FileSystemHelpers.h"
#include "Base/SFFile.h"
#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/FileNameHelpers.h"
#include "Common/LangString.h"
#include "Common/SaveFolders.h"
#include "Common/UserMessages.h"
#include "Main/CustomLayoutDlgEventImp.h"
#include "Main/LayoutBarEventImp.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/OwnedView.h"
#include "Main/PathNames.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/VideoInfoDlgEventImp.h"
#include "Widgets/PlayerSkins.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr int kLayoutBarWidth = 70;
constexpr int kPlayBarWidth = 595;
constexpr int kPlayBarHeight = 55;
constexpr std::uint64_t kLowDiskBytes = 10485760;

void WarnWhenDiskIsLow(const std::wstring& folder)
{
    std::uint64_t freeBytes = 0;
    if (SF_SOFT_BASE::CSFFile::GetDiskFreeSpace(SF_SOFT_BASE::WideToUtf8(folder).c_str(), &freeBytes) &&
        freeBytes < kLowDiskBytes)
        ShowMessageBox(GetLangString(L"There is a few disk space, pertinent operation may be failed!"),
                       GetLangString(L"Prompt"), 0);
}

std::wstring WithSlash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'/')
        folder += L'/';
    return folder;
}

// Creates the folder; tells the user when it cannot be made.
bool MakeFolder(const std::wstring& folder)
{
    if (SF_SOFT_BASE::CreateDirectoryRecursive(WithSlash(folder)) == 0)
        return true;
    ShowMessageBox(GetLangString(L"Failed to create path!"), GetLangString(L"Prompt"), 0);
    return false;
}

ImageVideoWindowStyle MakeGridSkin()
{
    ImageVideoWindowStyle style = SFVideoWindowStyle(GetLangString(L"Loading..."));
    style.str22 = GetLangString(L"Replay");
    return style;
}

}  // namespace

boost::shared_ptr<CPlayWinManagerEventImp> CPlayWinManagerEventImp::Create(boost::weak_ptr<CMainPageEventImp> mainPage,
                                                                           CPlayBackends backends)
{
    boost::shared_ptr<CPlayWinManagerEventImp> manager =
        boost::make_shared<CPlayWinManagerEventImp>(mainPage, std::move(backends));
    boost::shared_ptr<CMainPageEventImp> page = mainPage.lock();
    manager->CreateView(page ? page->GetUIWnd() : nullptr);
    return manager;
}

CPlayWinManagerEventImp::CPlayWinManagerEventImp(boost::weak_ptr<CMainPageEventImp> mainPage, CPlayBackends backends)
    : m_mainPage(std::move(mainPage)), m_backends(std::move(backends))
{
}

CPlayWinManagerEventImp::~CPlayWinManagerEventImp()
{
    SFDestroyView(m_view);
    ReleaseOwnedView(this);
}

int CPlayWinManagerEventImp::CreateView(void* parentWindow)
{
    CreatePageView(this, m_view, L"bg_monitor.png", L"PlayWinManager", tagRECT{0, 0, 900, 500}, parentWindow, 119);
    return 0;
}

int CPlayWinManagerEventImp::OnCreate()
{
    ImageVideoWindowStyle style = MakeGridSkin();
    m_videoWindow = SFCreateVideoWindow(VIDEOWINDOWMODE_NORMAL, this, 8, 8);
    if (m_videoWindow) {
        m_videoWindow->SetSkin(&style);
        m_videoWindow->Create(L"VideoWindow", tagRECT{0, 0, 400, 400}, GetUIWnd(), 145);
    }
    boost::shared_ptr<CPlayWinManagerEventImp> self = shared_from_this();
    m_layoutBar = CLayoutBarEventImp::Create(self);
    m_playBar = CPlayBarEventImp::Create(self);
    m_videoInfoDlg.SetFactory([this] { return CVideoInfoDlgEventImp::Create(weak_from_this()); });
    m_customLayoutDlg.SetFactory([this] { return CCustomLayoutDlgEventImp::Create(weak_from_this()); });
    m_uiLogic = CPlayManagerUILogic::Create(self, m_backends);
    ApplyStoredCustomLayout();
    return 1;
}

void CPlayWinManagerEventImp::ApplyStoredCustomLayout()
{
    const int stored = CConfigManager::GetInstance()->VideoLayout;
    const int slot = stored - CCustomLayoutDlgEventImp::kFirstSlotId;
    if (!m_videoWindow || slot < 0 || slot >= CCustomLayoutDlgEventImp::kSlotCount)
        return;
    const std::string layout = CCustomLayoutDlgEventImp::LoadStoredSlots()[std::size_t(slot)];
    m_videoWindow->SetDefaultLayout(LAYOUT_CUSTOM, layout.c_str());
}

void CPlayWinManagerEventImp::OnSize(UINT, int width, int height)
{
    if (!m_layoutBar)
        return;
    if (m_fullScreen == 1) {
        tagRECT whole{0, 0, width, height};
        if (m_videoWindow)
            m_videoWindow->MoveWindow(&whole);
        return;
    }
    tagRECT layoutBar{0, 0, kLayoutBarWidth, height};
    m_layoutBar->GetView()->MoveWindow(&layoutBar);
    tagRECT grid{kLayoutBarWidth, 2, width - 4, height - kPlayBarHeight};
    if (m_videoWindow)
        m_videoWindow->MoveWindow(&grid);
    const int left = kLayoutBarWidth + (width - 74 - kPlayBarWidth) / 2;
    tagRECT playBar{left, height - kPlayBarHeight, left + kPlayBarWidth, height};
    m_playBar->GetView()->MoveWindow(&playBar);
}

void CPlayWinManagerEventImp::SetFullScreenMode(int mode)
{
    if (mode == m_fullScreen)
        return;
    m_fullScreen = mode;
    const int show = mode == 1 ? 0 : 1;
    if (m_layoutBar)
        m_layoutBar->GetView()->ShowWindow(show);
    if (m_playBar)
        m_playBar->GetView()->ShowWindow(show);
}

void CPlayWinManagerEventImp::PopCustomLayoutDlg(int x, int y)
{
    boost::shared_ptr<CCustomLayoutDlgEventImp> dialog = GetCustomLayoutDlg();
    if (!dialog || dialog->Run(x, y) != 1)
        return;
    const std::string layout = dialog->GetSelectedLayout();
    if (layout.empty())
        return;
    CConfigManager::GetInstance()->VideoLayout = dialog->GetSelectedLayoutID();
    if (m_videoWindow)
        m_videoWindow->SetDefaultLayout(LAYOUT_CUSTOM, layout.c_str());
    if (m_layoutBar)
        m_layoutBar->RADIO_OnClicked(1, 0, tagPOINT{1, 1});
    boost::shared_ptr<CMainPageEventImp> page = GetMainPage();
    if (page && page->GetMainTimeLine())
        page->GetMainTimeLine()->GetPlayProgressPanel()->SetSingleRecordView(-1, false);
}

void CPlayWinManagerEventImp::OnBnClickedVideoClose(int, int id)
{
    if (m_uiLogic)
        m_uiLogic->CertainCloseFiles(nullptr, id);
}

void CPlayWinManagerEventImp::OnBnClickedVideoProperty(int, int id)
{
    if (m_uiLogic)
        m_uiLogic->PopVideoInfoDlg(id);
}

int CPlayWinManagerEventImp::PlayTimeOf(int window) const
{
    boost::shared_ptr<CMainPageEventImp> page = GetMainPage();
    boost::shared_ptr<CMainTimeLineEventImp> timeLine = page ? page->GetMainTimeLine() : nullptr;
    return timeLine ? timeLine->GetPlayProgressPanel()->GetPlayTime(window) : 0;
}

void CPlayWinManagerEventImp::OnBnClickedVideoSnap(int, int id)
{
    if (id < 0 || !m_uiLogic)
        return;
    const CConfigManager* config = CConfigManager::GetInstance();
    const std::wstring folder = WithSlash(config->SnapPath);
    const int time = PlayTimeOf(id);
    const _QUERY_FILE_INFO* entry = m_uiLogic->GetWindowEntry(id);
    if (!entry)
        return;
    const bool jpeg = config->SnapFormat == 1;
    if (!MakeFolder(folder))
        return;
    const std::wstring name =
        MakeUnusedTimeStampFileName(folder, entry->channelKey, std::uint32_t(time), jpeg ? L".jpg" : L".bmp");
    if (name.empty()) {
        ShowNotifyMessage(WithFolderProblem(GetLangString(L"Snapshot Failed!"), folder), true);
        return;
    }
    WarnWhenDiskIsLow(folder);
    m_uiLogic->SnapPicture(nullptr, folder + name, jpeg ? 1 : 0, id);
}

void CPlayWinManagerEventImp::OnBnClickedVideoRecord(int, int id, int state)
{
    if (id < 0 || !m_uiLogic)
        return;
    const CConfigManager* config = CConfigManager::GetInstance();
    const std::wstring folder = WithSlash(config->VideoPath);
    if (state == 0) {
        // Stopping needs no folder.
        m_uiLogic->StopRecord(nullptr, id);
        return;
    }
    std::wstring name;
    MakeTimeStampFileName(-1, std::uint32_t(PlayTimeOf(id)), name, config->VideoFormat == 0 ? L".kvx" : L".avi");
    if (!MakeFolder(folder)) {
        if (m_videoWindow)
            m_videoWindow->SetSubWinRecordState(id, 0);
        return;
    }
    WarnWhenDiskIsLow(folder);
    if (!m_uiLogic->StartRecord(nullptr, folder + name, config->VideoFormat, id) && m_videoWindow)
        m_videoWindow->SetSubWinRecordState(id, 0);
}

void CPlayWinManagerEventImp::OnFocusWndChanged(int newId, int oldId)
{
    boost::shared_ptr<CMainPageEventImp> page = GetMainPage();
    if (!page || !m_uiLogic)
        return;
    if (boost::shared_ptr<CMainTimeLineEventImp> timeLine = page->GetMainTimeLine())
        timeLine->GetPlayProgressPanel()->SetHighlightChannel(newId);
    if (const _QUERY_FILE_INFO* entry = m_uiLogic->GetWindowEntry(newId))
        m_playBar->UpdateButtonState(158, entry->directionMark == 0 ? 1 : 0);
    m_uiLogic->ChangeAudio(newId, oldId);
}

void CPlayWinManagerEventImp::OnSubWinOccupyRoom(int, int id, int occupied)
{
    boost::shared_ptr<CMainPageEventImp> page = GetMainPage();
    if (page && page->GetMainTimeLine())
        page->GetMainTimeLine()->GetPlayProgressPanel()->SetSingleRecordView(id, occupied != 0);
}
