#include <gtest/gtest.h>

#include <string>

#include "VideoWidgets/QTVideoWindowLayout.h"
#include "Widgets/SFVideoWindow.h"

namespace {

bool RectIs(const tagRECT& r, int l, int t, int ri, int b)
{
    return r.left == l && r.top == t && r.right == ri && r.bottom == b;
}

CQTVideoWindowLayout Applied(const char* text, int w = 400, int h = 300)
{
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    EXPECT_EQ(1, layout.ParseLayout(text));
    if (!layout.CalcCellRects(w, h))
        layout.RebuildCells();
    return layout;
}

}  // namespace

TEST(GridLayout, FreshLayoutWritesItsDescriptor)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    std::string text;
    EXPECT_EQ(1, layout.BuildLayout(text));
    EXPECT_EQ("2/2/4/400:300/0:1:0:145:199:154-1:1:200:145:399:154-65536:1:195:0:204:149-65792:1:195:150:204:299/"
              "0:0:199:149-200:0:399:149-0:150:199:299-200:150:399:299",
              text);
}

TEST(GridLayout, BuildAndParseRoundTrip)
{
    for (int type = 0; type <= 9; ++type) {
        CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(static_cast<LAYOUT_TYPE>(type)), 801, 603);
        std::string first, second;
        layout.BuildLayout(first);
        CQTVideoWindowLayout copy(3, 3, 10, 10);
        ASSERT_EQ(1, copy.ParseLayout(first.c_str())) << first;
        copy.BuildLayout(second);
        EXPECT_EQ(first, second);
        EXPECT_EQ(layout.m_cellCount, copy.m_cellCount);
    }
}

TEST(GridLayout, DefaultTextsGiveTheirCellCounts)
{
    const int expected[] = {1, 4, 6, 8, 9, 13, 16, 20, 25, 36};
    for (int type = 0; type <= 9; ++type) {
        CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(static_cast<LAYOUT_TYPE>(type)), 800, 600);
        EXPECT_EQ(expected[type], layout.m_cellCount) << type;
        EXPECT_EQ(static_cast<size_t>(expected[type]), layout.m_cells.size()) << type;
    }
}

TEST(GridLayout, OneWindowDefaultFillsTheCanvas)
{
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    ASSERT_EQ(1, layout.ParseLayout("1/1/1/400:300//0:0:400:300"));
    EXPECT_TRUE(layout.m_bars.empty());
    layout.RebuildCells();
    ASSERT_EQ(1, layout.m_cellCount);
    EXPECT_TRUE(RectIs(layout.m_cells[0], 0, 0, 399, 299));
}

TEST(GridLayout, ThirteenWindowsAreNumberedRowByRow)
{
    CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(LAYOUT_13), 400, 300);
    ASSERT_EQ(13, layout.m_cellCount);
    EXPECT_TRUE(RectIs(layout.m_cells[4], 0, 75, 99, 149));
    EXPECT_TRUE(RectIs(layout.m_cells[5], 100, 75, 299, 224));
    EXPECT_TRUE(RectIs(layout.m_cells[6], 300, 75, 399, 149));
    EXPECT_TRUE(RectIs(layout.m_cells[8], 300, 150, 399, 224));
    EXPECT_TRUE(RectIs(layout.m_cells[12], 300, 225, 399, 299));
}

TEST(GridLayout, RemaindersGoToTheLastRowAndColumn)
{
    CQTVideoWindowLayout layout(6, 3, 400, 300);
    EXPECT_EQ(399, layout.m_cells[2].right);
    EXPECT_EQ(399, layout.m_bars[CQTVideoWindowLayout::HorizontalBarId(0, 2)].rect.right);
    EXPECT_EQ(299, layout.m_cells[17].bottom);
    CQTVideoWindowLayout odd(3, 3, 400, 300);
    EXPECT_EQ(399, odd.m_cells[8].right);
}

TEST(GridLayout, DisabledBarsMergeCells)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    layout.m_bars[65536].enabled = 0;
    layout.RebuildCells();
    ASSERT_EQ(3, layout.m_cellCount);
    EXPECT_TRUE(RectIs(layout.m_cells[0], 0, 0, 399, 149));
    for (auto& bar : layout.m_bars)
        bar.second.enabled = 0;
    layout.RebuildCells();
    ASSERT_EQ(1, layout.m_cellCount);
    EXPECT_TRUE(RectIs(layout.m_cells[0], 0, 0, 399, 299));
}

TEST(GridLayout, FewerRowsKeepMergesOfSurvivingPositions)
{
    CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(LAYOUT_8), 400, 300);
    ASSERT_EQ(1, layout.SetRows(2));
    EXPECT_EQ(3, layout.m_cellCount);
    EXPECT_TRUE(RectIs(layout.m_cells[0], 0, 0, 299, 299));
    EXPECT_EQ(0u, layout.m_bars.count(CQTVideoWindowLayout::VerticalBarId(2, 0)));
    EXPECT_EQ(0u, layout.m_bars.count(CQTVideoWindowLayout::HorizontalBarId(1, 0)));
    EXPECT_EQ(0, layout.SetRows(2));
    EXPECT_EQ(0, layout.SetRows(0));
    EXPECT_EQ(0, layout.SetColumns(9));
    // Column 0 of the merged block spans both rows: one cell remains.
    EXPECT_EQ(1, layout.SetColumns(1));
    EXPECT_EQ(1, layout.m_cellCount);
}

