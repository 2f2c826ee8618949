#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/PlayProgressTypes.h"
#include "Widgets/SFViewEvent.h"

class CSFPlayProgressPanel;
class CSFView;
class CSeachViewEventImp;
class CSearchTimeLinePopDlgEventImp;

// The search page's time-line strip: one empty time-line panel filling the
// strip and a hidden pop-up. Its panel callbacks do nothing.
class CSearchTimeLineViewImp : public ISFViewEvent,
                               public IPlayProgressEvent,
                               public boost::enable_shared_from_this<CSearchTimeLineViewImp> {
public:
    explicit CSearchTimeLineViewImp(const boost::shared_ptr<CSeachViewEventImp>& parent);
    ~CSearchTimeLineViewImp() override;
    CSearchTimeLineViewImp(const CSearchTimeLineViewImp&) = delete;
    CSearchTimeLineViewImp& operator=(const CSearchTimeLineViewImp&) = delete;

    static boost::shared_ptr<CSearchTimeLineViewImp> Create(const boost::shared_ptr<CSeachViewEventImp>& parent);
    int CreateView();
    CSFView* GetView() const { return m_pView; }
    CSFPlayProgressPanel* GetPanel() const { return m_pPanel; }
    boost::shared_ptr<CSearchTimeLinePopDlgEventImp> GetPopUp() const { return m_popUp; }

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    CSFPlayProgressPanel* m_pPanel = nullptr;
    boost::shared_ptr<CSearchTimeLinePopDlgEventImp> m_popUp;
    boost::weak_ptr<CSeachViewEventImp> m_parent;
    CSFView* m_pView = nullptr;
};
