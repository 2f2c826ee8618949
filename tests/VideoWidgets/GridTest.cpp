#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include <QApplication>
#include <QEnterEvent>
#include <QTest>
#include <QWheelEvent>

#include "GridTestSupport.h"
#include "Platform/DDraw/DDrawDevice.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDDrawDevice::ResetDisplay();
        grid = std::make_unique<CSFQTVideoWindow>(VIDEOWINDOWMODE_NORMAL, &handler, 8, 8);
        ASSERT_EQ(1, grid->Create(L"grid", tagRECT{0, 0, 800, 600}, nullptr, 7));
        grid->EnableSubWinAnimation(0);
        grid->show();
    }
    void TearDown() override { CDDrawDevice::ResetDisplay(); }

    CSFQTVideoWindowSubWnd* Cell(int index) const { return grid->CellAt(index); }
    CSFQTVideoWindowPlayWnd* PlayWnd(int index) const { return Cell(index)->GetPlayWnd(); }
    int VisibleCells() const
    {
        int n = 0;
        for (int i = 0; i < 64; ++i)
            n += Cell(i)->isVisible() ? 1 : 0;
        return n;
    }
    void Hover(QWidget* widget)
    {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(widget, &enter);
    }
    void SkinWithButtons()
    {
        ImageVideoWindowStyle style;
        style.str12 = L"20,18";
        style.str13 = L"363e4d";
        style.str18 = L"4698ed";
        style.str19 = L"2";
        style.str20 = L"4";
        style.str21 = L"Loading...";
        grid->SetSkin(&style);
    }

    RecordingGridHandler handler;
    std::unique_ptr<CSFQTVideoWindow> grid;
};

}  // namespace

TEST_F(GridTest, FactoryMakesTheQtGrid)
{
    std::unique_ptr<CSFVideoWindow> made(SFCreateVideoWindow(VIDEOWINDOWMODE_NORMAL, nullptr, 4, 4));
    ASSERT_NE(nullptr, dynamic_cast<CSFQTVideoWindow*>(made.get()));
}

TEST_F(GridTest, CreateMakesEveryCellAndShowsTheLayoutsOnes)
{
    EXPECT_EQ(1, VisibleCells());
    EXPECT_EQ(0, grid->GetCurrentSubWinID());
    EXPECT_EQ(QRect(QPoint(1, 1), QPoint(798, 598)), Cell(0)->geometry());
    EXPECT_NE(nullptr, grid->GetSubWinHandle(0));
    EXPECT_EQ(nullptr, grid->GetSubWinHandle(1));
}

TEST_F(GridTest, LayoutChangesHideAndShowCellsAndMoveTheFocus)
{
    ASSERT_EQ(1, grid->SetDefaultLayout(LAYOUT_16, nullptr));
    EXPECT_EQ(16, grid->GetCurrentSubWinCount());
    EXPECT_EQ(16, VisibleCells());
    for (int i = 0; i < 16; ++i)  // each picture shows with its cell
        EXPECT_TRUE(Cell(i)->GetPlayWnd()->isVisible()) << i;
    EXPECT_GE(handler.layoutChanges, 1);
    ASSERT_EQ(1, grid->SetFocusSubWin(12));
    EXPECT_EQ(12, grid->GetCurrentSubWinIndex());
    EXPECT_TRUE(handler.Has("focus 12 0"));
    ASSERT_EQ(1, grid->SetDefaultLayout(LAYOUT_4, nullptr));
    EXPECT_EQ(4, VisibleCells());
    EXPECT_FALSE(Cell(15)->isVisible());
    EXPECT_EQ(0, grid->GetCurrentSubWinIndex());
    EXPECT_TRUE(handler.Has("focus 0 12"));  // the page learns where the focus went
    EXPECT_EQ(0, grid->SetFocusSubWin(0));  // already current
    EXPECT_EQ(0, grid->SetFocusSubWin(9));  // not in the layout
}

