#include "Main/MainPageEventImp.h"

#include <boost/make_shared.hpp>

#include <QDebug>

#include "Main/MainTimeLineEventImp.h"
#include "Main/PageHost.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr int kTimeLineHeight = 100;

}  // namespace

boost::shared_ptr<CMainPageEventImp> CMainPageEventImp::Create(boost::shared_ptr<IPageHost> owner, void* parentWindow,
                                                               CPlayBackends backends)
{
    boost::shared_ptr<CMainPageEventImp> page =
        boost::make_shared<CMainPageEventImp>(boost::weak_ptr<IPageHost>(owner), std::move(backends));
    page->m_view = SFCreateView(page.get());
    if (page->m_view) {
        page->m_view->SetBackground(L"bg_monitor.png");
        page->m_view->Create(nullptr, L"MainPage", 0x50000000, tagRECT{0, 0, 400, 300}, parentWindow, 103);
    }
    return page;
}

CMainPageEventImp::CMainPageEventImp(boost::weak_ptr<IPageHost> owner, CPlayBackends backends)
    : m_owner(std::move(owner)), m_backends(std::move(backends))
{
}

CMainPageEventImp::~CMainPageEventImp() = default;

int CMainPageEventImp::OnCreate()
{
    m_mainTimeLine = CMainTimeLineEventImp::Create(weak_from_this());
    m_playWinManager = CPlayWinManagerEventImp::Create(weak_from_this(), m_backends);
    return 1;
}

void CMainPageEventImp::MoveVideoBeside(const tagRECT& fileListRect, int right)
{
    const int width = fileListRect.right - fileListRect.left;
    tagRECT video{fileListRect.left + width, fileListRect.top, right, fileListRect.bottom};
    if (m_playWinManager && m_playWinManager->GetView())
        m_playWinManager->GetView()->MoveWindow(&video);
}

void CMainPageEventImp::OnSize(UINT, int cx, int cy)
{
    qDebug("CMainPageEventImp::OnSize:%d %d", cx, cy);
    if (!m_playWinManager || !m_mainTimeLine)
        return;
    if (m_fullScreen == 1) {
        m_playWinManager->SetFullScreenMode(1);
        tagRECT whole{0, 0, cx, cy};
        m_playWinManager->GetView()->MoveWindow(&whole);
        return;
    }
    // Without a file list the grid starts at the left edge.
    tagRECT list{0, 0, 0, cy - kTimeLineHeight};
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
    if (m_mainTimeLine && m_mainTimeLine->GetView())
        m_mainTimeLine->GetView()->ShowWindow(on == 1 ? 0 : 1);
}

void CMainPageEventImp::ShowFileList(int)
{
}
