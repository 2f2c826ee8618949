#pragma once

#include <boost/shared_ptr.hpp>

class IFileIndexService;

// The main window as its pages see it: the pages report when they have
// closed, give up their tab, and reach the file index through its service.
// The main frame implements it; page tests use a double.
class IPageHost {
public:
    virtual ~IPageHost() = default;
    // Marks a page closed (0 main play page, 2 preview, 3 export,
    // 4 watermark); once every page has reported, the main window closes.
    virtual void Task_OnCloseSuccess(int pageId) = 0;
    // Hides tab 171, 172 or 173 and clears its open flag, then selects the
    // play window's tab 169 as a click would.
    virtual void ResetPageTab(int tabId) = 0;
    // The file index on the helper loop (empty before it exists).
    virtual boost::shared_ptr<IFileIndexService> GetFileIndexService() = 0;
    // 1 once the exit procedure has started.
    virtual int IsClosing() = 0;
};