TEST_F(GridTest, CellsLeftOutOfAMergedLayoutAreNotInIt)
{
    // Six cells on a 3 x 3 grid: slots 6 to 8 are hidden.
    ASSERT_EQ(1, grid->SetDefaultLayout(LAYOUT_6, nullptr));
    ASSERT_EQ(6, grid->GetCurrentSubWinCount());
    ASSERT_FALSE(Cell(7)->isVisible());
    EXPECT_EQ(5, grid->GetSubWinIndexByID(5));
    EXPECT_EQ(-1, grid->GetSubWinIndexByID(7));
    EXPECT_EQ(0, grid->SetFocusSubWin(7));
    EXPECT_EQ(0, grid->GetCurrentSubWinIndex());
    EXPECT_FALSE(handler.Has("focus 7 0"));
    EXPECT_EQ(1, grid->SetFocusSubWin(5));
    EXPECT_EQ(5, grid->GetCurrentSubWinIndex());
}

TEST_F(GridTest, CustomAndMalformedLayoutTexts)
{
    EXPECT_EQ(0, grid->SetDefaultLayout(LAYOUT_CUSTOM, nullptr));
    EXPECT_EQ(0, grid->SetDefaultLayout(static_cast<LAYOUT_TYPE>(11), nullptr));
    ASSERT_EQ(1, grid->SetDefaultLayout(LAYOUT_CUSTOM, "2/3/6/400:300//"));
    EXPECT_EQ(6, grid->GetCurrentSubWinCount());
    grid->SetDefaultLayout(LAYOUT_CUSTOM, "0/0/0/400:300//");
    grid->SetDefaultLayout(LAYOUT_CUSTOM, "2/3/6/0:0//");
    EXPECT_EQ(6, grid->GetCurrentSubWinCount());
    EXPECT_EQ(6, VisibleCells());
}

TEST_F(GridTest, ShowAtLeastPicksTheSmallestStandardLayout)
{
    EXPECT_EQ(25, grid->SHowSubWinAtLeast(20));
    EXPECT_EQ(25, grid->GetCurrentSubWinCount());
    EXPECT_EQ(4, grid->SHowSubWinAtLeast(37));
    EXPECT_EQ(36, grid->SHowSubWinAtLeast(26));
    EXPECT_EQ(13, grid->SHowSubWinAtLeast(10));
    EXPECT_EQ(0, grid->SHowSubWinAtLeast(0));
}

TEST_F(GridTest, GetLayoutNeedsRoomForTheTerminator)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    char buffer[1024];
    ASSERT_EQ(1, grid->GetLayout(buffer, sizeof(buffer)));
    const int length = static_cast<int>(std::strlen(buffer));
    EXPECT_EQ(0, std::strncmp(buffer, "2/2/4/800:600/", 14));
    buffer[0] = 'x';
    EXPECT_EQ(0, grid->GetLayout(buffer, length));
    EXPECT_EQ('x', buffer[0]);
}

TEST_F(GridTest, DraggingACellOntoAnotherExchangesIdsAndSlots)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    CSFQTVideoWindowSubWnd* first = Cell(0);
    CSFQTVideoWindowSubWnd* second = Cell(1);
    const QRect slot0 = first->geometry(), slot1 = second->geometry();
    const QPoint start = first->mapToGlobal(QPoint(50, 50));
    first->HandleMousePress(Qt::LeftButton, start, false);
    first->HandleMouseMove(start + QPoint(400, 0), false);
    first->HandleMouseRelease(Qt::LeftButton, QPoint(10, 10));
    EXPECT_EQ(1, grid->GetSubWinIDByIndex(0));
    EXPECT_EQ(0, grid->GetSubWinIDByIndex(1));
    EXPECT_EQ(1, grid->GetSubWinIndexByID(0));
    EXPECT_EQ(slot1, first->geometry());
    EXPECT_EQ(slot0, second->geometry());
    EXPECT_TRUE(handler.Has("exchange 0 1"));
    EXPECT_TRUE(handler.Has("down 0 0"));
    EXPECT_TRUE(handler.Has("up 0 0"));
}

