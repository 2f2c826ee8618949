#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "Widgets/SFRect.h"

namespace {

void ExpectRect(const tagRECT& r, int l, int t, int rr, int b)
{
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

struct MulDivCase {
    int value, num, den, expected;
};

void PrintTo(const MulDivCase& c, std::ostream* out)
{
    *out << c.value << "*" << c.num << "/" << c.den;
}

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalvesAwayFromZero)
{
    const auto& c = GetParam();
    EXPECT_EQ(SFMulDiv(c.value, c.num, c.den), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, MulDivTest,
                         ::testing::Values(MulDivCase{1, 1, 2, 1}, MulDivCase{3, 1, 2, 2}, MulDivCase{5, 1, 2, 3},
                                           MulDivCase{7, 1, 2, 4}, MulDivCase{-1, 1, 2, -1},
                                           MulDivCase{-3, 1, 2, -2}, MulDivCase{3, -1, 2, -2},
                                           MulDivCase{3, 1, -2, -2}, MulDivCase{10, 1, 3, 3},
                                           MulDivCase{2, 1, 3, 1}, MulDivCase{100, 0, 7, 0},
                                           MulDivCase{5, 7, 0, -1}, MulDivCase{0, 0, 0, -1},
                                           MulDivCase{2000000000, 3, 2, -1},
                                           MulDivCase{2000000000, 2, 4, 1000000000},
                                           MulDivCase{-2147483647 - 1, 1, 1, -2147483647 - 1},
                                           MulDivCase{-2000000000, 3, 2, -1},
                                           MulDivCase{2147483647, -1, 1, -2147483647}),
                         [](const ::testing::TestParamInfo<MulDivCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST(GeometryTest, MulDivRectScalesEveryField)
{
    ExpectRect(CSFRect(1, 3, 5, 7).MulDiv(1, 2), 1, 2, 3, 4);
    ExpectRect(CSFRect(1, 3, 5, 7).MulDiv(1, 0), -1, -1, -1, -1);
}

TEST(GeometryTest, PackedValuesAreSignExtendedWords)
{
    const CSFSize size(0xFFFF0001ul);
    EXPECT_EQ(size.cx, 1);
    EXPECT_EQ(size.cy, -1);
    const CSFPoint point(0x00018000l);
    EXPECT_EQ(point.x, -32768);
    EXPECT_EQ(point.y, 1);
}

TEST(GeometryTest, EmptyAndNullRectangles)
{
    struct Case {
        CSFRect rect;
        int empty, null;
    };
    const Case cases[] = {
        {CSFRect(5, 5, 5, 10), 1, 0}, {CSFRect(10, 0, 0, 10), 1, 0}, {CSFRect(0, 0, 0, 0), 1, 1},
        {CSFRect(0, 0, 1, 1), 0, 0},  {CSFRect(-5, -5, -4, -4), 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rect.IsRectEmpty(), c.empty);
        EXPECT_EQ(c.rect.IsRectNull(), c.null);
    }
}

TEST(GeometryTest, PtInRectExcludesRightAndBottomEdges)
{
    const CSFRect r(0, 0, 10, 10);
    struct Case {
        int x, y, inside;
    };
    const Case cases[] = {{0, 0, 1}, {9, 9, 1}, {10, 10, 0}, {10, 5, 0}, {5, 10, 0}, {-1, 5, 0}, {5, -1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(r.PtInRect(tagPOINT{c.x, c.y}), c.inside) << c.x << "," << c.y;
}

TEST(GeometryTest, IntersectRect)
{
    struct Case {
        CSFRect a, b;
        int result;
        CSFRect expected;
    };
    const Case cases[] = {
        {CSFRect(0, 0, 10, 10), CSFRect(5, 5, 15, 15), 1, CSFRect(5, 5, 10, 10)},
        {CSFRect(0, 0, 10, 10), CSFRect(10, 0, 20, 10), 0, CSFRect(0, 0, 0, 0)},
        {CSFRect(0, 0, 10, 10), CSFRect(2, 2, 2, 8), 0, CSFRect(0, 0, 0, 0)},
        {CSFRect(0, 0, 10, 10), CSFRect(-5, -5, 20, 20), 1, CSFRect(0, 0, 10, 10)},
    };
    for (const auto& c : cases) {
        CSFRect out(99, 99, 99, 99);
        EXPECT_EQ(out.IntersectRect(&c.a, &c.b), c.result);
        EXPECT_TRUE(out == c.expected);
        EXPECT_TRUE((c.a & c.b) == c.expected);
    }
}

TEST(GeometryTest, UnionRectIgnoresEmptyArguments)
{
    struct Case {
        CSFRect a, b;
        int result;
        CSFRect expected;
    };
    const Case cases[] = {
        {CSFRect(0, 0, 10, 10), CSFRect(5, 5, 15, 15), 1, CSFRect(0, 0, 15, 15)},
        {CSFRect(0, 0, 0, 0), CSFRect(5, 5, 15, 15), 1, CSFRect(5, 5, 15, 15)},
        {CSFRect(-20, -20, -20, 0), CSFRect(5, 5, 15, 15), 1, CSFRect(5, 5, 15, 15)},
        {CSFRect(3, 3, 3, 3), CSFRect(9, 9, 1, 1), 0, CSFRect(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        CSFRect out(99, 99, 99, 99);
        EXPECT_EQ(out.UnionRect(&c.a, &c.b), c.result);
        EXPECT_TRUE(out == c.expected);
        EXPECT_TRUE((c.a | c.b) == c.expected);
    }
}

TEST(GeometryTest, SubtractRectOnlyWhereItStaysARectangle)
{
    struct Case {
        CSFRect a, b;
        int result;
        CSFRect expected;
    };
    const Case cases[] = {
        // Covers the full height on the left: left edge moves.
        {CSFRect(0, 0, 10, 10), CSFRect(-1, -1, 4, 11), 1, CSFRect(4, 0, 10, 10)},
        // Full height on the right.
        {CSFRect(0, 0, 10, 10), CSFRect(6, 0, 12, 10), 1, CSFRect(0, 0, 6, 10)},
        // Full width at the top and at the bottom.
        {CSFRect(0, 0, 10, 10), CSFRect(0, 0, 10, 3), 1, CSFRect(0, 3, 10, 10)},
        {CSFRect(0, 0, 10, 10), CSFRect(-2, 7, 12, 12), 1, CSFRect(0, 0, 10, 7)},
        // A hole in the middle or a corner leaves the first rectangle.
        {CSFRect(0, 0, 10, 10), CSFRect(3, 3, 6, 6), 1, CSFRect(0, 0, 10, 10)},
        {CSFRect(0, 0, 10, 10), CSFRect(5, 5, 20, 20), 1, CSFRect(0, 0, 10, 10)},
        // No overlap.
        {CSFRect(0, 0, 10, 10), CSFRect(20, 20, 30, 30), 1, CSFRect(0, 0, 10, 10)},
        // Fully covered.
        {CSFRect(0, 0, 10, 10), CSFRect(-1, -1, 11, 11), 0, CSFRect(0, 0, 0, 0)},
        // Empty first rectangle.
        {CSFRect(0, 0, 0, 10), CSFRect(20, 20, 30, 30), 0, CSFRect(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        CSFRect out(99, 99, 99, 99);
        EXPECT_EQ(out.SubtractRect(&c.a, &c.b), c.result);
        ExpectRect(out, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom);
    }
}

TEST(GeometryTest, CenterNormalizeInflateAndMove)
{
    const CSFPoint centre = CSFRect(-3, -3, 0, 0).CenterPoint();
    EXPECT_EQ(centre.x, -1);
    EXPECT_EQ(centre.y, -1);

    CSFRect n(10, 20, 0, 5);
    n.NormalizeRect();
    ExpectRect(n, 0, 5, 10, 20);

    CSFRect r(10, 10, 20, 20);
    r.InflateRect(1, 2, 3, 4);
    ExpectRect(r, 9, 8, 23, 24);
    r.DeflateRect(1, 2, 3, 4);
    ExpectRect(r, 10, 10, 20, 20);
    r.InflateRect(2, 2);
    ExpectRect(r, 8, 8, 22, 22);
    r.MoveToXY(0, 100);
    ExpectRect(r, 0, 100, 14, 114);
    r.OffsetRect(CSFSize(1, -1));
    ExpectRect(r, 1, 99, 15, 113);
    EXPECT_EQ(r.Width(), 14);
    EXPECT_EQ(r.Height(), 14);
}

TEST(GeometryTest, CornersAreViewedInPlace)
{
    CSFRect r(1, 2, 3, 4);
    r.TopLeft().Offset(10, 10);
    r.BottomRight() = CSFPoint(50, 60);
    ExpectRect(r, 11, 12, 50, 60);
    const tagRECT* plain = r;
    EXPECT_EQ(static_cast<const void*>(plain), static_cast<const void*>(&r));
}

TEST(GeometryTest, PointAndSizeArithmetic)
{
    const CSFPoint p(5, 7);
    const CSFSize s(2, 3);
    const CSFPoint sum = p + s;
    EXPECT_EQ(sum.x, 7);
    EXPECT_EQ(sum.y, 10);
    const CSFSize diff = p - CSFPoint(1, 1);
    EXPECT_EQ(diff.cx, 4);
    EXPECT_EQ(diff.cy, 6);
    const tagRECT base{0, 0, 10, 10};
    ExpectRect(p + &base, 5, 7, 15, 17);
    ExpectRect(s - &base, -2, -3, 8, 7);
    ExpectRect(CSFRect(CSFPoint(1, 2), CSFSize(3, 4)), 1, 2, 4, 6);
}

}  // namespace
