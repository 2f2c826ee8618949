#include "Main/MainPageEventImp.h"

#include <boost/make_shared.hpp>

#include <QDebug>

#include "Main/FileListEventImp.h"
#include "Main/LayoutBarEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/OwnedView.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/TabBarEventImp.h"
#include "PageServices/PageHost.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFWidgetFactory.h"
#include "Main/MainLog.h"

namespace {

constexpr int kFileListWidth = 240;
constexpr int kCollapsedVisible = 14;
constexpr int kTimeLineHeight = 100;

}  // namespace

boost::shared_ptr<CMainPageEventImp> CMainPageEventImp::Create(boost::shared_ptr<IPageHost> owner, void* parentWindow,
                                                               CPlayBackends backends)
{
    boost::shared_ptr<CMainPageEventImp> page =
        boost::make_shared<CMainPageEventImp>(boost::weak_ptr<IPageHost>(owner), std::move(backends));
    CreatePageView(page.get(), page->m_view, L"bg_monitor.png", L"MainPage", tagRECT{0, 0, 400, 300}, parentWindow,
                   103);
    return page;
}

CMainPageEventImp::CMainPageEventImp(boost::weak_ptr<IPageHost> owner, CPlayBackends backends)
    : m_owner(std::move(owner)), m_backends(std::move(backends))
{
}

CMainPageEventImp::~CMainPageEventImp()
{
    SFDestroyView(m_view);
    ReleaseOwnedView(this);
}

int CMainPageEventImp::OnCreate()
{
    m_fileList = CFileListEventImp::Create(shared_from_this());
    m_mainTimeLine = CMainTimeLineEventImp::Create(weak_from_this());
    m_playWinManager = CPlayWinManagerEventImp::Create(weak_from_this(), m_backends);
    return 1;
}

void CMainPageEventImp::MoveVideoBeside(const tagRECT& fileListRect, int right)
{
    if (m_fileList && m_fileList->GetView()) {
        tagRECT list = fileListRect;
        m_fileList->GetView()->MoveWindow(&list);
    }
    const int width = fileListRect.right - fileListRect.left;
    tagRECT video{fileListRect.left + width, fileListRect.top, right, fileListRect.bottom};
    if (m_playWinManager && m_playWinManager->GetView())
        m_playWinManager->GetView()->MoveWindow(&video);
}

void CMainPageEventImp::OnSize(UINT, int cx, int cy)
{
    qCDebug(lcMain, "CMainPageEventImp::OnSize:%d %d", cx, cy);
    if (!m_fileList || !m_playWinManager || !m_mainTimeLine)
        return;
    if (m_fullScreen == 1) {
        m_playWinManager->SetFullScreenMode(1);
        tagRECT whole{0, 0, cx, cy};
        m_playWinManager->GetView()->MoveWindow(&whole);
        return;
    }
    const bool expanded = m_fileList->GetContractRadio() && m_fileList->GetContractRadio()->GetCheck();
    const tagRECT list = expanded ? tagRECT{0, 0, kFileListWidth, cy - kTimeLineHeight}
                                  : tagRECT{kCollapsedVisible - kFileListWidth, 0, kCollapsedVisible, cy - kTimeLineHeight};
    m_playWinManager->SetFullScreenMode(0);
    MoveVideoBeside(list, cx);
    tagRECT timeLine{0, cy - kTimeLineHeight + 1, cx, cy};
    m_mainTimeLine->GetView()->MoveWindow(&timeLine);
}

void CMainPageEventImp::SetFullScreen(int on)
{
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    const int show = on == 1 ? 0 : 1;
    if (m_fileList && m_fileList->GetView())
        m_fileList->GetView()->ShowWindow(show);
    if (m_mainTimeLine && m_mainTimeLine->GetView())
        m_mainTimeLine->GetView()->ShowWindow(show);
}

void CMainPageEventImp::ShowFileList(int show)
{
    if (!m_view || !m_fileList || !m_fileList->GetView())
        return;
    tagRECT page{};
    m_view->GetViewClientRect(&page);
    boost::shared_ptr<CMainFrameEventImp> frame = boost::dynamic_pointer_cast<CMainFrameEventImp>(GetMainFrame());
    if (frame && frame->GetTabBar())
        frame->GetTabBar()->ArrangePageTabs(show);
    tagRECT list{};
    m_fileList->GetView()->GetViewClientRect(&list);
    const int width = list.right - list.left;
    if (show == 0)
        list = tagRECT{kCollapsedVisible - width, 0, kCollapsedVisible, list.bottom};
    MoveVideoBeside(list, page.right);
}

boost::shared_ptr<CPlayManagerUILogic> CMainPageEventImp::UILogic() const
{
    return m_playWinManager ? m_playWinManager->GetPlayManagerUILogic() : nullptr;
}

void CMainPageEventImp::PassKeyToMainFrame(UINT modifiers, UINT key)
{
    if (auto frame = boost::dynamic_pointer_cast<CMainFrameEventImp>(GetMainFrame()))
        frame->OnDlgKeyDown(modifiers, key);
}

boost::shared_ptr<CMainFrameUILogic> CMainPageEventImp::GetMainFrameUILogic()
{
    auto frame = boost::dynamic_pointer_cast<CMainFrameEventImp>(GetMainFrame());
    return frame ? frame->GetMainFrameUILogic() : nullptr;
}

int CMainPageEventImp::GetWantedReturnNum()
{
    boost::shared_ptr<CPlayManagerUILogic> ui = UILogic();
    return ui ? ui->GetWantedReturnNum() : 0;
}

void CMainPageEventImp::SetWantedReturnNum(int count)
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = UILogic())
        ui->SetWantedReturnNum(count);
}

void CMainPageEventImp::SetWantedShowNum(int count)
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = UILogic())
        ui->SetWantedShowNum(count);
}

void CMainPageEventImp::SetSynPlay(int on)
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = UILogic())
        ui->SetSynPlay(on);
}

void CMainPageEventImp::ResetPlayStates()
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = UILogic())
        ui->ResetPlayStates();
}

void CMainPageEventImp::CloseFiles(int, int window)
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = UILogic())
        ui->CloseFiles(nullptr, window);
}

void CMainPageEventImp::StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> file, int syncPlay)
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = UILogic())
        ui->StartPlayOneFile(std::move(path), file, syncPlay);
}

int CMainPageEventImp::IsSyncPlay()
{
    boost::shared_ptr<CPlayBarEventImp> bar = m_playWinManager ? m_playWinManager->GetPlayBar() : nullptr;
    return bar ? bar->IsSyncPlay() : 0;
}

void CMainPageEventImp::UpdatePlayBarButton(int id, int check)
{
    if (boost::shared_ptr<CPlayBarEventImp> bar = m_playWinManager ? m_playWinManager->GetPlayBar() : nullptr)
        bar->UpdateButtonState(id, check);
}

CSFVideoWindow* CMainPageEventImp::GetVideoWindow()
{
    return m_playWinManager ? m_playWinManager->GetVideoWindow() : nullptr;
}

int CMainPageEventImp::SelectLayoutByWndCount(int count)
{
    boost::shared_ptr<CLayoutBarEventImp> bar = m_playWinManager ? m_playWinManager->GetLayoutBar() : nullptr;
    return bar ? bar->SelectLayoutByWndCount(count) : 0;
}

void CMainPageEventImp::SetTimeLineDisplayFlag(int on)
{
    if (m_mainTimeLine && m_mainTimeLine->GetPlayProgressPanel())
        m_mainTimeLine->GetPlayProgressPanel()->ShowCommonCursor(on != 0);
}