TEST_F(GridTest, DroppedOutsideAnyCellTheCellGoesHome)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    CSFQTVideoWindowSubWnd* first = Cell(0);
    const QRect home = first->geometry();
    const QPoint start = first->mapToGlobal(QPoint(50, 50));
    first->HandleMousePress(Qt::LeftButton, start, false);
    first->HandleMouseMove(start + QPoint(-300, -300), false);
    first->HandleMouseRelease(Qt::LeftButton, QPoint());
    EXPECT_EQ(home, first->geometry());
    EXPECT_EQ(0, grid->GetSubWinIDByIndex(0));
}

TEST_F(GridTest, ExchangeCanBeSwitchedOffAndOneCellNeverMoves)
{
    const QRect home = Cell(0)->geometry();
    const QPoint start = Cell(0)->mapToGlobal(QPoint(50, 50));
    Cell(0)->HandleMousePress(Qt::LeftButton, start, false);
    Cell(0)->HandleMouseMove(start + QPoint(100, 0), false);
    EXPECT_EQ(home, Cell(0)->geometry());
    Cell(0)->HandleMouseRelease(Qt::LeftButton, QPoint());

    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    grid->EableSubWinExchange(0);
    const QPoint from = Cell(0)->mapToGlobal(QPoint(50, 50));
    Cell(0)->HandleMousePress(Qt::LeftButton, from, false);
    Cell(0)->HandleMouseMove(from + QPoint(400, 0), false);
    Cell(0)->HandleMouseRelease(Qt::LeftButton, QPoint());
    EXPECT_EQ(0, grid->GetSubWinIDByIndex(0));
}

TEST_F(GridTest, FramesReachTheCellOfTheirId)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    auto red = RgbFrame(64, 48, 255, 0, 0);
    auto blue = RgbFrame(64, 48, 0, 0, 255);
    grid->SetSubWinVideoByID(2, 1);
    grid->SetSubWinVideoByID(3, 1);
    EXPECT_EQ(1, grid->RenderSubWin(2, red.data(), RENDER_DATA_QIMAGE, 64, 48));
    EXPECT_EQ(1, grid->RenderSubWin(3, blue.data(), RENDER_DATA_QIMAGE, 64, 48));
    EXPECT_EQ(0, grid->RenderSubWin(64, red.data(), RENDER_DATA_QIMAGE, 64, 48));
    EXPECT_EQ(qRgb(255, 0, 0), PlayWnd(2)->FrameImage().pixel(3, 3));
    EXPECT_EQ(qRgb(0, 0, 255), PlayWnd(3)->FrameImage().pixel(3, 3));
    EXPECT_EQ(1, PlayWnd(2)->DisplayState());
    EXPECT_TRUE(PlayWnd(0)->FrameImage().isNull());
}

TEST_F(GridTest, PlanarFramesGoThroughTheRenderer)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    grid->SetSubWinVideoByID(1, 1);
    auto red = YuvFrame(70, 50, 81, 90, 240);
    ASSERT_EQ(1, grid->RenderOffScreenSurface(1, red.data(), 70, 50, 0, 0));
    EXPECT_EQ(2, PlayWnd(1)->DisplayState());
    const QImage& shown = PlayWnd(1)->PresentedImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(PlayWnd(1)->size(), shown.size());
    const QRgb pixel = shown.pixel(shown.width() / 2, shown.height() / 2);
    EXPECT_GT(qRed(pixel), 200);
    EXPECT_LT(qBlue(pixel), 60);
    EXPECT_EQ(0u, Cell(1)->RGBBufferSize());
}

TEST_F(GridTest, WithoutAUsableDisplayPlanarFramesFallBackWithTrueColours)
{
    CDDrawDevice::SetAcceptedFormats(DDFMT_RGB32);
    grid->SetSubWinVideoByID(0, 1);
    auto red = YuvFrame(70, 50, 81, 90, 240);
    ASSERT_EQ(1, grid->RenderOffScreenSurface(0, red.data(), 70, 50, 0, 0));
    EXPECT_EQ(1, PlayWnd(0)->DisplayState());
    const QRgb pixel = PlayWnd(0)->FrameImage().pixel(10, 10);
    EXPECT_GT(qRed(pixel), 200);
    EXPECT_LT(qGreen(pixel), 60);
    EXPECT_LT(qBlue(pixel), 60);
    EXPECT_EQ(0u, Cell(0)->RGBBufferSize());  // the planes are kept, not a whole RGB picture
}

