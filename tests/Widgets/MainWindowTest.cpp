#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <QTemporaryDir>

#include "SkinFixture.h"
#include "Support/Fifo.h"
#include "TestHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTMainWindow.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.reset(static_cast<CSFQTMainWindow*>(SFCreateMainWindow(&handler, nullptr)));
    }

    RecordingDialogEvent handler;
    std::unique_ptr<CSFQTMainWindow> window;
};

TEST_F(MainWindowTest, IsNeverModal)
{
    EXPECT_EQ(window->DoModalDlg(), -1);
    EXPECT_FALSE(window->isVisible());
}

// Skin pictures in place of which a FIFO lies: the window icon and the
// pictures of style sheets, which Qt would read itself.
TEST_F(MainWindowTest, AFifoAsASkinPictureBlocksNothing)
{
    QTemporaryDir skin;
    SFSetSkinPath(skin.path().toStdWString() + L"/");
    Fifo fifo((skin.path() + "/Lumivex.png").toStdString());
    ASSERT_TRUE(fifo.IsValid());
    EXPECT_TRUE(ReturnsHereWithoutBlocking(fifo, [&] {
        window->SetDlgIcon(L"Lumivex.png");
        window->windowIcon().pixmap(QSize(16, 16));
    }));
    EXPECT_TRUE(window->windowIcon().pixmap(QSize(16, 16)).isNull());
    EXPECT_EQ(SFQTStyleSheetImage(L"Lumivex.png"), QStringLiteral("none"));
    EXPECT_EQ(SFQTStyleSheetImage(L"bar.png"), "url(" + skin.path() + "/bar.png)");
    SFSetSkinPath(L"");
}

TEST_F(MainWindowTest, OwnMaximizeFillsTheAvailableAreaAndRestores)
{
    window->MoveWindow(50, 60, 400, 300);
    window->MacShowMaximize(true);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->geometry(), area);
    EXPECT_EQ(window->IsDlgZoomed(), 1);
    window->MacShowMaximize(true);  // a second maximize restores
    EXPECT_EQ(window->geometry(), QRect(50, 60, 400, 300));
    EXPECT_EQ(window->IsDlgZoomed(), 0);
    window->MacShowMaximize(true);
    window->MacShowMaximize(false);
    EXPECT_EQ(window->geometry(), QRect(50, 60, 400, 300));
}

TEST_F(MainWindowTest, MaximizedWindowIsNotDraggedByItsCaption)
{
    SkinFixture skin;
    DialogStyle style = SkinFixture::StandardStyle();
    window->SetSkin(&style);
    window->MoveWindow(50, 60, 400, 300);
    window->show();
    QCoreApplication::processEvents();
    window->MacShowMaximize(true);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 10), QPointF(window->mapToGlobal(QPoint(50, 10))),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &press);
    EXPECT_FALSE(window->Chrome().IsDragging());
    window->MacShowMaximize(false);
    QCoreApplication::sendEvent(window.get(), &press);
    EXPECT_TRUE(window->Chrome().IsDragging());
}

TEST_F(MainWindowTest, KeysUseTheMainWindowTable)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        UINT mod, code;
    };
    const Case cases[] = {
        {Qt::Key_Escape, Qt::NoModifier, 0, 27}, {Qt::Key_Space, Qt::NoModifier, 0, 32},
        {Qt::Key_Left, Qt::NoModifier, 0, 37},   {Qt::Key_Right, Qt::ControlModifier, 17, 39},
        {Qt::Key_F1, Qt::NoModifier, 0, 112},    {Qt::Key_F4, Qt::AltModifier, 18, 115},
        {Qt::Key_Up, Qt::NoModifier, 0, static_cast<UINT>(Qt::Key_Up)},
        {Qt::Key_Return, Qt::NoModifier, 0, static_cast<UINT>(Qt::Key_Return)},
        {Qt::Key_O, Qt::ControlModifier, 17, 'O'},
    };
    for (const auto& c : cases) {
        handler.keys.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(window.get(), &press);
        ASSERT_EQ(handler.keys.size(), 1u);
        EXPECT_EQ(handler.keys[0].first, c.mod);
        EXPECT_EQ(handler.keys[0].second, c.code) << c.key;
    }
}

TEST_F(MainWindowTest, KilledTimerCanBeArmedAgain)
{
    const UINT first = window->SetDlgTimer(3, 5);
    ASSERT_NE(first, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(!handler.timers.empty(), 2000);
    EXPECT_EQ(handler.timers.front(), 3u);
    EXPECT_EQ(window->KillDlgTimer(3), 1);
    EXPECT_EQ(window->KillDlgTimer(3), 0);
    handler.timers.clear();
    EXPECT_NE(window->SetDlgTimer(3, 5), 0u);
    QTRY_VERIFY_WITH_TIMEOUT(!handler.timers.empty(), 2000);
    EXPECT_EQ(handler.timers.front(), 3u);
}

TEST_F(MainWindowTest, SessionLockAndUnlockReachTheHandler)
{
    window->OnSessionChange(WTS_SESSION_LOCK);
    window->OnSessionChange(WTS_SESSION_UNLOCK);
    window->OnSessionChange(5);
    EXPECT_EQ(handler.locks, (std::vector<int>{1, 0}));
}

TEST_F(MainWindowTest, CancelReleasesTheWindowAndCloses)
{
    window->ShowWindow(1);
    QSignalSpy closeSpy(window.get(), &CSFQTMainWindow::sgnClose);
    window->MFCCancel();
    EXPECT_EQ(handler.GetUIWnd(), nullptr);
    EXPECT_EQ(closeSpy.count(), 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(std::find(handler.calls.begin(), handler.calls.end(), "cancel"), handler.calls.end());
}

TEST_F(MainWindowTest, DestroyedWindowLeavesNoWindowPointerWithTheHandler)
{
    EXPECT_EQ(handler.GetUIWnd(), static_cast<void*>(static_cast<QWidget*>(window.get())));
    window.reset();
    EXPECT_EQ(handler.GetUIWnd(), nullptr);
    EXPECT_NE(std::find(handler.calls.begin(), handler.calls.end(), "destroy"), handler.calls.end());
}

TEST_F(MainWindowTest, CloseAsksTheHandler)
{
    window->ShowWindow(1);
    handler.keepOpen = 1;
    EXPECT_FALSE(window->close());
    handler.keepOpen = 0;
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowTest, CommandTwoCancels)
{
    window->ShowWindow(1);
    CSFCustomEvent command(WM_COMMAND, 0, 0, 2);
    QCoreApplication::sendEvent(window.get(), &command);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, TitleGoesToLabelAndWindowTitle)
{
    window->MoveWindow(0, 0, 400, 300);
    window->SetWindowTextW(L"Lumivex Player");
    ASSERT_NE(window->Chrome().TitleLabel(), nullptr);
    EXPECT_EQ(window->Chrome().TitleLabel()->x(), 15);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumivex Player"));
}

TEST_F(MainWindowTest, UnskinnedWindowHasNoLiveButtons)
{
    window->MoveWindow(0, 0, 200, 100);
    window->show();
    QSignalSpy closeSpy(window.get(), &CSFQTMainWindow::sgnClose);
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
    EXPECT_EQ(closeSpy.count(), 0);
}

}  // namespace
