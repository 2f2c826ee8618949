// A termination signal closes the windows as the close button does and
// waits for them; the shutdown's last steps are bounded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "ExitWatchdog.h"
#include "TerminationWatcher.h"

namespace {

// A main window as the main frame is: the first close starts the pages'
// close and is ignored; a close after that is let through.
class SlowClosingWindow : public QWidget {
public:
    int asked = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (++asked == 1)
            event->ignore();
        else
            event->accept();
    }
};

// Runs the application's loop until something ends it (at most limitMs);
// true when it ended before the limit.
bool RunLoop(int limitMs)
{
    bool limitReached = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        limitReached = true;
        QCoreApplication::exit(0);
    });
    limit.start(limitMs);
    QApplication::exec();
    return !limitReached;
}

}  // namespace

TEST(Termination, ASignalAsksTheWindowsAndLeavesTheLoopToThem)
{
    SlowClosingWindow window;
    window.show();
    CTerminationWatcher watcher(60000);
    bool ranOn = false;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    // Once asked, the window ends the loop itself after its pages answered.
    QTimer answered;
    QObject::connect(&answered, &QTimer::timeout, [&] {
        if (window.asked == 0)
            return;
        ranOn = true;
        QCoreApplication::exit(0);
    });
    answered.start(50);
    EXPECT_TRUE(RunLoop(30000));
    EXPECT_EQ(window.asked, 1);
    EXPECT_TRUE(ranOn) << "the loop ended before the window answered";
}

TEST(Termination, AWindowThatNeverAnswersIsGivenUpAfterTheGrace)
{
    SlowClosingWindow window;
    window.show();
    CTerminationWatcher watcher(100);
    QTimer::singleShot(0, [] { std::raise(SIGHUP); });
    EXPECT_TRUE(RunLoop(30000));
    EXPECT_EQ(window.asked, 1);
}

TEST(ExitWatchdog, AStepPastItsDeadlineIsCutShort)
{
    std::atomic<bool> late{false};
    {
        CExitWatchdog watchdog(20, [&] { late = true; });
        for (int waited = 0; !late && waited < 10000; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(late);
}

TEST(ExitWatchdog, AStepDoneInTimeIsLeftAlone)
{
    std::atomic<bool> late{false};
    {
        CExitWatchdog watchdog(600000, [&] { late = true; });
        watchdog.Disarm();
    }
    EXPECT_FALSE(late);
}
