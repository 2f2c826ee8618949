#include "Preview/PreviewTimeLineViewEventImp.h"

#include <boost/make_shared.hpp>

#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Preview/PreviewSimplePlayerUILogic.h"
#include "Preview/PreviewTimeLinePopDlgEventImp.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr UINT kViewId = 308;
constexpr UINT kPanelId = 309;

// The panel's layout texts for the width it is created with.
PlayProgressPanelLayout CreationLayout()
{
    PlayProgressPanelLayout layout;
    const wchar_t* texts[] = {L"156,0,800,70",  L"2,10,138,60",  L"140,25,15,30",
                              L"957,25,15,30",  L"0,10,975,70",  L"8,78,129,21",
                              L"slider_speedoutput.png", L"0,0,120,20", L"120,0,120,20",
                              L"240,0,20,20",   L"260,0,20,20",  L"280,0,20,20",
                              L"300,0,20,20",   L"28,78,90,21"};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        layout[i] = texts[i];
    layout[26] = L"974,22,21,28";
    layout[27] = L"974,50,21,28";
    return layout;
}

PlayProgressPanelImages PanelImages()
{
    PlayProgressPanelImages images;
    for (std::wstring& name : images.rowUp)
        name = L"channel_up.png";
    for (std::wstring& name : images.rowDown)
        name = L"channel_down.png";
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

boost::shared_ptr<CPreviewTimeLineViewEventImp> CPreviewTimeLineViewEventImp::Create(
    const boost::shared_ptr<CPreviewPageEventImp>& page)
{
    auto timeLine = boost::make_shared<CPreviewTimeLineViewEventImp>(page);
    timeLine->CreateView();
    return timeLine;
}

CPreviewTimeLineViewEventImp::CPreviewTimeLineViewEventImp(
    const boost::shared_ptr<CPreviewPageEventImp>& page)
    : m_page(page)
{
}

CPreviewTimeLineViewEventImp::~CPreviewTimeLineViewEventImp()
{
    m_page.reset();
    m_popDlg.reset();
}

int CPreviewTimeLineViewEventImp::CreateView()
{
    m_view = SFCreateView(this);
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    if (!m_view || !page)
        return 0;
    m_view->SetBackground(L"bg_timeline.png");
    m_view->Create(nullptr, L"TimeLine", 0x50000000, tagRECT{0, 0, 1000, 150}, page->GetUIWnd(), kViewId);
    m_view->ShowWindow(1);
    return 0;
}

int CPreviewTimeLineViewEventImp::OnCreate()
{
    CreatePanel();
    m_popDlg = CPreviewTimeLinePopDlgEventImp::Create(shared_from_this());
    return 1;
}

void CPreviewTimeLineViewEventImp::CreatePanel()
{
    m_panel = SFCreatePlayProgressPanel(this);
    if (!m_panel)
        return;
    m_panel->SetSkin(L"bg_timeline.png");
    const PlayProgressPanelLayout layout = CreationLayout();
    m_panel->ApplyLayout(&layout, 0);
    const PlayProgressPanelImages images = PanelImages();
    m_panel->SetSkinImages(&images);
    m_panel->Create(nullptr, L"", 0x40000000, tagRECT{0, 0, 1000, 123}, GetUIWnd(), kPanelId);
    m_panel->ShowWindow(1);
}

void CPreviewTimeLineViewEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_view || !m_panel || !m_popDlg)
        return;
    m_panel->MoveWindow(0, 0, cx, cy);
    SetPlayProgressPanelLayout(m_panel, cx, cy);
}

int CPreviewTimeLineViewEventImp::AddChannel(int channel, const std::wstring& name, unsigned int start,
                                             unsigned int end)
{
    if (!m_panel || m_panel->GetChannelRecord(channel))
        return 0;
    UISF_Channel record;
    record.channel = channel;
    record.name = name;
    record.segments.push_back({std::int32_t(start), std::int32_t(start), std::int32_t(end), 1});
    m_panel->SetChannelRecord(record);
    return 1;
}

void CPreviewTimeLineViewEventImp::RemoveChannel(int channel)
{
    if (m_panel)
        m_panel->RemoveChannelRecord(channel);
}

void CPreviewTimeLineViewEventImp::SetPlayTime(int channel, unsigned int time)
{
    if (m_panel)
        m_panel->SetPlayTime(channel, int(time));
}

void CPreviewTimeLineViewEventImp::OnPositionChanged(UINT, int channel, int segmentStart, int position,
                                                     VIDEOCUT_TYPE)
{
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    if (!page || position < segmentStart)
        return;
    boost::shared_ptr<CPreviewSimplePlayerEventImp> player = page->GetSimplePlayerView();
    if (boost::shared_ptr<CPreviewSimplePlayerUILogic> logic = player ? player->GetUILogic() : nullptr)
        logic->Seek(nullptr, unsigned(position), channel);
}

void CPreviewTimeLineViewEventImp::OnSetHighlight(UINT, int channel)
{
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    boost::shared_ptr<CPreviewSimplePlayerEventImp> player = page ? page->GetSimplePlayerView() : nullptr;
    boost::shared_ptr<CPreviewSimplePlayerUILogic> logic = player ? player->GetUILogic() : nullptr;
    CSFVideoWindow* video = player ? player->GetVideoWindow() : nullptr;
    if (!logic || !video)
        return;
    for (const auto& [cell, slice] : logic->GetSliceMap()) {
        if (slice == channel) {
            video->SetFocusSubWin(cell);
            return;
        }
    }
}