TEST_F(GridTest, HiddenCellsGetNoPresentation)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    auto red = YuvFrame(70, 50, 81, 90, 240);
    EXPECT_EQ(1, grid->RenderOffScreenSurface(40, red.data(), 70, 50, 0, 0));
    EXPECT_TRUE(PlayWnd(40)->PresentedImage().isNull());
    EXPECT_FALSE(PlayWnd(40)->FrameImage().isNull());  // shown through the fallback instead
}

TEST_F(GridTest, ButtonsSitInTheTopRightCornerAndReportClicks)
{
    SkinWithButtons();
    grid->SetSubWinVideoByIndex(0, 1);
    CSFQTVideoWindowPlayWnd* wnd = PlayWnd(0);
    EXPECT_EQ(0, wnd->HitTestButton(wnd->mapToGlobal(QPoint(wnd->width() - 5, 5)).x(), 0));
    Hover(wnd);
    const QRect close = wnd->ButtonRect(CSFQTVideoWindowPlayWnd::ButtonClose);
    EXPECT_EQ(QRect(wnd->width() - 20, 1, 20, 18), close);
    EXPECT_EQ(close.translated(-21, 0), wnd->ButtonRect(CSFQTVideoWindowPlayWnd::ButtonSnap));
    EXPECT_EQ(close.translated(-63, 0), wnd->ButtonRect(CSFQTVideoWindowPlayWnd::ButtonProperty));
    for (int button = 1; button <= 4; ++button) {
        const QPoint g = wnd->mapToGlobal(wnd->ButtonRect(button).center());
        EXPECT_EQ(button, wnd->HitTestButton(g.x(), g.y()));
    }
    const QPoint outside = wnd->mapToGlobal(QPoint(5, 40));
    EXPECT_EQ(0, wnd->HitTestButton(outside.x(), outside.y()));

    QTest::mouseClick(wnd, Qt::LeftButton, {}, close.center());
    EXPECT_TRUE(handler.Has("close 0 0"));
    QTest::mouseClick(wnd, Qt::LeftButton, {}, wnd->ButtonRect(CSFQTVideoWindowPlayWnd::ButtonRecord).center());
    EXPECT_TRUE(handler.Has("record 0 0 1"));
    EXPECT_EQ(1, wnd->RecordState());

    grid->SetSubWinCtrlsVisible(0);
    const QPoint g = wnd->mapToGlobal(close.center());
    EXPECT_EQ(0, wnd->HitTestButton(g.x(), g.y()));
    grid->SetSubWinCtrlsVisible(1);
    grid->SetSubWinVideoByIndex(0, 0);
    EXPECT_EQ(0, wnd->HitTestButton(g.x(), g.y()));
}

// Every change of file stops recording in its window, recording or not.
TEST_F(GridTest, ARecordStateRepaintsOnlyItsButtonAndOnlyWhenItChanges)
{
    SkinWithButtons();
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    // The layout's paints done first: a slow build paints it late.
    for (int quiet = 0, i = 0; quiet == 0 && i < 40; ++i) {
        PaintCount layout(grid.get()), first(PlayWnd(0)), second(PlayWnd(1));
        QTest::qWait(50);
        quiet = layout.paints + first.paints + second.paints == 0;
    }
    PaintCount whole(grid.get());
    PaintCount neighbour(PlayWnd(1));
    PaintCount own(PlayWnd(0));
    grid->SetSubWinRecordState(0, 0);
    QApplication::processEvents();
    EXPECT_EQ(0, whole.paints + neighbour.paints + own.paints);

    grid->SetSubWinRecordState(0, 1);
    QApplication::processEvents();
    EXPECT_EQ(1, PlayWnd(0)->RecordState());
    EXPECT_EQ(1, own.paints);
    EXPECT_EQ(0, whole.paints + neighbour.paints);
}

