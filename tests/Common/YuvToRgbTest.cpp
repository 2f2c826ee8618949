#include "Common/YuvToRgb.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace {

struct Rgb {
    int r, g, b, a;
};

// A planar frame laid out Y, V, U with every sample set per 2x2 block.
class Frame {
public:
    Frame(int width, int height) : width(width), height(height), bytes(width * height * 3 / 2) {}
    std::uint8_t* Y() { return bytes.data(); }
    std::uint8_t* V() { return bytes.data() + width * height; }
    std::uint8_t* U() { return bytes.data() + width * height * 5 / 4; }
    void Fill(std::uint8_t y, std::uint8_t u, std::uint8_t v)
    {
        std::fill(Y(), Y() + width * height, y);
        std::fill(V(), V() + width * height / 4, v);
        std::fill(U(), U() + width * height / 4, u);
    }
    std::vector<std::uint32_t> Convert(int h)
    {
        std::vector<std::uint32_t> out(width * std::abs(h), 0xDEADBEEF);
        ConvertYuv420ToRgb32(out.data(), width, Y(), V(), U(), width, width / 2, width, h);
        return out;
    }
    static Rgb Pixel(const std::vector<std::uint32_t>& out, int index)
    {
        auto* p = reinterpret_cast<const std::uint8_t*>(&out[index]);
        return {p[0], p[1], p[2], p[3]};
    }

    int width, height;
    std::vector<std::uint8_t> bytes;
};

Rgb ConvertOne(std::uint8_t y, std::uint8_t u, std::uint8_t v)
{
    Frame frame(2, 2);
    frame.Fill(y, u, v);
    return Frame::Pixel(frame.Convert(2), 0);
}

TEST(YuvToRgbTest, KnownPixels)
{
    Rgb black = ConvertOne(16, 128, 128);
    EXPECT_EQ(black.r, 0);
    EXPECT_EQ(black.g, 0);
    EXPECT_EQ(black.b, 0);
    EXPECT_EQ(black.a, 255);

    Rgb white = ConvertOne(235, 128, 128);  // 219 * 9535 >> 13 = 254
    EXPECT_EQ(white.r, 254);
    EXPECT_EQ(white.g, 254);
    EXPECT_EQ(white.b, 254);
    EXPECT_EQ(ConvertOne(236, 128, 128).r, 255);
    EXPECT_EQ(ConvertOne(0, 128, 128).g, 0);
    EXPECT_EQ(ConvertOne(255, 255, 128).b, 255);

    // y 81, u 90, v 240: (65*9535 + 112*13074) >> 13 = 254 red,
    // (65*9535 - (-38*3203 + 112*6660)) >> 13 = -1 -> 0 green,
    // (65*9535 - 38*16531) >> 13 = -2 -> 0 blue.
    Rgb red = ConvertOne(81, 90, 240);
    EXPECT_EQ(red.r, 254);
    EXPECT_EQ(red.g, 0);
    EXPECT_EQ(red.b, 0);

    // Flooring shift: y 17 gives 9535 >> 13 = 1; a negative sum floors to -1 -> 0.
    Rgb dark = ConvertOne(17, 128, 129);
    EXPECT_EQ(dark.r, (9535 + 13074) >> 13);
    EXPECT_EQ(dark.g, 0);
    EXPECT_EQ(dark.b, 1);
}

TEST(YuvToRgbTest, ChromaIsSharedPerTwoByTwoBlock)
{
    Frame frame(4, 2);
    frame.Fill(128, 128, 128);
    frame.V()[1] = 255;  // right block more red
    auto out = frame.Convert(2);
    for (int i : {0, 1, 4, 5})
        EXPECT_EQ(Frame::Pixel(out, i).r, Frame::Pixel(out, 0).r);
    for (int i : {2, 3, 6, 7})
        EXPECT_EQ(Frame::Pixel(out, i).r, 255);
    EXPECT_LT(Frame::Pixel(out, 0).r, 255);
}

TEST(YuvToRgbTest, OddEdgesTakeTheChromaOfTheirPair)
{
    // 3 x 3: chroma planes of 2 x 2; the last column and row have samples
    // of their own.
    std::vector<std::uint8_t> y(9, 128), v = {128, 240, 128, 128}, u(4, 128);
    std::vector<std::uint32_t> out(9, 0x11111111);
    ConvertYuv420ToRgb32(out.data(), 3, y.data(), v.data(), u.data(), 3, 2, 3, 3);
    for (int i : {0, 1, 3, 4, 6, 7})
        EXPECT_EQ(Frame::Pixel(out, i).r, Frame::Pixel(out, 0).r) << i;
    for (int i : {2, 5})
        EXPECT_GT(Frame::Pixel(out, i).r, Frame::Pixel(out, 0).r + 100) << i;  // red from V
    EXPECT_EQ(out[8], out[6]);
}

TEST(YuvToRgbTest, NegativeHeightFlipsRows)
{
    Frame frame(2, 4);
    const std::uint8_t rows[4] = {20, 60, 120, 200};
    for (int row = 0; row < 4; ++row)
        frame.Y()[row * 2] = frame.Y()[row * 2 + 1] = rows[row];
    frame.V()[0] = frame.U()[0] = 128;
    frame.V()[1] = 128;
    frame.U()[1] = 200;  // lower block bluer
    auto upright = frame.Convert(4);
    auto flipped = frame.Convert(-4);
    for (int row = 0; row < 4; ++row) {
        Rgb a = Frame::Pixel(upright, row * 2);
        Rgb b = Frame::Pixel(flipped, (3 - row) * 2);
        EXPECT_EQ(a.r, b.r);
        EXPECT_EQ(a.g, b.g);
        EXPECT_EQ(a.b, b.b);
    }
}

}  // namespace

// Exits 0 when one white block converts to white.
void ConvertWhiteBlockAndExit()
{
    std::uint8_t y[4] = {235, 235, 235, 235};
    std::uint8_t v[1] = {128};
    std::uint8_t u[1] = {128};
    std::uint32_t out[4] = {};
    ConvertYuv420ToRgb32(out, 2, y, v, u, 2, 1, 2, 2);
    std::exit(reinterpret_cast<const std::uint8_t*>(out)[0] == 254 ? 0 : 1);
}

TEST(YuvToRgbDeathTest, TheFirstConversionFillsTheTablesItself)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: no tables yet
    EXPECT_EXIT(ConvertWhiteBlockAndExit(), ::testing::ExitedWithCode(0), "");
}
