#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CSFButton;
class CSFDateTimeCtrl;
class CSFImagePanel;
class CSFProgressCtrl;
class CSFRadioBox;
class CSFStatic;
class CSFTreeCtrl;
class CSFView;
class CSearchSimplePlayerEventImp;
class CSearchTimeLineViewImp;
class IPageHost;

// The "Search" page: a laid-out search form (player, file tree, criteria,
// event list, time line) with no search behind it. It only builds its
// controls, lays them out on every resize and whitens the "Start Detect"
// text while the mouse button is held on it.
class CSeachViewEventImp : public ISFViewEvent,
                           public ISFTreeCtrlEvent,
                           public ISFDateTimeCtrlEvent,
                           public ISFRadioBoxEvent,
                           public ISFButtonEvent,
                           public ISFImagePanelEvent,
                           public boost::enable_shared_from_this<CSeachViewEventImp> {
    SF_DECLARE_MESSAGE_MAP()
public:
    explicit CSeachViewEventImp(const boost::shared_ptr<IPageHost>& host);
    ~CSeachViewEventImp() override;
    CSeachViewEventImp(const CSeachViewEventImp&) = delete;
    CSeachViewEventImp& operator=(const CSeachViewEventImp&) = delete;

    // Makes the page, hidden, as a child of hostWindow: the main window's
    // widget (GetUIWnd of the main frame).
    static boost::shared_ptr<CSeachViewEventImp> Create(const boost::shared_ptr<IPageHost>& host,
                                                        void* hostWindow = nullptr);
    int CreateView(void* hostWindow);
    // The page's view: the main window moves it with its other pages, the
    // tab bar shows and hides it. Null before CreateView.
    CSFView* GetView() const { return m_pView; }
    boost::shared_ptr<CSearchSimplePlayerEventImp> GetPlayer() const { return m_player; }
    boost::shared_ptr<CSearchTimeLineViewImp> GetTimeLine() const { return m_timeLine; }

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;

    void BTN_OnLButtonDown(int id, UINT flags, tagPOINT point) override;
    void BTN_OnLButtonUp(int id, UINT flags, tagPOINT point) override;
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override;

private:
    void CreateTree();
    void CreateLabels();
    void CreateDateTimeControls();
    void CreateSearchType();
    void CreateStartDetect();
    void CreateProgress();
    void CreateEventList();
    void OnStartDetect() {}

    CSFStatic* m_pVideoPreviewLabel = nullptr;
    CSFStatic* m_pFilesLabel = nullptr;
    CSFStatic* m_pEventListLabel = nullptr;
    CSFStatic* m_pSearchTypeLabel = nullptr;
    CSFStatic* m_pStartDateLabel = nullptr;
    CSFStatic* m_pStartTimeLabel = nullptr;
    CSFStatic* m_pEndDateLabel = nullptr;
    CSFStatic* m_pEndTimeLabel = nullptr;
    CSFDateTimeCtrl* m_pStartDate = nullptr;
    CSFDateTimeCtrl* m_pStartTime = nullptr;
    CSFDateTimeCtrl* m_pEndDate = nullptr;
    CSFDateTimeCtrl* m_pEndTime = nullptr;
    CSFTreeCtrl* m_pFileTree = nullptr;
    CSFRadioBox* m_pSearchTypeMD = nullptr;
    CSFProgressCtrl* m_pProgress = nullptr;
    CSFButton* m_pStartDetect = nullptr;
    CSFImagePanel* m_pEventList = nullptr;
    boost::shared_ptr<CSearchSimplePlayerEventImp> m_player;
    boost::shared_ptr<CSearchTimeLineViewImp> m_timeLine;
    boost::weak_ptr<IPageHost> m_host;
    CSFView* m_pView = nullptr;
};
