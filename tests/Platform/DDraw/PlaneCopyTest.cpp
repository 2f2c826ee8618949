#include <gtest/gtest.h>

#include "DDrawTestWindow.h"
#include "Platform/DDraw/DDrawSurface.h"
#include "Platform/DDraw/PlaneCopy.h"
#include "Platform/DDraw/SurfaceScaler.h"

namespace {

// Y values 1..w*h, U values 100 + index, V values 200 + index.
YuvFrame CountingFrame(int w, int h)
{
    YuvFrame frame(w, h, 0, 0, 0);
    for (int i = 0; i < w * h; ++i)
        frame.Y()[i] = static_cast<BYTE>(1 + i);
    for (std::size_t i = 0; i < frame.Layout().ChromaSize(); ++i) {
        frame.U()[i] = static_cast<BYTE>(100 + i);
        frame.V()[i] = static_cast<BYTE>(200 + i);
    }
    return frame;
}

constexpr BYTE kSentinel = 0xEE;

}  // namespace

TEST(PlaneCopy, PackedFormatsOnOddWidthStayInsideTheirRows)
{
    const int w = 7, h = 5;  // chroma 4 x 3
    YuvFrame frame = CountingFrame(w, h);
    const DWORD pitch = 32;
    std::vector<BYTE> uyvy(pitch * h, kSentinel), yuy2(pitch * h, kSentinel);
    CopyYV12ToUYVY(frame.Y(), frame.U(), frame.V(), uyvy.data(), pitch, w, h);
    CopyYV12ToYUY2(frame.Y(), frame.U(), frame.V(), yuy2.data(), pitch, w, h);

    // Row 0, first pair: U0 Y0 V0 Y1 and Y0 U0 Y1 V0.
    EXPECT_EQ((std::vector<BYTE>{100, 1, 200, 2}), std::vector<BYTE>(uyvy.begin(), uyvy.begin() + 4));
    EXPECT_EQ((std::vector<BYTE>{1, 100, 2, 200}), std::vector<BYTE>(yuy2.begin(), yuy2.begin() + 4));
    // Row 0, last (half) pair: pixel 6 with its own chroma sample, Y repeated.
    EXPECT_EQ((std::vector<BYTE>{103, 7, 203, 7}), std::vector<BYTE>(uyvy.begin() + 12, uyvy.begin() + 16));
    // Rows 2 and 3 share chroma row 1; the odd last row has row 2.
    EXPECT_EQ(104, uyvy[2 * pitch]);
    EXPECT_EQ(104, uyvy[3 * pitch]);
    EXPECT_EQ(108, uyvy[4 * pitch]);
    EXPECT_EQ(1 + 4 * w, uyvy[4 * pitch + 1]);
    for (int row = 0; row < h; ++row)
        for (DWORD x = 16; x < pitch; ++x) {
            ASSERT_EQ(kSentinel, uyvy[row * pitch + x]) << row << "," << x;
            ASSERT_EQ(kSentinel, yuy2[row * pitch + x]) << row << "," << x;
        }
}

TEST(PlaneCopy, PackedCopyOfWidthsThatAreNoMultipleOf16)
{
    for (int w : {2, 14, 18, 30, 34, 704, 706}) {
        YuvFrame frame = CountingFrame(w, 4);
        const DWORD pitch = static_cast<DWORD>(CDDrawSurface::PitchFor(DDFMT_UYVY, w));
        std::vector<BYTE> out(pitch * 4 + 16, kSentinel);
        CopyYV12ToUYVY(frame.Y(), frame.U(), frame.V(), out.data(), pitch, w, 4);
        const DWORD used = static_cast<DWORD>((w + 1) / 2 * 4);
        EXPECT_EQ(frame.Y()[w - 1], out[used - 1]) << w;
        for (DWORD x = used; x < pitch; ++x)
            ASSERT_EQ(kSentinel, out[x]) << w;
        for (size_t x = pitch * 4; x < out.size(); ++x)
            ASSERT_EQ(kSentinel, out[x]) << w;
    }
}

