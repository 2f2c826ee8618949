#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <cstring>

#include "ExpectedLayouts.h"
#include "Widgets/SFVideoWindow.h"

namespace {

TEST(LayoutTextTest, DefaultTextsByteForByte)
{
    for (int type = 0; type < 10; ++type) {
        const char* text = CSFVideoWindow::GetDefaultLayout(static_cast<LAYOUT_TYPE>(type));
        ASSERT_NE(text, nullptr) << type;
        EXPECT_STREQ(text, kExpectedLayouts[type]) << type;
    }
}

TEST(LayoutTextTest, OtherTypesHaveNoDefault)
{
    EXPECT_EQ(CSFVideoWindow::GetDefaultLayout(LAYOUT_CUSTOM), nullptr);
    EXPECT_EQ(CSFVideoWindow::GetDefaultLayout(static_cast<LAYOUT_TYPE>(-1)), nullptr);
    EXPECT_STREQ(CSFVideoWindow::GetDefaultLayout(LAYOUT_1), "1/1/1/400:300//0:0:400:300");
}

struct Layout {
    int rows = 0, cols = 0, count = 0;
    QStringList segments, cells;
};

Layout Parse(const char* text)
{
    const QStringList fields = QString::fromLatin1(text).split(QLatin1Char('/'));
    EXPECT_EQ(fields.size(), 6);
    Layout layout;
    layout.rows = fields[0].toInt();
    layout.cols = fields[1].toInt();
    layout.count = fields[2].toInt();
    EXPECT_EQ(fields[3], QStringLiteral("400:300"));
    layout.segments = fields[4].split(QLatin1Char('-'), Qt::SkipEmptyParts);
    layout.cells = fields[5].split(QLatin1Char('-'), Qt::SkipEmptyParts);
    return layout;
}

TEST(LayoutTextTest, CountsFollowTheGrid)
{
    const int windows[] = {1, 4, 6, 8, 9, 13, 16, 20, 25, 36};
    for (int type = 0; type < 10; ++type) {
        const Layout layout = Parse(CSFVideoWindow::GetDefaultLayout(static_cast<LAYOUT_TYPE>(type)));
        EXPECT_EQ(layout.count, windows[type]);
        EXPECT_EQ(layout.cells.size(), windows[type]);
        EXPECT_EQ(layout.segments.size(), 2 * layout.rows * layout.cols - layout.rows - layout.cols) << type;
    }
}

TEST(LayoutTextTest, DividerGeometryFollowsItsKey)
{
    for (int type = 0; type < 10; ++type) {
        const Layout layout = Parse(CSFVideoWindow::GetDefaultLayout(static_cast<LAYOUT_TYPE>(type)));
        const int cw = 400 / layout.cols;
        const int rh = 300 / layout.rows;
        for (const QString& segment : layout.segments) {
            const QStringList v = segment.split(QLatin1Char(':'));
            ASSERT_EQ(v.size(), 6);
            const int key = v[0].toInt();
            const bool vertical = key >= 65536;
            const int r = (key % 65536) / 256;
            const int c = key % 256;
            const int expected[4] = {
                vertical ? (c + 1) * cw - 5 : c * cw,
                vertical ? r * rh : (r + 1) * rh - 5,
                vertical ? (c + 1) * cw + 5 : (c + 1) * cw,
                vertical ? (r + 1) * rh : (r + 1) * rh + 5,
            };
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(v[2 + i].toInt(), expected[i]) << type << " " << segment.toStdString();
        }
    }
}

TEST(LayoutTextTest, MergedCellHidesItsInnerDividers)
{
    const Layout layout = Parse(CSFVideoWindow::GetDefaultLayout(LAYOUT_6));
    for (const QString& segment : layout.segments) {
        const QStringList v = segment.split(QLatin1Char(':'));
        const int key = v[0].toInt();
        const bool inner = key == 0 || key == 1 || key == 65536 || key == 65792;
        EXPECT_EQ(v[1].toInt(), inner ? 0 : 1) << key;
    }
}

}  // namespace