TEST_F(GridTest, DoubleClickZoomFillsTheGridAndRestores)
{
    grid->SetDefaultLayout(LAYOUT_9, nullptr);
    CSFQTVideoWindowSubWnd* cell = Cell(4);
    const QRect home = cell->geometry();
    grid->SubWinDblClickZoom(4, cell);
    EXPECT_EQ(grid->rect(), cell->geometry());
    EXPECT_EQ(1, VisibleCells());
    EXPECT_TRUE(handler.Has("occupy 4 4 1"));
    grid->SubWinDblClickZoom(4, cell);
    EXPECT_EQ(home, cell->geometry());
    EXPECT_EQ(9, VisibleCells());
    EXPECT_TRUE(handler.Has("occupy 4 4 0"));
}

TEST_F(GridTest, ResizeReplacesTheCells)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    grid->MoveWindow(0, 0, 400, 300);
    EXPECT_EQ(QRect(QPoint(201, 151), QPoint(398, 298)), Cell(3)->geometry());
}

TEST_F(GridTest, LayoutEditModeHasNoCells)
{
    CSFQTVideoWindow edit(VIDEOWINDOWMODE_LAYOUT_EDIT, &handler, 8, 8);
    ASSERT_EQ(1, edit.Create(L"edit", tagRECT{0, 0, 400, 300}, nullptr, 1));
    EXPECT_EQ(nullptr, edit.CellAt(0));
    EXPECT_EQ(-1, edit.GetSubWinIDByIndex(0));
    EXPECT_EQ(-1, edit.GetSubWinIndexByID(0));
    ASSERT_EQ(1, edit.SetDefaultLayout(LAYOUT_4, nullptr));
    EXPECT_EQ(1, edit.SetRows(3));
    EXPECT_EQ(6, edit.GetCurrentSubWinCount());
}

TEST_F(GridTest, VerticalSyncReachesEveryRenderer)
{
    EXPECT_EQ(1, grid->VerticalSyncEnable(1));
    EXPECT_EQ(1, PlayWnd(63)->Renderer().IsVerticalSyncOn());
}

TEST_F(GridTest, CellBufferAndOpacityRules)
{
    CSFQTVideoWindowSubWnd* cell = Cell(0);
    ASSERT_NE(nullptr, cell->GetRGBBuffer(352, 288));
    const BYTE* small = cell->RGBBufferData();
    ASSERT_NE(nullptr, cell->GetRGBBuffer(704, 576));
    EXPECT_EQ(704u * 576u * 4u, cell->RGBBufferSize());
    ASSERT_NE(nullptr, cell->GetRGBBuffer(352, 288));
    EXPECT_EQ(352u * 288u * 4u, cell->RGBBufferSize());
    (void)small;
    EXPECT_EQ(nullptr, cell->GetRGBBuffer(0, 10));
    cell->SetOpacity(0.5);
    cell->SetOpacity(1.5);
    cell->SetOpacity(std::nan(""));
    EXPECT_DOUBLE_EQ(0.5, cell->Opacity());
}

TEST_F(GridTest, OddFrameSizesAreReadAndCopiedWithinTheirBuffers)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    grid->SetSubWinVideoByID(0, 1);
    grid->SetSubWinVideoByID(1, 1);
    for (const auto& [w, h] : {std::pair{35, 21}, std::pair{17, 9}, std::pair{706, 577}}) {
        // Exact-size heap buffers: a read past their end is caught by the sanitizer.
        auto rgb = RgbFrame(w, h, 0, 255, 0);
        ASSERT_EQ(1, grid->RenderSubWin(0, rgb.data(), RENDER_DATA_QIMAGE, w, h));
        EXPECT_EQ(qRgb(0, 255, 0), PlayWnd(0)->FrameImage().pixel(w - 1, h - 1));
        auto yuv = YuvFrame(w, h, 81, 90, 240);
        ASSERT_EQ(1, grid->RenderOffScreenSurface(1, yuv.data(), w, h, 0, 0));
        CDDrawDevice::SetAcceptedFormats(DDFMT_RGB32);
        grid->SetSubWinVideoByID(1, 0);  // releases the frame surface
        grid->SetSubWinVideoByID(1, 1);
        ASSERT_EQ(1, grid->RenderOffScreenSurface(1, yuv.data(), w, h, 0, 0));
        EXPECT_GT(qRed(PlayWnd(1)->FrameImage().pixel(0, 0)), 200);
        // The odd last column and row are red as well, not green.
        EXPECT_GT(qRed(PlayWnd(1)->FrameImage().pixel(w - 1, h - 1)), 200) << w;
        EXPECT_LT(qGreen(PlayWnd(1)->FrameImage().pixel(w - 1, h - 1)), 60) << w;
        CDDrawDevice::ResetDisplay();
    }
}

