#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
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

// The mean difference of two screens per channel, in levels.
double MeanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    double sum = 0;
    for (int row = 0; row < a.height(); ++row)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, row), q = b.pixel(x, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
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

// Scaled by another sampler, the picture keeps its pixels' places: a
// wrong scale, offset or chroma plane differs far more.
TEST_F(ShownPictureTest, QtPathPlanarPictureMatchesTheRgbPictureWholeAndZoomed)
{
    ASSERT_LT(Wnd()->width(), kWidth);
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    const QImage planar = Screen();
    EXPECT_EQ(Wnd()->size(), Wnd()->ShownImage().size());
    const QImage before = ShownAsBefore();
    EXPECT_GT(4.0, MeanDifference(planar, before));

    ZoomIn();
    const QImage zoomedBefore = Screen();
    ASSERT_EQ(1, grid->RenderPlanarSubWin(0, pattern.SharedYvu(), kWidth, kHeight));
    const QImage zoomed = Screen();
    EXPECT_GT(4.0, MeanDifference(zoomed, zoomedBefore));
    EXPECT_LT(10.0, MeanDifference(zoomedBefore, before));
    EXPECT_LT(10.0, MeanDifference(zoomed, planar));
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

// The shown picture against the former scalar conversion, kept here as the
// slow reference: each pixel from its nearest source sample.
namespace {

struct Picture {
    int width, height;
    std::vector<BYTE> bytes;  // Y, V, U

    Picture(int w, int h, bool smooth) : width(w), height(h)
    {
        const SF_SOFT_BASE::PlanarLayout layout{w, h};
        bytes.resize(layout.Size());
        unsigned noise = 12345;
        auto next = [&noise] { return BYTE((noise = noise * 1103515245u + 12345u) >> 16); };
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x)
                bytes[std::size_t(row) * w + x] = smooth ? BYTE(20 + 200 * x / w + 10 * row / h) : next();
        BYTE* v = bytes.data() + layout.FirstChromaOffset();
        BYTE* u = bytes.data() + layout.SecondChromaOffset();
        for (int row = 0; row < layout.ChromaHeight(); ++row)
            for (int x = 0; x < layout.ChromaWidth(); ++x) {
                const std::size_t i = std::size_t(row) * layout.ChromaWidth() + x;
                u[i] = smooth ? BYTE(60 + 120 * x / layout.ChromaWidth()) : next();
                v[i] = smooth ? BYTE(70 + 110 * row / layout.ChromaHeight()) : next();
            }
    }
    // Luma of (x, row) with the chroma sample (cx, cy).
    QRgb Reference(int x, int row, int cx, int cy) const
    {
        const SF_SOFT_BASE::PlanarLayout layout{width, height};
        const std::size_t chroma = std::size_t(cy) * layout.ChromaWidth() + cx;
        const int luma = (bytes[std::size_t(row) * width + x] - 16) * 9535;
        const int cv = bytes[layout.FirstChromaOffset() + chroma] - 128;
        const int cu = bytes[layout.SecondChromaOffset() + chroma] - 128;
        auto channel = [](int value) { return std::clamp(value >> 13, 0, 255); };
        return qRgb(channel(luma + cv * 13074), channel(luma - cu * 3203 - cv * 6660), channel(luma + cu * 16531));
    }
    QRgb Reference(int x, int row) const { return Reference(x, row, x / 2, row / 2); }
};

int ChannelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The least difference to the reference colours of the nearest source
// pixel and its neighbours, each with its chroma sample or a neighbour's
// (scaling may round a position either way, and places chroma on its own).
int NearestDifference(const Picture& picture, QRgb shown, double sx, double sy)
{
    const SF_SOFT_BASE::PlanarLayout layout{picture.width, picture.height};
    int best = 255;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = std::clamp(int(sx) + dx, 0, picture.width - 1);
            const int row = std::clamp(int(sy) + dy, 0, picture.height - 1);
            for (int cy = -1; cy <= 1; ++cy)
                for (int cx = -1; cx <= 1; ++cx) {
                    const int chromaX = std::clamp(int(sx) / 2 + cx, 0, layout.ChromaWidth() - 1);
                    const int chromaY = std::clamp(int(sy) / 2 + cy, 0, layout.ChromaHeight() - 1);
                    best = std::min(best, ChannelDifference(shown, picture.Reference(x, row, chromaX, chromaY)));
                }
        }
    return best;
}

QImage ShownAt(const Picture& picture, int w, int h)
{
    CSFQTVideoWindowPlayWnd wnd(tagRECT{0, 0, w - 1, h - 1}, 0, 0);
    wnd.SetArea(0, 0, w - 1, h - 1);
    auto owner = boost::make_shared<std::vector<BYTE>>(picture.bytes);
    wnd.ShowPlanar(owner->data(), owner, picture.width, picture.height, true);
    return wnd.ShownImage().copy();
}

}  // namespace

TEST(ShownPictureScaling, UnscaledPicturesKeepTheReferenceColoursWithinOneLevel)
{
    for (auto [w, h] : {std::pair{2, 2}, {17, 11}, {352, 288}, {353, 289}, {720, 576}}) {
        const Picture picture(w, h, false);
        const QImage shown = ShownAt(picture, w, h);
        ASSERT_EQ(QSize(w, h), shown.size());
        int worst = 0;
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x)
                worst = std::max(worst, ChannelDifference(shown.pixel(x, row), picture.Reference(x, row)));
        EXPECT_LE(worst, 1) << w << "x" << h;
    }
}

TEST(ShownPictureScaling, ScaledPicturesTakeTheColoursOfTheirNearestSamples)
{
    for (auto [w, h] : {std::pair{17, 11}, {353, 289}, {704, 576}})
        for (double scale : {0.5, 0.37, 0.68, 1.5}) {
            const int dw = std::max(1, int(w * scale)), dh = std::max(1, int(h * scale));
            const Picture picture(w, h, true);
            const QImage shown = ShownAt(picture, dw, dh);
            ASSERT_EQ(QSize(dw, dh), shown.size());
            int worst = 0;
            for (int row = 0; row < dh; ++row)
                for (int x = 0; x < dw; ++x)
                    worst = std::max(worst, NearestDifference(picture, shown.pixel(x, row), (x + 0.5) * w / dw,
                                                              (row + 0.5) * h / dh));
            EXPECT_LE(worst, 3) << w << "x" << h << " at " << scale;
        }
}
