#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include "Base/PlanarLayout.h"
#include "Common/YuvToRgb.h"
#include "GridTestSupport.h"
#include "Platform/DDraw/DDrawDevice.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"

// A planar frame reaches the screen with the very pixels the 32-bit
// picture of the same frame showed, at the cell's size, whole and zoomed,
// whether it came as the Qt path's planar picture or fell back from the
// renderer.
namespace {

constexpr int kWidth = 352;
constexpr int kHeight = 288;

// Luma with fine detail in both directions, U rising to the right and V
// downwards: a wrong scale or a swapped chroma plane changes the picture.
struct Pattern {
    std::vector<BYTE> y;
    std::vector<BYTE> u;
    std::vector<BYTE> v;

    Pattern()
    {
        const SF_SOFT_BASE::PlanarLayout layout{kWidth, kHeight};
        for (int row = 0; row < kHeight; ++row)
            for (int x = 0; x < kWidth; ++x)
                y.push_back(BYTE(16 + (x * 7 + row * 13) % 220));
        for (int row = 0; row < layout.ChromaHeight(); ++row)
            for (int x = 0; x < layout.ChromaWidth(); ++x) {
                u.push_back(BYTE(40 + x));
                v.push_back(BYTE(60 + row));
            }
    }
    // Y, then the given chroma planes.
    std::vector<BYTE> Planar(const std::vector<BYTE>& first, const std::vector<BYTE>& second) const
    {
        std::vector<BYTE> bytes = y;
        bytes.insert(bytes.end(), first.begin(), first.end());
        bytes.insert(bytes.end(), second.begin(), second.end());
        return bytes;
    }
    boost::shared_ptr<unsigned char[]> SharedYvu() const
    {
        const std::vector<BYTE> bytes = Planar(v, u);
        boost::shared_ptr<unsigned char[]> shared(new unsigned char[bytes.size()]);
        std::memcpy(shared.get(), bytes.data(), bytes.size());
        return shared;
    }
    // The 32-bit picture the Qt path used to hand over (R, G, B, X).
    std::vector<BYTE> Rgb() const
    {
        std::vector<BYTE> rgb(std::size_t(kWidth) * kHeight * 4);
        ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(rgb.data()), kWidth, y.data(), v.data(), u.data(),
                             kWidth, SF_SOFT_BASE::PlanarLayout{kWidth, kHeight}.ChromaWidth(), kWidth, kHeight);
        return rgb;
    }
};

// Where two screens differ (empty when they are the same).
std::string Difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return "sizes differ";
    int count = 0;
    std::string first;
    for (int row = 0; row < a.height(); ++row)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, row) != b.pixel(x, row) && count++ == 0)
                first = "first at " + std::to_string(x) + "," + std::to_string(row) + ": " +
                        std::to_string(a.pixel(x, row)) + " vs " + std::to_string(b.pixel(x, row));
    return count ? std::to_string(count) + " pixels differ, " + first : std::string();
}

class ShownPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDDrawDevice::ResetDisplay();
        grid = std::make_unique<CSFQTVideoWindow>(VIDEOWINDOWMODE_NORMAL, &handler, 8, 8);
        ASSERT_EQ(1, grid->Create(L"grid", tagRECT{0, 0, 800, 600}, nullptr, 7));
        grid->EnableSubWinAnimation(0);
        grid->SetDefaultLayout(LAYOUT_16, nullptr);
        grid->show();
        grid->SetSubWinVideoByID(0, 1);
    }
    void TearDown() override { CDDrawDevice::ResetDisplay(); }

    CSFQTVideoWindowPlayWnd* Wnd() const { return grid->CellAt(0)->GetPlayWnd(); }
    QImage Screen() const { return Wnd()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QImage ShownAsBefore()
    {
        std::vector<BYTE> rgb = pattern.Rgb();
        EXPECT_EQ(1, grid->RenderSubWin(0, rgb.data(), RENDER_DATA_QIMAGE, kWidth, kHeight));
        return Screen();
    }
    void ZoomIn() { Wnd()->ApplyZoomRect(13, 9, Wnd()->width() / 2 + 7, Wnd()->height() / 2 + 3); }

    RecordingGridHandler handler;
    std::unique_ptr<CSFQTVideoWindow> grid;
    Pattern pattern;
};

}  // namespace

TEST_F(ShownPictureTest, QtPathPlanarPictureMatchesTheRgbPictureWholeAndZoomed)
{
    ASSERT_LT(Wnd()->width(), kWidth);
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    const QImage planar = Screen();
    EXPECT_EQ(Wnd()->size(), Wnd()->ShownImage().size());
    EXPECT_EQ("", Difference(planar, ShownAsBefore()));

    ZoomIn();
    const QImage zoomedBefore = Screen();
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    EXPECT_EQ("", Difference(Screen(), zoomedBefore));
    EXPECT_NE("", Difference(zoomedBefore, planar));
}

TEST_F(ShownPictureTest, RendererFallbackMatchesTheRgbPicture)
{
    CDDrawDevice::SetAcceptedFormats(DDFMT_RGB32);
    const std::vector<BYTE> yuv = pattern.Planar(pattern.u, pattern.v);
    ASSERT_EQ(1, grid->RenderOffScreenSurface(0, const_cast<BYTE*>(yuv.data()), kWidth, kHeight, 0, 0));
    EXPECT_TRUE(Wnd()->PresentedImage().isNull());
    EXPECT_EQ("", Difference(Screen(), ShownAsBefore()));
}

TEST_F(ShownPictureTest, RendererFallbackKeepsAnOwnedFrameUntilTheNextOne)
{
    CDDrawDevice::SetAcceptedFormats(DDFMT_RGB32);
    const std::vector<BYTE> yuv = pattern.Planar(pattern.u, pattern.v);
    auto first = boost::make_shared<std::vector<BYTE>>(yuv);
    ASSERT_EQ(1, grid->RenderKeptOffScreenSurface(0, first->data(), first, kWidth, kHeight, 0, 0));
    EXPECT_EQ(2, first.use_count());
    EXPECT_EQ("", Difference(Screen(), ShownAsBefore()));

    auto second = boost::make_shared<std::vector<BYTE>>(yuv);
    ASSERT_EQ(1, grid->RenderKeptOffScreenSurface(0, second->data(), second, kWidth, kHeight, 0, 0));
    EXPECT_EQ(1, first.use_count());
    EXPECT_EQ(2, second.use_count());
    EXPECT_EQ("", Difference(Screen(), ShownAsBefore()));
}

TEST_F(ShownPictureTest, ANewFrameRepaintsThePictureAloneUnlessItIsSeeThrough)
{
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    QApplication::processEvents();
    PaintCount picture(Wnd());
    PaintCount cell(grid->CellAt(0));
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    QApplication::processEvents();
    EXPECT_EQ(1, picture.paints);
    EXPECT_EQ(0, cell.paints);

    // A see-through picture is drawn over the cell again.
    Wnd()->SetOpacity(0.5);
    QApplication::processEvents();
    cell.paints = 0;
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    QApplication::processEvents();
    EXPECT_EQ(1, cell.paints);
}

TEST_F(ShownPictureTest, PlanarFrameGivesTheWholeFrameOnRequest)
{
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    const QImage frame = Wnd()->FrameImage();
    ASSERT_EQ(QSize(kWidth, kHeight), frame.size());
    const std::vector<BYTE> rgb = pattern.Rgb();
    const QImage expected(rgb.data(), kWidth, kHeight, kWidth * 4, QImage::Format_RGBX8888);
    EXPECT_TRUE(frame == expected);
}
