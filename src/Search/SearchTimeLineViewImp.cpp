#include "Search/SearchTimeLineViewImp.h"

#include <boost/make_shared.hpp>

#include "Search/SeachViewEventImp.h"
#include "Search/SearchTimeLinePopDlgEventImp.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/PlayProgressPanelSkin.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

const wchar_t* const kBackground = L"bg_timeline.png";

}  // namespace

CSearchTimeLineViewImp::CSearchTimeLineViewImp(const boost::shared_ptr<CSeachViewEventImp>& parent) : m_parent(parent)
{
}

CSearchTimeLineViewImp::~CSearchTimeLineViewImp()
{
    SFDestroyView(m_pView);
    m_pView = nullptr;
}

boost::shared_ptr<CSearchTimeLineViewImp> CSearchTimeLineViewImp::Create(
    const boost::shared_ptr<CSeachViewEventImp>& parent)
{
    auto timeLine = boost::make_shared<CSearchTimeLineViewImp>(parent);
    timeLine->CreateView();
    return timeLine;
}

int CSearchTimeLineViewImp::CreateView()
{
    m_pView = SFCreateView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBackground(kBackground);
    if (auto parent = m_parent.lock())
        m_pView->Create(nullptr, L"TimeLine", WS_CHILD | WS_VISIBLE, tagRECT{0, 0, 1000, 150}, parent->GetUIWnd(),
                        518);
    m_pView->ShowWindow(1);
    return 0;
}

int CSearchTimeLineViewImp::OnCreate()
{
    m_pPanel = SFCreatePlayProgressPanel(this);
    if (m_pPanel) {
        SFSkinPagePlayProgressPanel(m_pPanel);
        m_pPanel->Create(nullptr, L"", WS_CHILD, tagRECT{0, 0, 1024, 123}, GetUIWnd(), 519);
        m_pPanel->ShowWindow(1);
    }
    m_popUp = CSearchTimeLinePopDlgEventImp::Create(shared_from_this());
    return 1;
}

void CSearchTimeLineViewImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pView || !m_pPanel || !m_popUp)
        return;
    tagRECT strip{0, 0, cx, cy};
    m_pPanel->MoveWindow(&strip);
    SetPlayProgressPanelLayout(m_pPanel, cx, cy);
}
