#pragma once

#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/PlayProgressTypes.h"
#include "Widgets/SFViewEvent.h"

class CPreviewPageEventImp;
class CPreviewTimeLinePopDlgEventImp;
class CSFPlayProgressPanel;
class CSFView;

// The strip under the slice player: one time-line row per slice. A click on
// a row seeks that slice; highlighting a row focuses the cell that plays it.
class CPreviewTimeLineViewEventImp : public ISFViewEvent,
                                     public IPlayProgressEvent,
                                     public boost::enable_shared_from_this<CPreviewTimeLineViewEventImp> {
public:
    static boost::shared_ptr<CPreviewTimeLineViewEventImp> Create(
        const boost::shared_ptr<CPreviewPageEventImp>& page);
    explicit CPreviewTimeLineViewEventImp(const boost::shared_ptr<CPreviewPageEventImp>& page);
    ~CPreviewTimeLineViewEventImp() override;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;

    void OnPositionChanged(UINT panelId, int channel, int segmentStart, int position,
                           VIDEOCUT_TYPE type) override;
    void OnSetHighlight(UINT panelId, int channel) override;
    void OnMouseOverChannel(UINT, int, tagPOINT, int) override {}
    void PPP_OnMouseLeave(UINT) override {}

    CSFView* GetView() const { return m_view; }
    CSFPlayProgressPanel* GetPlayProgressPanel() const { return m_panel; }
    // 1 when the row was added, 0 when the channel already has one.
    int AddChannel(int channel, const std::wstring& name, unsigned int start, unsigned int end);
    void RemoveChannel(int channel);
    void SetPlayTime(int channel, unsigned int time);

private:
    int CreateView();
    void CreatePanel();

    CSFPlayProgressPanel* m_panel = nullptr;
    boost::shared_ptr<CPreviewTimeLinePopDlgEventImp> m_popDlg;
    boost::weak_ptr<CPreviewPageEventImp> m_page;
    CSFView* m_view = nullptr;
};
