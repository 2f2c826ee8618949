#pragma once

#include <gtest/gtest.h>

#include <memory>

#include <boost/make_shared.hpp>

#include <QApplication>
#include <QWidget>

#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"
#include "PageServices/PageHost.h"
#include "Search/SeachViewEventImp.h"
#include "Search/SearchSimplePlayerEventImp.h"
#include "Search/SearchTimeLineViewImp.h"
#include "Support/ProcessUntil.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFView.h"

// The main window as the search page sees it; it counts what the page asks.
class PageHostDouble : public IPageHost {
public:
    void Task_OnCloseSuccess(int) override { ++calls; }
    void ResetPageTab(int) override { ++calls; }
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return 0; }

    int calls = 0;
};

// Message loops without a driver under every id: whatever is posted stays
// queued, so a test can see that nothing was.
class QuietLoops {
public:
    QuietLoops()
    {
        for (int id = 1; id <= 6; ++id) {
            m_loops[id] = LumivexBase::CSFMessageLoop::Create(-1);
            Manager()->RegisterMessageLoop(m_loops[id], id);
        }
    }
    ~QuietLoops()
    {
        for (int id = 1; id <= 6; ++id)
            Manager()->RegisterMessageLoop({}, id);
    }
    QuietLoops(const QuietLoops&) = delete;
    QuietLoops& operator=(const QuietLoops&) = delete;

    bool NothingPosted() const
    {
        for (int id = 1; id <= 6; ++id)
            if (!m_loops[id]->IsEmpty())
                return false;
        return true;
    }

private:
    static boost::shared_ptr<LumivexBase::CSFMessageLoopManager> Manager()
    {
        return LumivexBase::CSFMessageLoopManager::GetInstance();
    }
    boost::shared_ptr<LumivexBase::CSFMessageLoop> m_loops[7];
};

inline QWidget* WidgetOf(CSFView* view) { return view ? static_cast<QWidget*>(view->GetUIWnd()) : nullptr; }

// A search page on a shown main-window stand-in; the page's view is shown
// as the tab bar would and given a client size.
class SearchPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFQTSetSkinPath(QStringLiteral(SKIN_DIR));
        window = std::make_unique<QWidget>();
        window->resize(1400, 1000);
        window->show();
        page = CSeachViewEventImp::Create(host, window.get());
        page->GetView()->ShowWindow(1);
    }
    void TearDown() override
    {
        // The widgets report to the page: they go first.
        window.reset();
        page.reset();
    }

    void ResizePage(int cx, int cy)
    {
        page->GetView()->MoveWindow(0, 0, cx, cy);
        QApplication::processEvents();
    }
    QWidget* PageWidget() const { return WidgetOf(page->GetView()); }
    QWidget* PlayerWidget() const { return WidgetOf(page->GetPlayer()->GetView()); }
    QWidget* TimeLineWidget() const { return WidgetOf(page->GetTimeLine()->GetView()); }

    template <class T>
    T* Find(QWidget* within, UINT id) const
    {
        for (T* child : within->findChildren<T*>())
            if (child->GetControlId() == id)
                return child;
        return nullptr;
    }

    boost::shared_ptr<PageHostDouble> host = boost::make_shared<PageHostDouble>();
    std::unique_ptr<QWidget> window;
    boost::shared_ptr<CSeachViewEventImp> page;
};
