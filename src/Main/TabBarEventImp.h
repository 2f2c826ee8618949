#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Main/DeleteDecision.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CMainFrameEventImp;
class CSFButton;
class CSFPictureCtrl;
class CSFRadioBox;
class CSFView;

// The bar under the tool bar: the file list's header (title, select-all,
// delete) and the six page tabs, of which exactly one is selected.
class CTabBarEventImp : public ISFViewEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    enum {
        kSelectAllId = 167,
        kDeleteId = 168,
        kPlayWindowTab = 169,
        kSearchTab = 170,
        kPreviewTab = 171,
        kExportTab = 172,
        kWatermarkTab = 173,
        kConfigTab = 174,
    };
    static constexpr int kTabCount = 6;

    explicit CTabBarEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner);
    ~CTabBarEventImp() override;
    CTabBarEventImp(const CTabBarEventImp&) = delete;
    CTabBarEventImp& operator=(const CTabBarEventImp&) = delete;

    static boost::shared_ptr<CTabBarEventImp> Create(const boost::shared_ptr<CMainFrameEventImp>& owner);
    // Whether a point of a tab (its own coordinates) is on its close mark.
    static bool IsOnCloseMark(tagPOINT pt);

    CSFView* GetView() const { return m_pView; }
    int OnCreate() override;
    void RADIO_OnClicked(int checked, int id, tagPOINT pt) override;
    void ShowPageTab(int id);
    int IsPageTabChecked(int id) const;
    void ResetPageTab(int id);
    void SetSelectAllCheck(int check);
    void ArrangePageTabs(int showGroupFileList);
    // 1 while the closable tab is open; 0 for other ids.
    int IsPageTabOpen(int id) const;
    CSFRadioBox* GetPageTab(int id) const;

    // The delete button: removes the checked items from every list, asking
    // first when a page uses some of them.
    void OnSFBtnDelete();
    // Fills the lists of the items checked and in use from the pages.
    DeleteUsage CollectDeleteUsage() const;

private:
    void CreateHeader();
    void CreateTabs();
    void CloseTab(int id);
    void SelectTab(int checked, int id);
    void SetOpenFlag(int id, int open);
    void ApplyDeleteSet(const GroupFileListPtr& set);

    boost::weak_ptr<CMainFrameEventImp> m_owner;
    CSFView* m_pView = nullptr;
    CSFPictureCtrl* m_pTitle = nullptr;
    CSFRadioBox* m_pSelectAll = nullptr;
    CSFButton* m_pDelete = nullptr;
    CSFRadioBox* m_pTabs[kTabCount] = {};
    int m_open[kTabCount - 1] = {};  // 170 to 174
};
