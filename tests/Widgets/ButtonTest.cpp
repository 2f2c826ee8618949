#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "SkinFixture.h"
#include "TestHandlers.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTView.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.reset(SFCreateDialog(&owner, nullptr));
        button = static_cast<CSFQTButton*>(SFCreateButton(&events));
        const tagRECT rect{10, 10, 90, 40};
        button->Create(L"Play", WS_VISIBLE, rect, owner.GetUIWnd(), 7);
    }

    void Press(QPoint at, Qt::MouseButton which = Qt::LeftButton)
    {
        QTest::mousePress(button, which, Qt::NoModifier, at);
    }
    void Release(QPoint at, Qt::MouseButton which = Qt::LeftButton)
    {
        QTest::mouseRelease(button, which, Qt::NoModifier, at);
    }

    RecordingDialogEvent owner;
    RecordingButtonEvent events;
    std::unique_ptr<CSFDialog> dialog;
    CSFQTButton* button = nullptr;  // owned by the dialog
};

TEST_F(ButtonTest, ClickReachesTheHandlerThenTheParentsMap)
{
    Press(QPoint(5, 5));
    Release(QPoint(5, 5));
    EXPECT_EQ(events.calls, (std::vector<std::string>{"down:7", "up:7", "clicked:7"}));
    ASSERT_FALSE(owner.calls.empty());
    EXPECT_EQ(owner.calls.back(), "cmd:7");
}

TEST_F(ButtonTest, ReleaseOutsideIsNoClick)
{
    Press(QPoint(5, 5));
    Release(QPoint(500, 500));
    EXPECT_EQ(events.calls, (std::vector<std::string>{"down:7", "up:7"}));
    EXPECT_EQ(button->GetState(), CSFQTButton::StateReleased);
    EXPECT_EQ(std::count(owner.calls.begin(), owner.calls.end(), "cmd:7"), 0);
}

TEST_F(ButtonTest, RightPressShowsPressedButRaisesNoDown)
{
    Press(QPoint(5, 5), Qt::RightButton);
    EXPECT_TRUE(events.calls.empty());
    EXPECT_EQ(button->GetState(), CSFQTButton::StatePressed);
}

TEST_F(ButtonTest, CommandIdOneClosesTheOwnerDialogAsOk)
{
    auto* ok = static_cast<CSFQTButton*>(SFCreateButton(nullptr));
    const tagRECT rect{0, 0, 20, 20};
    ok->Create(L"OK", WS_VISIBLE, rect, owner.GetUIWnd(), 1);
    QTimer::singleShot(0, [&] { ok->click(); });
    EXPECT_EQ(dialog->DoModalDlg(), 1);
}

TEST_F(ButtonTest, WithoutParentNothingIsSent)
{
    RecordingButtonEvent loneEvents;
    std::unique_ptr<CSFQTButton> lone(new CSFQTButton(&loneEvents));
    lone->click();
    EXPECT_EQ(loneEvents.calls, (std::vector<std::string>{"clicked:0"}));
}

TEST_F(ButtonTest, EnterAndLeaveTrackTheState)
{
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->GetState(), CSFQTButton::StateHover);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->GetState(), CSFQTButton::StateNormal);
    EXPECT_EQ(events.calls, (std::vector<std::string>{"move:7", "leave:7"}));
}

TEST_F(ButtonTest, RectanglesCountRightAndBottomDifferently)
{
    EXPECT_EQ(button->size(), QSize(80, 30));
    tagRECT r{0, 0, 10, 10};
    button->MoveWindow(&r);
    EXPECT_EQ(button->size(), QSize(11, 11));
    const tagRECT c{0, 0, 10, 10};
    button->Create(L"", 0, c, owner.GetUIWnd(), 8);
    EXPECT_EQ(button->size(), QSize(10, 10));
    EXPECT_FALSE(button->isVisibleTo(button->parentWidget()));
}

TEST_F(ButtonTest, TextAlignment)
{
    struct Case {
        UINT flags;
        int expected;
    };
    const Case cases[] = {{DT_CENTER, 0x184}, {DT_RIGHT, 0x182}, {0, 0x181}, {DT_CENTER | DT_RIGHT, 0x184}};
    for (const auto& c : cases) {
        button->SetTextAlign(c.flags);
        EXPECT_EQ(button->TextFlags(), c.expected) << c.flags;
    }
    EXPECT_EQ(button->ElideMode(), 3);
    button->SetTextAlign(DT_END_ELLIPSIS);
    EXPECT_EQ(button->ElideMode(), 1);
    button->SetTextAlign(DT_CENTER);
    EXPECT_EQ(button->ElideMode(), 1);
}

TEST_F(ButtonTest, WindowTextCopyIsBoundedAndTerminated)
{
    button->SetWindowTextW(L"Snapshot");
    wchar_t small[5];
    std::fill(std::begin(small), std::end(small), L'#');
    EXPECT_EQ(button->GetWindowTextW(small, 5), 4);
    EXPECT_EQ(std::wstring(small), L"Snap");
    wchar_t big[32];
    EXPECT_EQ(button->GetWindowTextW(big, 32), 8);
    EXPECT_EQ(std::wstring(big), L"Snapshot");
    EXPECT_EQ(button->GetWindowTextW(big, 0), 0);
    EXPECT_EQ(button->GetWindowTextW(nullptr, 10), 0);
}

TEST_F(ButtonTest, SkinImagesByState)
{
    SkinFixture skin;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.save(skin.Path() + "/n.png");
    QImage green(4, 4, QImage::Format_RGB32);
    green.fill(Qt::green);
    green.save(skin.Path() + "/d.png");
    ImageButtonStyle style;
    style.str0 = L"n.png";
    style.str2 = L"d.png";
    EXPECT_EQ(button->SetSkin(&style), 1);
    EXPECT_EQ(button->SetSkin(nullptr), 0);
    button->SetWindowTextW(L"");
    QImage normal = button->grab().toImage();
    EXPECT_EQ(normal.pixelColor(40, 15), QColor(Qt::red));
    Press(QPoint(5, 5));
    QImage pressed = button->grab().toImage();
    EXPECT_EQ(pressed.pixelColor(40, 15), QColor(Qt::green));
    // An empty second name leaves the hover image unset: nothing drawn on hover.
    Release(QPoint(500, 500));
    QImage released = button->grab().toImage();
    EXPECT_NE(released.pixelColor(40, 15), QColor(Qt::red));
}

// Runs an action when clicked, e.g. closing the window that holds the button.
class ActingButtonEvent : public ISFButtonEvent {
public:
    void BTN_OnClicked(int) override { onClick(); }
    std::function<void()> onClick;
};

TEST_F(ButtonTest, ClickHandlerMayDestroyTheWindowThatHoldsTheButton)
{
    ActingButtonEvent acting;
    auto* close = static_cast<CSFQTButton*>(SFCreateButton(&acting));
    close->Create(L"Close", WS_VISIBLE, tagRECT{0, 0, 20, 20}, owner.GetUIWnd(), 9);
    acting.onClick = [&] { dialog.reset(); };
    close->click();
    EXPECT_EQ(dialog, nullptr);
}

TEST_F(ButtonTest, DestroyWithNullDoesNothing)
{
    SFDestroyButton(nullptr);
    SFDestroyMainWindow(nullptr);
    SUCCEED();
}

}  // namespace