TEST_F(GridTest, WheelOverACellWithVideoAsksForZoom)
{
    grid->SetDefaultLayout(LAYOUT_4, nullptr);
    const QPoint inside = Cell(3)->geometry().center();
    QWheelEvent up(inside, grid->mapToGlobal(inside), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.get(), &up);
    EXPECT_FALSE(handler.Has("zoom 3 3 1"));  // video off
    grid->SetSubWinVideoByIndex(3, 1);
    QApplication::sendEvent(grid.get(), &up);
    EXPECT_TRUE(handler.Has("zoom 3 3 1"));
}

TEST_F(GridTest, FewerRowsHideTheCellsLeftOver)
{
    grid->SetDefaultLayout(LAYOUT_16, nullptr);
    const int before = handler.layoutChanges;
    ASSERT_EQ(1, grid->SetRows(2));
    EXPECT_EQ(8, grid->GetCurrentSubWinCount());
    EXPECT_EQ(8, VisibleCells());
    EXPECT_EQ(before + 1, handler.layoutChanges);
    EXPECT_EQ(0, grid->SetColumns(4));
}

TEST_F(GridTest, EditModeTogglesSplittersWithTheMouse)
{
    CSFQTVideoWindow edit(VIDEOWINDOWMODE_LAYOUT_EDIT, &handler, 8, 8);
    ASSERT_EQ(1, edit.Create(L"edit", tagRECT{0, 0, 400, 300}, nullptr, 1));
    edit.SetDefaultLayout(LAYOUT_4, nullptr);
    edit.show();
    const int before = handler.layoutChanges;
    QTest::mouseMove(&edit, QPoint(200, 50));  // the vertical bar of the top row
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(200, 50));
    EXPECT_EQ(3, edit.GetCurrentSubWinCount());
    EXPECT_EQ(before + 1, handler.layoutChanges);
    char text[512];
    ASSERT_EQ(1, edit.GetLayout(text, sizeof(text)));
    EXPECT_NE(nullptr, std::strstr(text, "65536:0:"));
}

TEST_F(GridTest, GeometryRequestsDuringAnAnimationWaitOrFinishIt)
{
    grid->EnableSubWinAnimation(1);
    CSFQTVideoWindowSubWnd* cell = Cell(0);
    const QRect first(10, 10, 100, 100), second(50, 50, 200, 150);
    ASSERT_NE(nullptr, cell->LaunchSubWinGeometryChangeAni(first, QRect(), 200, QEasingCurve::OutQuint, true));
    EXPECT_EQ(1, cell->IsGeometryAnimating());
    EXPECT_EQ(nullptr, cell->LaunchSubWinGeometryChangeAni(second, QRect(), 200, QEasingCurve::OutQuint, true));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell->geometry() == second; }, 2000));
    ASSERT_NE(nullptr, cell->LaunchSubWinGeometryChangeAni(first, QRect(), 200, QEasingCurve::OutQuint, true));
    // Without startNow the running one ends at once; the new one waits to be started.
    QPropertyAnimation* waiting = cell->LaunchSubWinGeometryChangeAni(second, QRect(), 200, QEasingCurve::OutQuint, false);
    ASSERT_NE(nullptr, waiting);
    EXPECT_EQ(first, cell->geometry());
    EXPECT_EQ(0, cell->IsGeometryAnimating());
    waiting->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell->geometry() == second; }, 2000));
}
