#include "Main/MainTimeLineEventImp.h"

#include <map>

#include <boost/make_shared.hpp>

#include <QDebug>

#include "Main/MainPageEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/OwnedView.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/PlayProgressPanelSkin.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFWidgetFactory.h"
#include "Main/MainLog.h"

boost::shared_ptr<CMainTimeLineEventImp> CMainTimeLineEventImp::Create(boost::weak_ptr<CMainPageEventImp> mainPage)
{
    boost::shared_ptr<CMainTimeLineEventImp> timeLine = boost::make_shared<CMainTimeLineEventImp>(mainPage);
    boost::shared_ptr<CMainPageEventImp> page = mainPage.lock();
    timeLine->CreateView(page ? page->GetUIWnd() : nullptr);
    return timeLine;
}

CMainTimeLineEventImp::CMainTimeLineEventImp(boost::weak_ptr<CMainPageEventImp> mainPage)
    : m_mainPage(std::move(mainPage))
{
}

CMainTimeLineEventImp::~CMainTimeLineEventImp()
{
    SFDestroyView(m_view);
    ReleaseOwnedView(this);
}

int CMainTimeLineEventImp::CreateView(void* parentWindow)
{
    return CreatePageView(this, m_view, L"bg_timeline.png", L"MainTimeLine", tagRECT{0, 0, 1000, 110}, parentWindow,
                          110);
}

int CMainTimeLineEventImp::OnCreate()
{
    m_panel = SFCreatePlayProgressPanel(this);
    if (!m_panel)
        return 1;
    m_panel->SetSkin(L"bg_timeline.png");
    const PlayProgressPanelImages images = SFPlayProgressPanelImages();
    m_panel->SetSkinImages(&images);
    m_panel->Create(nullptr, L"", 0x50000000, tagRECT{0, 0, 1000, 97}, GetUIWnd(), 166);
    SetPlayProgressPanelLayout(m_panel, 1000, 97);
    m_panel->ShowWindow(1);
    return 1;
}

void CMainTimeLineEventImp::OnSize(UINT, int width, int height)
{
    qCDebug(lcMain, "CMainTimeLineEventImp::OnSize:%d %d", width, height);
    if (!m_panel)
        return;
    tagRECT rect{0, 0, width, height};
    m_panel->MoveWindow(&rect);
    SetPlayProgressPanelLayout(m_panel, width, height);
}

int CMainTimeLineEventImp::UpdateTimeRecord(int window, const std::wstring& label, int fileId, unsigned int start,
                                            unsigned int end)
{
    return UpdateTimeRecords(window, label, {{fileId, std::int32_t(start), std::int32_t(end), 1}});
}

int CMainTimeLineEventImp::UpdateTimeRecords(int window, const std::wstring& label,
                                             const std::vector<UISF_TimeSegment>& spans)
{
    if (!m_panel || spans.empty())
        return 1;
    std::map<std::int32_t, const UISF_TimeSegment*> wanted;
    for (const UISF_TimeSegment& span : spans)
        wanted[span.id] = &span;
    UISF_Channel record;
    record.channel = window;
    record.name = label;
    const UISF_Channel* existing = m_panel->GetChannelRecord(window);
    // An unchanged span keeps the row (and its cursor) as it is.
    bool changed = !existing || (!label.empty() && label != existing->name);
    if (existing)
        for (const UISF_TimeSegment& segment : existing->segments) {
            auto it = wanted.find(segment.id);
            if (it == wanted.end()) {
                record.segments.push_back(segment);
                continue;
            }
            changed = changed || segment.start != it->second->start || segment.end != it->second->end;
            record.segments.push_back({segment.id, it->second->start, it->second->end, segment.flag});
            wanted.erase(it);
        }
    for (const auto& [id, span] : wanted)
        record.segments.push_back(*span);
    if (!changed && wanted.empty())
        return 1;
    if (!existing) {
        m_panel->SetChannelRecord(record);
        return 1;
    }
    const int cursor = m_panel->GetPlayTime(window);
    m_panel->RemoveChannelRecord(window);
    m_panel->SetChannelRecord(record);
    if (cursor)
        m_panel->SetPlayTime(window, cursor);
    return 1;
}

void CMainTimeLineEventImp::SetPlayTime(int window, int time)
{
    if (m_panel)
        m_panel->SetPlayTime(window, time);
}

void CMainTimeLineEventImp::RemoveChannelRecord(int window)
{
    if (m_panel)
        m_panel->RemoveChannelRecord(window);
}

void CMainTimeLineEventImp::OnPositionChanged(UINT, int channel, int segmentId, int position, VIDEOCUT_TYPE)
{
    boost::shared_ptr<CMainPageEventImp> page = m_mainPage.lock();
    if (!page || segmentId == -1 || !page->GetPlayWinManager())
        return;
    boost::shared_ptr<CPlayManagerUILogic> ui = page->GetPlayWinManager()->GetPlayManagerUILogic();
    if (!ui)
        return;
    _QUERY_FILE_INFO* entry = ui->GetWindowEntry(channel);
    if (entry && entry->endMark == 1)
        entry->endMark = 0;
    if (position <= 100)
        ui->SeekRelativePos(nullptr, float(position), channel);
    else
        ui->Seek(nullptr, unsigned(position), channel);
}

void CMainTimeLineEventImp::OnSetHighlight(UINT, int channel)
{
    boost::shared_ptr<CMainPageEventImp> page = m_mainPage.lock();
    if (page && page->GetPlayWinManager() && page->GetPlayWinManager()->GetVideoWindow())
        page->GetPlayWinManager()->GetVideoWindow()->SetFocusSubWin(channel);
}
