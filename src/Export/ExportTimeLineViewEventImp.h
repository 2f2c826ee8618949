#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Export/IExportTimeLine.h"
#include "Widgets/PlayProgressTypes.h"
#include "Widgets/SFViewEvent.h"

class CExportTimeLinePopDlgEventImp;
class CExportViewEventImp;
class CSFPlayProgressPanel;
class CSFView;

// The time line at the foot of the export page: the rows of the opened
// recordings, the play cursor and the two cut marks; a moved mark is
// reported to the page.
class CExportTimeLineViewEventImp : public ISFViewEvent,
                                    public IPlayProgressEvent,
                                    public IExportTimeLine,
                                    public boost::enable_shared_from_this<CExportTimeLineViewEventImp> {
public:
    static boost::shared_ptr<CExportTimeLineViewEventImp> Create(const boost::shared_ptr<CExportViewEventImp>& page,
                                                                 void* parentWindow);
    explicit CExportTimeLineViewEventImp(const boost::shared_ptr<CExportViewEventImp>& page);
    ~CExportTimeLineViewEventImp() override;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;

    void OnPositionChanged(UINT panelId, int channel, int segmentId, int position, VIDEOCUT_TYPE type) override;
    void OnSetHighlight(UINT, int) override {}
    void OnMouseOverChannel(UINT, int, tagPOINT, int) override {}
    void PPP_OnMouseLeave(UINT) override {}

    CSFView* GetView() const { return m_view; }
    CSFPlayProgressPanel* GetPanel() const { return m_panel; }
    boost::shared_ptr<CExportTimeLinePopDlgEventImp> GetPopUp() const { return m_popUp; }

    // IExportTimeLine: forwarded to the panel.
    UISF_Channel* GetChannelRecord(int lineId) override;
    void SetChannelRecord(const UISF_Channel& record) override;
    void RemoveChannelRecord(int lineId) override;
    void SetPlayTime(int lineId, int time) override;

    void SetHighlightChannel(int lineId);
    // Shows the cut marks and places mark which (0 start, 1 end).
    void SetCutMark(int which, unsigned int time);

private:
    int CreateView(void* parentWindow);

    CSFPlayProgressPanel* m_panel = nullptr;
    boost::shared_ptr<CExportTimeLinePopDlgEventImp> m_popUp;
    boost::weak_ptr<CExportViewEventImp> m_page;
    CSFView* m_view = nullptr;
};
