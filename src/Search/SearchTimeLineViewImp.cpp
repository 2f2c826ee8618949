#include "Search/SearchTimeLineViewImp.h"

#include <boost/make_shared.hpp>

#include "Search/SeachViewEventImp.h"
#include "Search/SearchTimeLinePopDlgEventImp.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

const wchar_t* const kBackground = L"bg_timeline.png";

// The panel's first layout, before the strip has a size.
PlayProgressPanelLayout FirstPanelLayout()
{
    PlayProgressPanelLayout layout;
    const wchar_t* const texts[] = {
        L"156,0,800,70",  L"2,10,138,60", L"140,25,15,30", L"957,25,15,30", L"0,10,975,70",
        L"8,78,129,21",   L"slider_speedoutput.png",       L"0,0,120,20",   L"120,0,120,20",
        L"240,0,20,20",   L"260,0,20,20", L"280,0,20,20",  L"300,0,20,20",  L"28,78,90,21"};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        layout[i] = texts[i];
    layout[26] = L"974,22,21,28";
    layout[27] = L"974,50,21,28";
    return layout;
}

PlayProgressPanelImages PanelImages()
{
    PlayProgressPanelImages images;
    for (int i = 0; i < 4; ++i) {
        images.rowUp[i] = L"channel_up.png";
        images.rowDown[i] = L"channel_down.png";
    }
    images.record = L"videorecord.png";
    images.otherRecord = L"RozeridaRecord.png";
    images.backwardDisabled = L"BackwardDisable.png";
    images.backwardEnabled = L"BackwardEnable.png";
    images.forwardDisabled = L"ForwardDisable.png";
    images.forwardEnabled = L"ForwardEnable.png";
    images.sliderBackground = L"ZoomBg.png";
    return images;
}

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
        m_pPanel->SetSkin(kBackground);
        const PlayProgressPanelLayout layout = FirstPanelLayout();
        const PlayProgressPanelImages images = PanelImages();
        m_pPanel->ApplyLayout(&layout, 0);
        m_pPanel->SetSkinImages(&images);
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
