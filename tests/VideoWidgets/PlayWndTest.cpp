#include <gtest/gtest.h>

#include <QTest>

#include "GridTestSupport.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"

namespace {

bool RectIs(const tagRECT& r, int l, int t, int ri, int b)
{
    return r.left == l && r.top == t && r.right == ri && r.bottom == b;
}

// A play window of 400 x 300 showing a 704 x 576 frame, proportion 4:3.
class PlayWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wnd.setGeometry(0, 0, 400, 300);
        wnd.SetVideoState(1);
        wnd.ShowImage(frame.data(), 1, 704, 576);
    }
    bool InsideFrame() const
    {
        const tagRECT r = wnd.SourceRect();
        return r.left >= 0 && r.top >= 0 && r.right <= 703 && r.bottom <= 575;
    }

    CSFQTVideoWindowPlayWnd wnd{tagRECT{0, 0, 399, 299}, 4, 3};
    std::vector<BYTE> frame = RgbFrame(704, 576, 10, 20, 30);
};

}  // namespace

TEST(PlayWndFit, AreasFitTheProportion)
{
    EXPECT_TRUE(RectIs(CSFQTVideoWindowPlayWnd::FitArea({0, 0, 399, 299}, 16, 9), 0, 37, 399, 262));
    EXPECT_TRUE(RectIs(CSFQTVideoWindowPlayWnd::FitArea({0, 0, 199, 299}, 4, 3), 0, 75, 199, 225));
    EXPECT_TRUE(RectIs(CSFQTVideoWindowPlayWnd::FitArea({0, 0, 799, 299}, 4, 3), 200, 0, 600, 299));
    EXPECT_TRUE(RectIs(CSFQTVideoWindowPlayWnd::FitArea({3, 3, 97, 77}, 0, 0), 3, 3, 97, 77));
}

TEST_F(PlayWndTest, FirstFrameShowsAll)
{
    EXPECT_TRUE(RectIs(wnd.SourceRect(), 0, 0, 703, 575));
    EXPECT_EQ(1, wnd.DisplayState());
    EXPECT_EQ(qRgb(10, 20, 30), wnd.FrameImage().pixel(100, 100));
}

TEST_F(PlayWndTest, SelectionZoomKeepsTheProportionAroundItsCentre)
{
    wnd.ApplyZoomRect(150, 100, 249, 199);
    const tagRECT r = wnd.SourceRect();
    EXPECT_TRUE(RectIs(r, 223, 191, 478, 382)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_EQ((r.right - r.left + 1) * 3, (r.bottom - r.top + 1) * 4);
}

TEST_F(PlayWndTest, SmallSelectionsAreIgnored)
{
    wnd.ApplyZoomRect(10, 10, 18, 59);  // 9 x 50
    EXPECT_TRUE(RectIs(wnd.SourceRect(), 0, 0, 703, 575));
}

TEST_F(PlayWndTest, WheelZoomStaysInsideTheFrame)
{
    wnd.WheelZoom(true, 200, 150);
    EXPECT_TRUE(RectIs(wnd.SourceRect(), 0, 0, 703, 575));
    for (int i = 0; i < 10; ++i)
        wnd.WheelZoom(false, 0, 150);
    const tagRECT r = wnd.SourceRect();
    EXPECT_LT(r.right - r.left + 1, 704);
    EXPECT_TRUE(InsideFrame());
    for (int i = 0; i < 100; ++i)
        wnd.WheelZoom(false, 399, 299);
    EXPECT_GE(wnd.SourceRect().right - wnd.SourceRect().left + 1, 10);
    EXPECT_TRUE(InsideFrame());
}

TEST_F(PlayWndTest, RightPressAndNewFrameSizeResetTheZoom)
{
    wnd.ApplyZoomRect(150, 100, 249, 199);
    QTest::mousePress(&wnd, Qt::RightButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&wnd, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_TRUE(RectIs(wnd.SourceRect(), 0, 0, 703, 575));
    wnd.ApplyZoomRect(150, 100, 249, 199);
    auto small = RgbFrame(352, 288, 1, 2, 3);
    wnd.ShowImage(small.data(), 1, 352, 288);
    EXPECT_TRUE(RectIs(wnd.SourceRect(), 0, 0, 351, 287));
}

TEST_F(PlayWndTest, VideoOffClearsTheFrame)
{
    wnd.SetVideoState(0);
    EXPECT_EQ(0, wnd.DisplayState());
    EXPECT_TRUE(wnd.FrameImage().isNull());
    wnd.ApplyZoomRect(150, 100, 249, 199);  // ignored while off
    EXPECT_TRUE(RectIs(wnd.SourceRect(), 0, 0, 399, 299));
}
