#include <QWidget>

#include "Main/FileListEventImp.h"
#include "Main/LayoutBarEventImp.h"
#include "Main/MainTimeLineEventImp.h"
#include "MainPageFixture.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"

using namespace MainPageTest;

namespace {

// A widget's place as the inclusive rectangle the views are moved with.
tagRECT PlaceOf(void* widget)
{
    const QRect g = static_cast<QWidget*>(widget)->geometry();
    return tagRECT{g.x(), g.y(), g.x() + g.width() - 1, g.y() + g.height() - 1};
}

void ExpectRect(const tagRECT& actual, const tagRECT& expected)
{
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

class MainPageLayout : public MainPageFixture {};

}  // namespace

TEST_F(MainPageLayout, PageCreatesItsPartsAndHandsThemOut)
{
    ASSERT_TRUE(manager);
    EXPECT_TRUE(page->GetMainTimeLine());
    EXPECT_EQ(page->GetMainFrame(), host);
    EXPECT_TRUE(ui);
    EXPECT_TRUE(bar);
    EXPECT_TRUE(manager->GetLayoutBar());
    EXPECT_NE(grid, nullptr);
    EXPECT_EQ(manager->GetMainPage(), page);
    EXPECT_NE(page->GetMainTimeLine()->GetPlayProgressPanel(), nullptr);
}

TEST_F(MainPageLayout, FileListLeftGridRightTimeLineBelowAndFullScreenLeavesOnlyTheGrid)
{
    CSFRadioBox* expand = page->GetFileList()->GetContractRadio();
    ASSERT_NE(expand, nullptr);
    expand->SetCheck(1);
    page->OnSize(0, 1000, 600);
    ExpectRect(PlaceOf(page->GetFileList()->GetView()->GetUIWnd()), {0, 0, 240, 500});
    ExpectRect(PlaceOf(manager->GetView()->GetUIWnd()), {240, 0, 1000, 500});
    ExpectRect(PlaceOf(page->GetMainTimeLine()->GetView()->GetUIWnd()), {0, 501, 1000, 600});
    expand->SetCheck(0);
    page->OnSize(0, 1000, 600);
    ExpectRect(PlaceOf(page->GetFileList()->GetView()->GetUIWnd()), {-226, 0, 14, 500});
    ExpectRect(PlaceOf(manager->GetView()->GetUIWnd()), {14, 0, 1000, 500});

    page->SetFullScreen(1);
    page->OnSize(0, 1000, 600);
    ExpectRect(PlaceOf(manager->GetView()->GetUIWnd()), {0, 0, 1000, 600});
    EXPECT_TRUE(static_cast<QWidget*>(page->GetMainTimeLine()->GetView()->GetUIWnd())->isHidden());
    EXPECT_TRUE(static_cast<QWidget*>(page->GetFileList()->GetView()->GetUIWnd())->isHidden());
    EXPECT_TRUE(static_cast<QWidget*>(bar->GetView()->GetUIWnd())->isHidden());
    EXPECT_TRUE(static_cast<QWidget*>(manager->GetLayoutBar()->GetView()->GetUIWnd())->isHidden());

    page->SetFullScreen(0);
    page->OnSize(0, 1000, 600);
    EXPECT_FALSE(static_cast<QWidget*>(page->GetMainTimeLine()->GetView()->GetUIWnd())->isHidden());
    EXPECT_FALSE(static_cast<QWidget*>(page->GetFileList()->GetView()->GetUIWnd())->isHidden());
    ExpectRect(PlaceOf(manager->GetView()->GetUIWnd()), {14, 0, 1000, 500});
    EXPECT_FALSE(static_cast<QWidget*>(bar->GetView()->GetUIWnd())->isHidden());
}

TEST_F(MainPageLayout, CollapsingTheFileListLeavesItsEdgeAndWidensTheGrid)
{
    page->GetView()->MoveWindow(0, 0, 1000, 600);
    page->GetFileList()->GetContractRadio()->SetCheck(1);
    page->OnSize(0, 1000, 600);
    page->ShowFileList(0);
    EXPECT_EQ(PlaceOf(page->GetFileList()->GetView()->GetUIWnd()).right, 14);
    EXPECT_EQ(PlaceOf(manager->GetView()->GetUIWnd()).left, 14);
    page->ShowFileList(1);
    EXPECT_EQ(PlaceOf(page->GetFileList()->GetView()->GetUIWnd()).left, 0);
    EXPECT_EQ(PlaceOf(manager->GetView()->GetUIWnd()).left, 240);
}

TEST_F(MainPageLayout, ManagerPlacesLayoutBarGridAndCentredPlayBar)
{
    struct Case {
        int width;
        int height;
        int playBarLeft;
    };
    for (const Case c : {Case{669, 500, 70}, Case{1000, 600, 235}, Case{600, 400, 36}}) {
        manager->OnSize(0, c.width, c.height);
        ExpectRect(PlaceOf(manager->GetLayoutBar()->GetView()->GetUIWnd()), {0, 0, 70, c.height});
        ExpectRect(PlaceOf(bar->GetView()->GetUIWnd()),
                   {c.playBarLeft, c.height - 55, c.playBarLeft + 595, c.height});
        const QRect gridRect = dynamic_cast<QWidget*>(grid)->geometry();
        EXPECT_EQ(gridRect.topLeft(), QPoint(70, 2));
        EXPECT_NEAR(gridRect.right(), c.width - 4, 1);
        EXPECT_NEAR(gridRect.bottom(), c.height - 55, 1);
    }
}
