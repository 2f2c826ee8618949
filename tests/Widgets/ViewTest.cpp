#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <memory>

#include "SkinFixture.h"
#include "TestHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTView.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<QWidget>();
        parent->resize(640, 480);
        parent->show();
        view = static_cast<CSFQTView*>(SFCreateView(&handler));
    }
    void TearDown() override
    {
        parent.reset();  // deletes the view with it
    }

    RecordingViewEvent handler;
    std::unique_ptr<QWidget> parent;
    CSFQTView* view = nullptr;
};

TEST_F(ViewTest, CreateAnnouncesAndUsesExclusiveCorners)
{
    const tagRECT r{10, 10, 109, 59};
    EXPECT_EQ(view->Create(nullptr, L"page", WS_VISIBLE, r, parent.get(), 42), 1);
    EXPECT_EQ(view->size(), QSize(99, 49));
    EXPECT_EQ(view->GetControlId(), 42u);
    EXPECT_NE(std::find(handler.calls.begin(), handler.calls.end(), "create"), handler.calls.end());
    EXPECT_EQ(handler.GetUIWnd(), static_cast<void*>(static_cast<QWidget*>(view)));
    tagRECT m{10, 10, 109, 59};
    view->MoveWindow(&m);
    EXPECT_EQ(view->size(), QSize(100, 50));
    tagRECT client{};
    view->GetViewClientRect(&client);
    EXPECT_EQ(client.right, 99);
    EXPECT_EQ(client.bottom, 49);
}

TEST_F(ViewTest, SameSizeIsReportedOnce)
{
    view->setParent(parent.get());
    view->show();
    handler.sizes.clear();
    view->MoveWindow(0, 0, 200, 100);
    QResizeEvent again(QSize(200, 100), QSize(200, 100));
    QCoreApplication::sendEvent(view, &again);
    ASSERT_EQ(handler.sizes.size(), 1u);
    EXPECT_EQ(handler.sizes[0], std::make_pair(200, 100));
}

TEST_F(ViewTest, ChildCommandsReachTheViewsMap)
{
    const tagRECT r{0, 0, 300, 200};
    view->Create(nullptr, L"", WS_VISIBLE, r, parent.get(), 1);
    auto* button = static_cast<CSFQTButton*>(SFCreateButton(nullptr));
    const tagRECT b{0, 0, 20, 20};
    button->Create(L"", WS_VISIBLE, b, handler.GetUIWnd(), 3);
    button->click();
    EXPECT_EQ(handler.calls.back(), "cmd:3");
    SFSendMessage(view, 2002, 5);
    EXPECT_EQ(handler.calls.back(), "ui:5:2002");
    // The view has no OK/Cancel fallback.
    CSFCustomEvent ok(WM_COMMAND, 0, 0, 1);
    QCoreApplication::sendEvent(view, &ok);
    EXPECT_TRUE(view->isVisible());
}

TEST_F(ViewTest, LeftPressesAndDoubleClicksOnly)
{
    const tagRECT r{0, 0, 300, 200};
    view->Create(nullptr, L"", WS_VISIBLE, r, parent.get(), 1);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
    QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseDClick(view, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    ASSERT_FALSE(handler.presses.empty());
    EXPECT_EQ(handler.presses.front(), std::make_pair(12, 34));
    for (const auto& p : handler.presses)
        EXPECT_NE(p, std::make_pair(1, 1));
    ASSERT_EQ(handler.doubleClicks.size(), 1u);
    EXPECT_EQ(handler.doubleClicks[0], std::make_pair(5, 6));
}

TEST_F(ViewTest, RowWidgetsLineUpTenPixelsApart)
{
    view->SetRowTop(4);
    auto* a = new QWidget;
    a->resize(30, 12);
    auto* b = new QWidget;
    b->resize(20, 12);
    view->AddRowWidget(a);
    view->AddRowWidget(b);
    EXPECT_EQ(a->geometry(), QRect(10, 4, 30, 12));
    EXPECT_EQ(b->geometry(), QRect(49, 4, 20, 12));
    EXPECT_EQ(a->parentWidget(), view);
}

TEST_F(ViewTest, RadiusTakesEffectAtTheNextResize)
{
    view->setParent(parent.get());
    view->show();
    view->MoveWindow(0, 0, 100, 100);
    EXPECT_TRUE(view->mask().isEmpty());
    view->SetRoundCornerRadius(10);
    EXPECT_TRUE(view->mask().isEmpty());
    view->MoveWindow(0, 0, 101, 100);
    EXPECT_FALSE(view->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(view->mask().contains(QPoint(50, 50)));
}

TEST_F(ViewTest, BackgroundIsStretched)
{
    SkinFixture skin;
    QImage blue(2, 2, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    blue.save(skin.Path() + "/bg.png");
    view->SetBackground(L"bg.png");
    view->setParent(parent.get());
    view->MoveWindow(0, 0, 50, 40);
    EXPECT_EQ(view->grab().toImage().pixelColor(45, 35), QColor(Qt::blue));
}

TEST(ViewLifetimeTest, DestroyAnnouncedFirst)
{
    RecordingViewEvent handler;
    auto* view = static_cast<CSFQTView*>(SFCreateView(&handler));
    delete view;
    EXPECT_EQ(handler.calls.back(), "destroy");
    EXPECT_EQ(handler.GetUIWnd(), nullptr) << "the handler outlives its view";
}

TEST(ViewLifetimeTest, NullHandlerIgnoresEvents)
{
    std::unique_ptr<CSFQTView> view(new CSFQTView(nullptr));
    view->MoveWindow(0, 0, 10, 10);
    SFSendMessage(view.get(), 2002, 1);
    EXPECT_EQ(view->GetUIWnd(), nullptr);
}

}  // namespace

// A view that outlives its handler calls it no more, not even for an event
// posted before the handler went.
TEST(ViewLifetimeTest, ViewOutlivingItsHandlerCallsItNoMore)
{
    auto handler = std::make_unique<RecordingViewEvent>();
    std::unique_ptr<CSFQTView> view(static_cast<CSFQTView*>(SFCreateView(handler.get())));
    SFPostMessage(static_cast<QWidget*>(view.get()), 5, 1);
    handler.reset();
    EXPECT_EQ(view->GetHandler(), nullptr);
    QCoreApplication::sendPostedEvents(view.get());
    view->show();
    view->resize(50, 40);
    EXPECT_EQ(view->GetUIWnd(), nullptr);
}
