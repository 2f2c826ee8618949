#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>

#include "Main/MainFrameHelpListener.h"
#include "Main/MainFrameHelpLogic.h"
#include "PageServices/PageHost.h"
#include "Widgets/SFDialogEvent.h"

namespace WATERMARK_TEST {

// The main window as the watermark page sees it: a window to live in, the
// help logic on the helper loop, and notes of what the page reported.
class CFakePageHost : public IPageHost,
                      public IMainFrameHelpListener,
                      public ISFDialogEvent,
                      public boost::enable_shared_from_this<CFakePageHost> {
public:
    CFakePageHost() : window(std::make_unique<QWidget>()) { SetUIWnd(window.get()); }

    // Makes the help logic (the helper loop must run).
    void StartHelpLogic() { helpLogic = CMainFrameHelpLogic::Create(shared_from_this()); }

    void Task_OnCloseSuccess(int pageId) override { closeReports.push_back(pageId); }
    void ResetPageTab(int tabId) override { resetTabs.push_back(tabId); }
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return helpLogic; }
    int IsClosing() override { return 0; }

    void Task_GenerateFileList_Ret(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groupList,
                                   boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singleList,
                                   boost::shared_ptr<std::vector<std::wstring>>, int, int) override
    {
        groups = groupList;
        singles = singleList;
        ++fileLists;
    }
    void Task_GetFileManager_Ret(boost::shared_ptr<CFileManager>) override {}
    void Dlg_OnInitDialog(int) override {}

    std::unique_ptr<QWidget> window;
    boost::shared_ptr<CMainFrameHelpLogic> helpLogic;
    std::vector<int> closeReports;
    std::vector<int> resetTabs;
    boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups;
    boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles;
    int fileLists = 0;
};

}  // namespace WATERMARK_TEST
