#pragma once

#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/PlayProgressTypes.h"
#include "Widgets/SFViewEvent.h"

class CMainPageEventImp;
class CSFPlayProgressPanel;
class CSFView;

// The main page's time line: one row per grid window, one segment per file
// of that window; a click seeks the window.
class CMainTimeLineEventImp : public ISFViewEvent, private IPlayProgressEvent {
public:
    static boost::shared_ptr<CMainTimeLineEventImp> Create(boost::weak_ptr<CMainPageEventImp> mainPage);
    explicit CMainTimeLineEventImp(boost::weak_ptr<CMainPageEventImp> mainPage);
    ~CMainTimeLineEventImp() override;

    int CreateView(void* parentWindow);
    CSFView* GetView() const { return m_view; }
    CSFPlayProgressPanel* GetPlayProgressPanel() const { return m_panel; }

    int UpdateTimeRecord(int window, const std::wstring& label, int fileId, unsigned int start, unsigned int end);
    // Several files' spans of one window's row at once (by file id).
    int UpdateTimeRecords(int window, const std::wstring& label, const std::vector<UISF_TimeSegment>& spans);
    void SetPlayTime(int window, int time);
    void RemoveChannelRecord(int window);

    int OnCreate() override;
    void OnSize(UINT type, int width, int height) override;

    // The panel's listener calls, public for the page's tests.
    void OnPositionChanged(UINT panelId, int channel, int segmentId, int position, VIDEOCUT_TYPE type) override;
    void OnSetHighlight(UINT panelId, int channel) override;

private:
    CSFView* m_view = nullptr;
    boost::weak_ptr<CMainPageEventImp> m_mainPage;
    CSFPlayProgressPanel* m_panel = nullptr;
};