TEST(PlaneCopy, EveryPairOfWideRowsTakesItsOwnLumaAndTheChromaOfItsRowPair)
{
    for (int w : {33, 64, 65, 704}) {
        const int h = 5;
        YuvFrame frame = CountingFrame(w, h);
        const int cw = frame.Layout().ChromaWidth();
        const DWORD pitch = static_cast<DWORD>(CDDrawSurface::PitchFor(DDFMT_UYVY, w));
        std::vector<BYTE> uyvy(pitch * h), yuy2(pitch * h);
        CopyYV12ToUYVY(frame.Y(), frame.U(), frame.V(), uyvy.data(), pitch, w, h);
        CopyYV12ToYUY2(frame.Y(), frame.U(), frame.V(), yuy2.data(), pitch, w, h);
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; x += 2) {
                const BYTE* y = frame.Y() + row * w;
                const int c = (row / 2) * cw + x / 2;
                const BYTE y1 = x + 1 < w ? y[x + 1] : y[x];
                const std::vector<BYTE> expected{frame.U()[c], y[x], frame.V()[c], y1};
                const BYTE* packed = uyvy.data() + row * pitch + 2 * x;
                ASSERT_EQ(expected, std::vector<BYTE>(packed, packed + 4)) << w << " " << row << "," << x;
                const BYTE* other = yuy2.data() + row * pitch + 2 * x;
                ASSERT_EQ((std::vector<BYTE>{y[x], frame.U()[c], y1, frame.V()[c]}), std::vector<BYTE>(other, other + 4))
                    << w << " " << row << "," << x;
            }
    }
}

TEST(PlaneCopy, PlanarCopyPutsVBeforeUAtHalfPitch)
{
    const int w = 9, h = 7;  // chroma 5 x 4
    YuvFrame frame = CountingFrame(w, h);
    const DWORD pitch = 16;
    std::vector<BYTE> out(CDDrawSurface::BytesFor(DDFMT_YV12, w, h), kSentinel);
    CopyYV12ToYV12(frame.Y(), frame.U(), frame.V(), out.data(), pitch, w, h);
    EXPECT_EQ(1, out[0]);
    EXPECT_EQ(w, out[w - 1]);
    EXPECT_EQ(kSentinel, out[w]);
    EXPECT_EQ(1 + w, out[pitch]);
    const size_t vStart = pitch * h, uStart = vStart + (pitch / 2) * 4;
    EXPECT_EQ(200, out[vStart]);
    EXPECT_EQ(204, out[vStart + 4]);
    EXPECT_EQ(kSentinel, out[vStart + 5]);
    EXPECT_EQ(205, out[vStart + pitch / 2]);
    EXPECT_EQ(219, out[vStart + 3 * (pitch / 2) + 4]);  // the last V sample, before U
    EXPECT_EQ(100, out[uStart]);
    EXPECT_EQ(110, out[uStart + 2 * (pitch / 2)]);
    EXPECT_EQ(119, out[uStart + 3 * (pitch / 2) + 4]);
    EXPECT_EQ(kSentinel, out[uStart + 3 * (pitch / 2) + 5]);
    EXPECT_LE(uStart + 4 * (pitch / 2), out.size());
}

TEST(PlaneCopy, AOnePixelPictureHasItsChromaSampleAndNoPlanesGiveNeutral)
{
    YuvFrame frame(1, 1, 50, 90, 240);
    std::vector<BYTE> out(16, kSentinel);
    CopyYV12ToYUY2(frame.Y(), frame.U(), frame.V(), out.data(), 16, 1, 1);
    EXPECT_EQ((std::vector<BYTE>{50, 90, 50, 240}), std::vector<BYTE>(out.begin(), out.begin() + 4));
    EXPECT_EQ(kSentinel, out[4]);
    CopyYV12ToYUY2(frame.Y(), nullptr, nullptr, out.data(), 16, 1, 1);
    EXPECT_EQ((std::vector<BYTE>{50, 128, 50, 128}), std::vector<BYTE>(out.begin(), out.begin() + 4));
}

TEST(SurfaceScaler, KeepsOneContextPerPairOfSizes)
{
    CDDrawSurface source(DDFMT_YV12, 64, 48), small(DDFMT_RGB32, 32, 24), large(DDFMT_RGB32, 128, 96);
    CSurfaceScaler scaler;
    EXPECT_EQ(DD_OK, scaler.Blt(source, nullptr, small));
    EXPECT_EQ(DD_OK, scaler.Blt(source, nullptr, small));
    EXPECT_EQ(1u, scaler.ContextCount());
    EXPECT_EQ(DD_OK, scaler.Blt(source, nullptr, large));
    EXPECT_EQ(2u, scaler.ContextCount());
    tagRECT crop{10, 10, 41, 33};
    EXPECT_EQ(DD_OK, scaler.Blt(source, &crop, small));
    EXPECT_EQ(3u, scaler.ContextCount());
    source.Lose();
    EXPECT_EQ(DDERR_SURFACELOST, scaler.Blt(source, nullptr, small));
    EXPECT_EQ(DDERR_INVALIDPARAMS, scaler.Blt(small, nullptr, large));  // 32-bit sources are not blitted
}