TEST(GridLayout, HitTestPrefersTheHorizontalBar)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    ASSERT_EQ(1, layout.HitTestSplitter(200, 150));
    EXPECT_EQ(1u, layout.m_selection.count(CQTVideoWindowLayout::HorizontalBarId(0, 1)));
    EXPECT_EQ(0u, layout.m_selection.count(65536));
    EXPECT_EQ(0, layout.HitTestSplitter(50, 50));
    EXPECT_TRUE(layout.m_selection.empty());
    EXPECT_EQ(0, layout.EndSplitterDrag(0, 0));
}

TEST(GridLayout, MergingPullsInTheBarsThatKeepCellsRectangular)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    layout.m_bars[65536].enabled = 0;  // top row merged
    layout.RebuildCells();
    ASSERT_EQ(1, layout.HitTestSplitter(100, 150));
    EXPECT_EQ(3u, layout.m_selection.size());
    EXPECT_EQ(1u, layout.m_selection.count(0));
    EXPECT_EQ(1u, layout.m_selection.count(1));
    EXPECT_EQ(1u, layout.m_selection.count(65792));
    ASSERT_EQ(1, layout.EndSplitterDrag(100, 150));
    EXPECT_EQ(1, layout.m_cellCount);
    // A second release without a new hit test toggles the same bars back.
    ASSERT_EQ(1, layout.EndSplitterDrag(100, 150));
    EXPECT_EQ(3, layout.m_cellCount);
}

TEST(GridLayout, SplittingCutsStraightThroughAMergedBlock)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    for (auto& bar : layout.m_bars)
        bar.second.enabled = 0;
    layout.RebuildCells();
    ASSERT_EQ(1, layout.HitTestSplitter(200, 50));
    EXPECT_EQ(2u, layout.m_selection.size());
    EXPECT_EQ(1u, layout.m_selection.count(65536));
    EXPECT_EQ(1u, layout.m_selection.count(65792));
    layout.EndSplitterDrag(200, 50);
    ASSERT_EQ(2, layout.m_cellCount);
    EXPECT_TRUE(RectIs(layout.m_cells[0], 0, 0, 199, 299));
}

TEST(GridLayout, CanvasResizePutsBarsOnTheNewGrid)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    EXPECT_EQ(0, layout.CalcCellRects(400, 300));
    ASSERT_EQ(1, layout.CalcCellRects(800, 600));
    EXPECT_TRUE(RectIs(layout.m_cells[3], 400, 300, 799, 599));
    EXPECT_TRUE(RectIs(layout.m_bars[65536].rect, 395, 0, 404, 299));
    CQTVideoWindowLayout other(1, 1, 100, 100);
    other.CopyFrom(layout);
    EXPECT_EQ(100, other.m_width);
    EXPECT_EQ(4, other.m_cellCount);
    EXPECT_TRUE(RectIs(other.m_cells[3], 50, 50, 99, 99));
}

TEST(GridLayout, MalformedTextsAreRejectedAndChangeNothing)
{
    const char* bad[] = {
        nullptr,
        "",
        "2/2/4/400:300/",                                        // five fields
        "2/2/4/400:300///",                                      // seven fields
        "0/2/4/400:300//0:0:400:300",                            // no rows
        "2/0/4/400:300//0:0:400:300",                            // no columns
        "9/2/4/400:300//0:0:400:300",                            // too many rows
        "a/2/4/400:300//0:0:400:300",                            // not a number
        "2/2/4/400/0:1:0:145:200:155/0:0:400:300",               // canvas without ":"
        "2/2/4/0:300//0:0:400:300",                              // empty canvas
        "2/2/4/400:300/0:1:0:145:200/0:0:400:300",               // bar with five fields
        "2/2/4/400:300/0:1:0:145:200:155-/0:0:400:300",          // trailing "-"
        "2/2/4/400:300/0:x:0:145:200:155/0:0:400:300",           // bar field not a number
        "2/2/4/400:300/0:2:0:145:200:155/0:0:400:300",           // enabled neither 0 nor 1
        "2/2/4/400:300//0:0:400",                                // cell with three fields
        "2/2/4/400:300//0:0:400:300:7",                          // cell with five fields
        "2/2/4/400:300//0:0:4000000000:300",                     // number too long
    };
    for (const char* text : bad) {
        CQTVideoWindowLayout layout(2, 2, 400, 300);
        std::string before, after;
        layout.BuildLayout(before);
        EXPECT_EQ(0, layout.ParseLayout(text)) << (text ? text : "(null)");
        layout.BuildLayout(after);
        EXPECT_EQ(before, after);
    }
}

TEST(GridLayout, LineEndsReadFromAFileAreAccepted)
{
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    EXPECT_EQ(1, layout.ParseLayout("2/2/4/400:300//0:0:400:300\r\n"));
    EXPECT_EQ(2, layout.m_rows);
}
