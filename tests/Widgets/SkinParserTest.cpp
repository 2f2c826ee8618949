#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "Widgets/SkinParser.h"

namespace {

struct RectCase {
    const char* text;
    tagRECT plain;
    tagRECT inclusive;
};

// Test names and failure messages show the parsed text.
void PrintTo(const RectCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class SkinRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(SkinRectTest, ParsesBothForms)
{
    const auto& c = GetParam();
    const tagRECT plain = SFQTParseSkinRect(c.text);
    const tagRECT inclusive = SFQTParseSkinRectInclusive(c.text);
    EXPECT_EQ(plain.left, c.plain.left);
    EXPECT_EQ(plain.top, c.plain.top);
    EXPECT_EQ(plain.right, c.plain.right);
    EXPECT_EQ(plain.bottom, c.plain.bottom);
    EXPECT_EQ(inclusive.left, c.inclusive.left);
    EXPECT_EQ(inclusive.top, c.inclusive.top);
    EXPECT_EQ(inclusive.right, c.inclusive.right);
    EXPECT_EQ(inclusive.bottom, c.inclusive.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinRectTest,
    ::testing::Values(RectCase{"10,20,30,40", {10, 20, 40, 60}, {10, 20, 39, 59}},
                      RectCase{"", {0, 0, 0, 0}, {0, 0, -1, -1}},
                      RectCase{"-28,7,23,14", {-28, 7, -5, 21}, {-28, 7, -6, 20}},
                      RectCase{"0,0,10,27", {0, 0, 10, 27}, {0, 0, 9, 26}},
                      // Hostile numbers are clamped instead of overflowing.
                      RectCase{"2147483647,0,2147483647,1", {2147483647, 0, 2147483647, 1}, {2147483647, 0, 2147483647, 0}},
                      RectCase{"99999999999999999999,0,1,1", {2147483647, 0, 2147483647, 1}, {2147483647, 0, 2147483647, 0}}),
    [](const ::testing::TestParamInfo<RectCase>& info) { return "Case" + std::to_string(info.index); });

TEST(SkinParserTest, WideRectFormsMatchNarrow)
{
    const tagRECT r = SFQTParseSkinRectW(L"1,2,3,4");
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 6);
    const tagRECT n = SFQTParseSkinRectInclusiveW(nullptr);
    EXPECT_EQ(n.right, -1);
    EXPECT_EQ(n.bottom, -1);
}

TEST(SkinParserTest, BrokenRectTextNeverReadsPastItsEnd)
{
    for (const char* text : {"abc", "1", "1,", "1,2,", ",,,", "5;6;7;8", "1,2,3,4,5,6"}) {
        const tagRECT r = SFQTParseSkinRect(text);
        EXPECT_GE(r.right, r.left) << text;
    }
}

TEST(SkinParserTest, PairsNeedExactlyTwoParts)
{
    struct Case {
        const char* text;
        int x, y;
    };
    const Case cases[] = {{"5,6", 5, 6}, {" 12,34 ", 12, 34}, {"5,6,7", 0, 0}, {"", 0, 0},
                          {"5", 0, 0},   {"a,6", 0, 6},       {"-3,-4", -3, -4}};
    for (const auto& c : cases) {
        const tagPOINT p = SFQTParseSkinPoint(c.text);
        EXPECT_EQ(p.x, c.x) << c.text;
        EXPECT_EQ(p.y, c.y) << c.text;
    }
    EXPECT_EQ(SFQTParseSkinPointW(L"7,8").y, 8);
}

TEST(SkinParserTest, ColoursAreExactlySixHexDigits)
{
    struct Case {
        const char* text;
        QRgb rgb;
    };
    const Case cases[] = {{"38b6ff", qRgb(0x38, 0xB6, 0xFF)}, {"333333", qRgb(0x33, 0x33, 0x33)},
                          {"FFFFFF", qRgb(255, 255, 255)},    {"38b6f", qRgb(0, 0, 0)},
                          {"#38b6ff", qRgb(0, 0, 0)},         {"", qRgb(0, 0, 0)},
                          {"zz8080", qRgb(0, 0x80, 0x80)},    {"1234567", qRgb(0, 0, 0)}};
    for (const auto& c : cases) {
        const QColor colour = SFQTParseSkinColor(c.text);
        EXPECT_EQ(colour.rgb(), c.rgb) << c.text;
        EXPECT_EQ(colour.alpha(), 255);
    }
    EXPECT_EQ(SFQTParseSkinColorW(L"fa0000").red(), 0xFA);
    EXPECT_EQ(SFQTParseSkinColor(nullptr).rgb(), qRgb(0, 0, 0));
}

TEST(SkinParserTest, ColorRefIsBlueGreenRed)
{
    const QColor colour = SFQTColorFromColorRef(RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(colour.red(), 0x11);
    EXPECT_EQ(colour.green(), 0x22);
    EXPECT_EQ(colour.blue(), 0x33);
    EXPECT_EQ(colour.alpha(), 255);
}

}  // namespace
