#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QWidget>

#include <boost/shared_ptr.hpp>

#include "PageServices/PageHost.h"
#include "Widgets/SFDialogEvent.h"

namespace BENCH {

// A page's host that takes every report and closes nothing.
class CIdlePageHost : public IPageHost {
public:
    void Task_OnCloseSuccess(int) override {}
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return nullptr; }
    int IsClosing() override { return 0; }
};

// The same for a page that is a dialog: its window stands in for the main one.
class CDialogPageHost : public CIdlePageHost, public ISFDialogEvent {
public:
    CDialogPageHost() : window(std::make_unique<QWidget>()) { SetUIWnd(window.get()); }
    void Dlg_OnInitDialog(int) override {}
    std::unique_ptr<QWidget> window;
};

// Runs the GUI loop until done() or seconds have passed.
inline void WaitFor(const std::function<bool()>& done, double seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    while (!done() && std::chrono::duration<double>(Clock::now() - start).count() < seconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace BENCH
