#include "Export/ExportTimeLineViewEventImp.h"

#include <boost/make_shared.hpp>

#include "Export/ExportTimeLinePopDlgEventImp.h"
#include "Export/ExportViewEventImp.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/PlayProgressPanelSkin.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr UINT kViewId = 308;
constexpr UINT kPanelId = 309;

}  // namespace

boost::shared_ptr<CExportTimeLineViewEventImp> CExportTimeLineViewEventImp::Create(
    const boost::shared_ptr<CExportViewEventImp>& page, void* parentWindow)
{
    auto view = boost::make_shared<CExportTimeLineViewEventImp>(page);
    view->CreateView(parentWindow);
    return view;
}

CExportTimeLineViewEventImp::CExportTimeLineViewEventImp(const boost::shared_ptr<CExportViewEventImp>& page)
    : m_page(page)
{
}

CExportTimeLineViewEventImp::~CExportTimeLineViewEventImp() = default;

int CExportTimeLineViewEventImp::CreateView(void* parentWindow)
{
    m_view = SFCreateView(this);
    m_view->SetBackground(L"bg_timeline.png");
    m_view->Create(nullptr, L"TimeLine", 0x50000000, tagRECT{0, 0, 1000, 150}, parentWindow, kViewId);
    m_view->ShowWindow(1);
    return 0;
}

int CExportTimeLineViewEventImp::OnCreate()
{
    m_panel = SFCreatePlayProgressPanel(this);
    m_panel->SetSkin(L"bg_timeline.png");
    SetPlayProgressPanelLayout(m_panel, 1000, 150);
    const PlayProgressPanelImages images = SFPlayProgressPanelImages();
    m_panel->SetSkinImages(&images);
    m_panel->Create(L"", L"", 0x40000000, tagRECT{0, 0, 1024, 123}, GetUIWnd(), kPanelId);
    m_panel->ShowWindow(1);
    m_popUp = CExportTimeLinePopDlgEventImp::Create(shared_from_this(), GetUIWnd());
    return 1;
}

void CExportTimeLineViewEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_view || !m_panel || !m_popUp)
        return;
    m_panel->MoveWindow(0, 0, cx, cy);
    SetPlayProgressPanelLayout(m_panel, cx, cy);
}

void CExportTimeLineViewEventImp::OnPositionChanged(UINT, int, int, int position, VIDEOCUT_TYPE type)
{
    if (type != VIDEOCUT_START && type != VIDEOCUT_END)
        return;
    if (auto page = m_page.lock())
        page->OnCutTimeChanged(unsigned(position), int(type));
}

UISF_Channel* CExportTimeLineViewEventImp::GetChannelRecord(int lineId)
{
    return m_panel ? m_panel->GetChannelRecord(lineId) : nullptr;
}

void CExportTimeLineViewEventImp::SetChannelRecord(const UISF_Channel& record)
{
    if (m_panel)
        m_panel->SetChannelRecord(record);
}

void CExportTimeLineViewEventImp::RemoveChannelRecord(int lineId)
{
    if (m_panel)
        m_panel->RemoveChannelRecord(lineId);
}

void CExportTimeLineViewEventImp::SetPlayTime(int lineId, int time)
{
    if (m_panel)
        m_panel->SetPlayTime(lineId, time);
}

void CExportTimeLineViewEventImp::SetHighlightChannel(int lineId)
{
    if (m_panel)
        m_panel->SetHighlightChannel(lineId);
}

void CExportTimeLineViewEventImp::SetCutMark(int which, unsigned int time)
{
    if (!m_panel)
        return;
    m_panel->EnableCutMarks(true);
    m_panel->SetCutMarkTime(which, double(time));
}
