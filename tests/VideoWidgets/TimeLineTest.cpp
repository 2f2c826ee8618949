#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "GridTestSupport.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "VideoWidgets/SFQtPlayProgressPanel.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr int kDay = 1710028800;  // 2024-03-10 00:00 UTC
constexpr int kHour = 3600;

class RecordingListener : public IPlayProgressEvent {
public:
    void OnPositionChanged(UINT id, int channel, int segment, int position, VIDEOCUT_TYPE type) override
    {
        positions.push_back({id, channel, segment, position, type});
    }
    void OnSetHighlight(UINT, int channel) override { highlights.push_back(channel); }
    void OnMouseOverChannel(UINT, int channel, tagPOINT, int time) override { overs.push_back({channel, time}); }
    void PPP_OnMouseLeave(UINT id) override { leaves.push_back(id); }

    struct Position {
        UINT id;
        int channel;
        int segment;
        int position;
        int type;
    };
    std::vector<Position> positions;
    std::vector<int> highlights;
    std::vector<std::pair<int, int>> overs;
    std::vector<UINT> leaves;
};

UISF_Channel MakeRecord(int channel, std::vector<std::pair<int, int>> spans, int firstId = 100)
{
    UISF_Channel record;
    record.channel = channel;
    record.name = L"Camera " + std::to_wstring(channel);
    int id = firstId;
    for (const auto& [start, end] : spans)
        record.segments.push_back({id++, start, end, 1});
    return record;
}

// A panel 998 pixels wide: its time area is 800 pixels, from x 156 of the
// drawing widget; rows of 15 pixels from y 10.
class TimeLineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void SetUp() override
    {
        panel = std::make_unique<CSFQTPlayProgressPanel>(&listener);
        panel->Create(nullptr, nullptr, 0, tagRECT{0, 0, 999, 101}, nullptr, 77);
        SetPlayProgressPanelLayout(panel.get(), 998, 100);
        panel->show();
    }
    QWidget* Drawing() const { return panel->DrawingWidget(); }
    const CTimeLineModel& Model() const { return panel->Model(); }
    static int XFor(int secondsOfDay, int zoom = 1) { return 156 + secondsOfDay * 800 * zoom / 86400; }
    void Wheel(int delta, QPoint at = QPoint(556, 30))
    {
        QWheelEvent event(at, Drawing()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Drawing(), &event);
    }

    RecordingListener listener;
    std::unique_ptr<CSFQTPlayProgressPanel> panel;
};

}  // namespace

TEST_F(TimeLineTest, FactoryMakesTheQtPanel)
{
    std::unique_ptr<CSFPlayProgressPanel> made(SFCreatePlayProgressPanel(nullptr));
    EXPECT_NE(nullptr, dynamic_cast<CSFQTPlayProgressPanel*>(made.get()));
}

TEST_F(TimeLineTest, StandardLayoutPlacesTheParts)
{
    EXPECT_EQ(800, Model().visibleWidth);
    EXPECT_EQ(156, Model().timeArea.left);
    EXPECT_EQ(QRect(0, 10, 973, 70), Drawing()->geometry());
    EXPECT_EQ(957, Model().nextArrow.left);
    EXPECT_EQ(800, panel->ScrollBar()->width());
    EXPECT_EQ(77u, panel->ControlId());
}

TEST_F(TimeLineTest, RecordsFillTheFourRowsAndScroll)
{
    panel->SetChannelRecord(MakeRecord(5, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    EXPECT_EQ(5, Model().visibleRows[0]);
    EXPECT_EQ(-1, Model().visibleRows[1]);
    panel->ScrollChannelsDown();
    EXPECT_EQ(0, Model().firstVisibleRow);
    for (int ch = 0; ch < 5; ++ch)
        panel->SetChannelRecord(MakeRecord(ch, {{kDay + kHour, kDay + 2 * kHour}}));
    for (int i = 0; i < 3; ++i)
        panel->ScrollChannelsDown();
    EXPECT_EQ(2, Model().firstVisibleRow);
    EXPECT_EQ(2, Model().visibleRows[0]);
    EXPECT_EQ(5, Model().visibleRows[3]);
    panel->ScrollChannelsUp();
    EXPECT_EQ(1, Model().firstVisibleRow);
    panel->SetHighlightChannel(0);
    EXPECT_EQ(0, Model().visibleRows[0]);
    panel->RemoveChannelRecord(0);
    EXPECT_EQ(-1, Model().highlighted);
    EXPECT_EQ(nullptr, panel->GetChannelRecord(0));
    ASSERT_NE(nullptr, panel->GetChannelRecord(5));
    EXPECT_EQ(L"Camera 5", panel->GetChannelRecord(5)->name);
}

TEST_F(TimeLineTest, FirstRecordIsHighlightedWithItsCursorAtTheStart)
{
    panel->SetChannelRecord(MakeRecord(3, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    EXPECT_EQ(3, Model().highlighted);
    EXPECT_EQ(kDay + 10 * kHour, panel->GetPlayTime(3));
    panel->SetChannelRecord(MakeRecord(4, {}));
    EXPECT_EQ(0, panel->GetPlayTime(4));  // no span, no cursor
}

TEST_F(TimeLineTest, ZoomStepsAreOneUpToFiftyThenTwo)
{
    panel->SetZoomFactor(49);
    EXPECT_EQ(49, Model().dayZoom);
    EXPECT_EQ(49 * 800, Model().dayVirtualWidth);
    Wheel(120);
    EXPECT_EQ(50, Model().dayZoom);
    Wheel(120);
    EXPECT_EQ(52, Model().dayZoom);
    Wheel(-120);
    EXPECT_EQ(50, Model().dayZoom);
    Wheel(-120);
    EXPECT_EQ(49, Model().dayZoom);
    panel->SetZoomFactor(100);
    Wheel(120);
    EXPECT_EQ(100, Model().dayZoom);
    EXPECT_EQ(100, panel->ZoomSlider()->value());
    EXPECT_LE(Model().dayOffset, Model().dayVirtualWidth - Model().visibleWidth);
    panel->SetZoomFactor(0);
    EXPECT_EQ(1, Model().dayZoom);
    EXPECT_EQ(0, Model().dayOffset);
}

TEST_F(TimeLineTest, ZoomKeepsTheTimeUnderTheAnchor)
{
    panel->SetZoomFactor(1);
    const int before = Model().DayXToSeconds(400);
    Wheel(120, QPoint(556, 30));
    EXPECT_NEAR(before, Model().DayXToSeconds(400), 60);
}

TEST_F(TimeLineTest, PlayTimeIsTakenWithinTenSecondsOfTheRecord)
{
    const int start = kDay + 10 * kHour, end = kDay + 11 * kHour;
    panel->SetChannelRecord(MakeRecord(1, {{start, end}}));
    panel->SetPlayTime(1, end + 8);
    EXPECT_EQ(end + 8, panel->GetPlayTime(1));
    panel->SetPlayTime(1, end + 11);
    EXPECT_EQ(end + 8, panel->GetPlayTime(1));
    panel->SetPlayTime(1, start - 10);
    EXPECT_EQ(start - 10, panel->GetPlayTime(1));
    panel->SetPlayTime(9, start);
    EXPECT_EQ(0, panel->GetPlayTime(9));
    panel->SetPlayOffset(1, 60);
    EXPECT_EQ(start + 60, panel->GetPlayTime(1));
    panel->SetPlayOffset(1, 2 * kHour);
    EXPECT_EQ(start + 60, panel->GetPlayTime(1));
}

TEST_F(TimeLineTest, APlayTimeRedrawsTheCursorsAloneAndOnlyWhenOneMoved)
{
    const int start = kDay + 10 * kHour;
    panel->SetChannelRecord(MakeRecord(1, {{start, kDay + 11 * kHour}}));
    panel->SetPlayTime(1, start + 5);
    QApplication::processEvents();
    PaintCount drawing(Drawing());
    PaintCount scrollBar(panel->ScrollBar());
    panel->SetPlayTime(1, start + 5);
    panel->SetPlayTime(-1, Model().commonCursor);
    QApplication::processEvents();
    EXPECT_EQ(0, drawing.paints);
    panel->SetPlayTime(1, start + 6);
    QApplication::processEvents();
    EXPECT_EQ(1, drawing.paints);
    panel->SetPlayTime(-1, start + 7);
    QApplication::processEvents();
    EXPECT_EQ(2, drawing.paints);
    EXPECT_EQ(0, scrollBar.paints);
}

TEST_F(TimeLineTest, CommonCursorIsSetByChannelMinusOne)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    panel->SetPlayTime(-1, kDay + 12 * kHour);
    EXPECT_EQ(kDay + 12 * kHour, Model().commonCursor);
    EXPECT_EQ(kDay + 10 * kHour, panel->GetPlayTime(1));
    panel->ShowCommonCursor(true);
    EXPECT_TRUE(Model().commonCursorOn);
}

TEST_F(TimeLineTest, PressInARowReportsTheTimeAndHighlights)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    panel->SetChannelRecord(MakeRecord(2, {{kDay + 11 * kHour, kDay + 13 * kHour}}, 200));
    QTest::mousePress(Drawing(), Qt::LeftButton, {}, QPoint(XFor(12 * kHour), 32));
    ASSERT_EQ(1u, listener.positions.size());
    EXPECT_EQ(77u, listener.positions[0].id);
    EXPECT_EQ(2, listener.positions[0].channel);
    EXPECT_EQ(200, listener.positions[0].segment);
    EXPECT_EQ(kDay + 12 * kHour, listener.positions[0].position);
    EXPECT_EQ(VIDEOCUT_END, listener.positions[0].type);
    EXPECT_EQ(std::vector<int>{2}, listener.highlights);
    EXPECT_EQ(2, Model().highlighted);
    EXPECT_EQ(kDay + 12 * kHour, panel->GetPlayTime(2));

    // While the button is held, playback does not move that cursor.
    panel->SetPlayTime(2, kDay + 11 * kHour);
    EXPECT_EQ(kDay + 12 * kHour, panel->GetPlayTime(2));

    // Dragging left of the time area stops at its left edge.
    QTest::mouseMove(Drawing(), QPoint(20, 32));
    EXPECT_EQ(kDay + 12 * kHour, listener.positions.back().position);  // time 0 is not taken
    QTest::mouseMove(Drawing(), QPoint(XFor(11 * kHour + 1800), 32));
    EXPECT_NEAR(kDay + 11 * kHour + 1800, listener.positions.back().position, 108);  // 108 s a pixel
    QTest::mouseRelease(Drawing(), Qt::LeftButton, {}, QPoint(XFor(11 * kHour + 1800), 32));
    panel->SetPlayTime(2, kDay + 11 * kHour);
    EXPECT_EQ(kDay + 11 * kHour, panel->GetPlayTime(2));
}

TEST_F(TimeLineTest, EveryReleaseEndsTheHoldOnPlayTimes)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    const QPoint inRow(XFor(10 * kHour + 1800), 17);
    const QRect prevArrow(QPoint(Model().prevArrow.left, Model().prevArrow.top),
                          QPoint(Model().prevArrow.right, Model().prevArrow.bottom));
    // Released left of the widget (time 0 of the day) and on the day arrow.
    for (const QPoint release : {QPoint(-40, 17), prevArrow.center()}) {
        QTest::mousePress(Drawing(), Qt::LeftButton, {}, inRow);
        QTest::mouseRelease(Drawing(), Qt::LeftButton, {}, release);
        panel->SetPlayTime(1, kDay + 10 * kHour + 60);
        EXPECT_EQ(kDay + 10 * kHour + 60, panel->GetPlayTime(1)) << release.x() << "," << release.y();
    }
}

TEST_F(TimeLineTest, PressBetweenSegmentsReportsNoSegment)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    QTest::mousePress(Drawing(), Qt::LeftButton, {}, QPoint(XFor(6 * kHour), 17));
    ASSERT_EQ(1u, listener.positions.size());
    EXPECT_EQ(-1, listener.positions[0].segment);
    QTest::mouseRelease(Drawing(), Qt::LeftButton, {}, QPoint(XFor(6 * kHour), 17));
}

TEST_F(TimeLineTest, PressOnTheEdgeLineOfARowSelectsNoRow)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    QTest::mousePress(Drawing(), Qt::LeftButton, {}, QPoint(XFor(6 * kHour), 10));
    QTest::mouseRelease(Drawing(), Qt::LeftButton, {}, QPoint(XFor(6 * kHour), 10));
    QTest::mousePress(Drawing(), Qt::LeftButton, {}, QPoint(XFor(6 * kHour), 24));
    QTest::mouseRelease(Drawing(), Qt::LeftButton, {}, QPoint(XFor(6 * kHour), 24));
    EXPECT_TRUE(listener.positions.empty());
}

TEST_F(TimeLineTest, ClickOnARowLabelHighlightsIt)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    panel->SetChannelRecord(MakeRecord(2, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(50, 30));
    EXPECT_EQ(std::vector<int>{2}, listener.highlights);
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(50, 60));  // empty row
    EXPECT_EQ(std::vector<int>{2}, listener.highlights);
}

TEST_F(TimeLineTest, CutMarksMoveTheNearerMark)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    EXPECT_TRUE(panel->EnableCutMarks(true));
    panel->SetCutMarkTime(0, kDay + 6 * kHour + 0.7);
    panel->SetCutMarkTime(1, kDay + 18 * kHour);
    panel->SetCutMarkTime(2, kDay);
    EXPECT_EQ(kDay + 6 * kHour, Model().cutMarks[0]);
    EXPECT_EQ(kDay + 18 * kHour, Model().cutMarks[1]);
    // Equal distance: the second mark moves.
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(XFor(12 * kHour), 30));
    EXPECT_EQ(kDay + 12 * kHour, Model().cutMarks[1]);
    ASSERT_FALSE(listener.positions.empty());
    EXPECT_EQ(VIDEOCUT_END, listener.positions.back().type);
    EXPECT_EQ(kDay + 12 * kHour, listener.positions.back().position);
    // Between the marks, nearer the first.
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(XFor(8 * kHour), 30));
    EXPECT_NEAR(kDay + 8 * kHour, Model().cutMarks[0], 108);
    EXPECT_EQ(VIDEOCUT_START, listener.positions.back().type);
    EXPECT_EQ(kDay + 12 * kHour, Model().cutMarks[1]);
    const int first = Model().cutMarks[0];
    EXPECT_FALSE(panel->EnableCutMarks(false));
    panel->SetCutMarkTime(0, kDay);
    EXPECT_EQ(first, Model().cutMarks[0]);
}

TEST_F(TimeLineTest, SegmentAcrossMidnightBelongsToBothDays)
{
    const int start = kDay + 23 * kHour + 1800, end = kDay + 24 * kHour + 1800;
    panel->SetChannelRecord(MakeRecord(1, {{start, end}}));
    const auto& days = Model().days.at(1).days;
    ASSERT_EQ(2u, days.size());
    EXPECT_EQ((TimeLineDate{2024, 3, 10}), days.begin()->first);
    EXPECT_EQ((TimeLineDate{2024, 3, 11}), days.rbegin()->first);
    EXPECT_TRUE(Model().canGoForward);
    EXPECT_FALSE(Model().canGoBack);
    // The previous-day arrow does nothing; the next one steps the view.
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(145, 40));
    EXPECT_EQ(0, Model().commonDayCounter);
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(962, 40));
    EXPECT_EQ(1, Model().commonDayCounter);
    EXPECT_EQ((TimeLineDate{2024, 3, 11}), Model().days.at(1).current);
    EXPECT_TRUE(Model().canGoBack);
    EXPECT_FALSE(Model().canGoForward);
}

TEST_F(TimeLineTest, DatesCompareByMonthBeforeDay)
{
    EXPECT_TRUE((TimeLineDate{2013, 1, 31}) < (TimeLineDate{2013, 2, 1}));
    EXPECT_FALSE((TimeLineDate{2013, 2, 1}) < (TimeLineDate{2013, 1, 31}));
    EXPECT_EQ((TimeLineDate{2024, 3, 10}), TimeLineDateOf(kDay + 5));
}

TEST_F(TimeLineTest, ScaleLabelsFollowTheZoom)
{
    auto labels = [](int virtualWidth) {
        std::vector<std::string> result;
        int dots = 0;
        for (const auto& mark : SFQtPlayProgressPanel::DayScale(virtualWidth, 0, 800)) {
            if (mark.label.isEmpty())
                ++dots;
            else
                result.push_back(mark.label.toStdString());
        }
        return std::make_pair(result, dots);
    };
    const auto [hours, noDots] = labels(800);
    ASSERT_EQ(25u, hours.size());
    EXPECT_EQ(" 0", hours.front());
    EXPECT_EQ(" 9", hours[9]);
    EXPECT_EQ("24", hours.back());
    EXPECT_EQ(0, noDots);
    const auto [halfHours, fiveMinuteDots] = labels(4000);  // zoom 5: pph about 167
    ASSERT_GE(halfHours.size(), 2u);
    EXPECT_EQ("00:00:00", halfHours[0]);
    EXPECT_EQ("00:30:00", halfHours[1]);
    EXPECT_GT(fiveMinuteDots, 0);
    const auto [twoDigitHours, tenMinuteDots] = labels(2000);  // pph about 83
    EXPECT_EQ("00", twoDigitHours[0]);
    EXPECT_GT(tenMinuteDots, 0);
    const auto [seconds, unused] = labels(100000);  // pph over 3600
    EXPECT_EQ("00:00:00", seconds[0]);
    EXPECT_EQ("00:01:00", seconds[1]);
    (void)unused;
}

TEST_F(TimeLineTest, CenterOnTimePutsTheTimeAtTheLeftEdge)
{
    panel->SetZoomFactor(4);
    panel->CenterOnTime(kDay + 6 * kHour);
    EXPECT_EQ(800, Model().dayOffset);
    EXPECT_EQ(800, panel->ScrollBar()->value());
    panel->CenterOnTime(kDay + 23 * kHour);
    EXPECT_EQ(3 * 800, Model().dayOffset);
}

TEST(TimeLineModel, SingleViewCentresByThePlaceInTheRecord)
{
    std::map<int, UISF_Channel> records;
    records[1] = MakeRecord(1, {{kDay + 23 * kHour, kDay + 25 * kHour}});
    CTimeLineModel model(records);
    model.singleView = true;
    model.singleChannel = 1;
    model.visibleWidth = 800;
    model.singleVirtualWidth = 3200;
    model.CenterOnTime(kDay + 24 * kHour);  // half-way through the record
    EXPECT_EQ(1600 - 400, model.singleOffset);
    model.CenterOnTime(kDay + 23 * kHour);
    EXPECT_EQ(0, model.singleOffset);
}

TEST_F(TimeLineTest, SingleRecordViewReportsPercentages)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}, {kDay + 12 * kHour, kDay + 13 * kHour}}));
    panel->SetPlayTime(1, kDay + 10 * kHour + 60);
    panel->SetSingleRecordView(1, true);
    EXPECT_TRUE(Model().singleView);
    EXPECT_EQ(800, Model().singleVirtualWidth);
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(156 + 600, 30));
    ASSERT_FALSE(listener.positions.empty());
    EXPECT_EQ(75, listener.positions.back().position);
    EXPECT_EQ(101, listener.positions.back().segment);
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(990, 30));
    EXPECT_LE(listener.positions.back().position, 100);
    EXPECT_GE(listener.positions.back().position, 0);
}

TEST_F(TimeLineTest, HoverAndLeaveAreReported)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    QTest::mouseMove(Drawing(), QPoint(XFor(6 * kHour), 17));
    ASSERT_FALSE(listener.overs.empty());
    EXPECT_EQ(1, listener.overs.back().first);
    EXPECT_EQ(6 * kHour, listener.overs.back().second);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(panel.get(), &leave);
    EXPECT_EQ(std::vector<UINT>{77}, listener.leaves);
}

TEST_F(TimeLineTest, UnimplementedOperationsThrowTheirText)
{
    EXPECT_THROW(panel->ReservedOp1(0, 0, 0, 0, 0), const char*);
    try {
        panel->ReservedOp2(0, 0, 0, 0, 0);
    } catch (const char* text) {
        EXPECT_STREQ("umimplemented", text);
    }
    EXPECT_THROW(panel->ReservedOp3(), const char*);
    EXPECT_THROW(panel->ReservedOp4(0, 0), const char*);
    EXPECT_NO_THROW(panel->ReservedOp5(0));
    EXPECT_THROW(panel->ReservedOp6(0), const char*);
}

TEST_F(TimeLineTest, ResizeMovesTheRightHandParts)
{
    panel->resize(1199, panel->height());  // 200 wider than created
    EXPECT_EQ(1000, Model().visibleWidth);
    EXPECT_EQ(1157, Model().nextArrow.left);
    EXPECT_EQ(1000, panel->ScrollBar()->width());
}

TEST_F(TimeLineTest, ChannelWithoutTheShownDayShowsAnEmptyRow)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}, {kDay + 24 * kHour + 10 * kHour, kDay + 24 * kHour + 11 * kHour}}));
    panel->SetChannelRecord(MakeRecord(2, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    const QPoint row1(XFor(10 * kHour + 1800), 17), row2(XFor(10 * kHour + 1800), 32);
    QImage before = Drawing()->grab().toImage();
    EXPECT_NE(QColor(50, 50, 50), before.pixelColor(row1));
    EXPECT_NE(QColor(50, 50, 50), before.pixelColor(row2));
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(962, 40));  // next day
    ASSERT_EQ(1, Model().commonDayCounter);
    QImage after = Drawing()->grab().toImage();
    EXPECT_NE(QColor(50, 50, 50), after.pixelColor(row1));  // channel 1 has that day
    EXPECT_EQ(QColor(50, 50, 50), after.pixelColor(row2));  // channel 2 has not
}

TEST_F(TimeLineTest, APressTakesTheDayTheRowShowsAfterAChannelWentAway)
{
    const int nextDay = kDay + 24 * kHour;
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}, {nextDay + 10 * kHour, nextDay + 13 * kHour}}));
    panel->SetChannelRecord(MakeRecord(2, {{kDay + 10 * kHour, kDay + 11 * kHour}, {nextDay + 10 * kHour, nextDay + 11 * kHour}}, 200));
    QTest::mouseClick(Drawing(), Qt::LeftButton, {}, QPoint(962, 40));  // next day
    ASSERT_EQ(nextDay, Model().MidnightOfCurrentDay(1));
    panel->RemoveChannelRecord(2);
    ASSERT_EQ(nextDay, Model().MidnightOfCurrentDay(1));  // the row still shows the next day
    QTest::mousePress(Drawing(), Qt::LeftButton, {}, QPoint(XFor(12 * kHour), 17));
    ASSERT_FALSE(listener.positions.empty());
    EXPECT_EQ(1, listener.positions.back().channel);
    EXPECT_EQ(101, listener.positions.back().segment);
    EXPECT_EQ(nextDay + 12 * kHour, listener.positions.back().position);
    EXPECT_EQ(nextDay + 12 * kHour, panel->GetPlayTime(1));
    QTest::mouseRelease(Drawing(), Qt::LeftButton, {}, QPoint(XFor(12 * kHour), 17));
    EXPECT_EQ(nextDay + 12 * kHour, panel->GetPlayTime(1));
}

// On a dark background the hour numbers (above the rows) and the row names are light.
TEST_F(TimeLineTest, HourNumbersAndRowNamesAreLightAboveAndBesideTheRows)
{
    panel->SetChannelRecord(MakeRecord(1, {{kDay + 10 * kHour, kDay + 11 * kHour}}));
    QPalette dark = panel->palette();
    dark.setColor(QPalette::Window, QColor(20, 20, 20));
    panel->setPalette(dark);
    panel->setAutoFillBackground(true);
    const QImage image = Drawing()->grab().toImage();
    const auto lightPixels = [&](const QRect& band) {
        int count = 0;
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x)
                count += image.pixelColor(x, y).lightness() > 180 ? 1 : 0;
        return count;
    };
    const int rowsTop = Model().nameColumn.top;
    EXPECT_GT(lightPixels(QRect(QPoint(156, 0), QPoint(956, rowsTop - 1))), 20);
    EXPECT_GT(lightPixels(QRect(QPoint(0, rowsTop + 1), QPoint(138, rowsTop + 13))), 10);
}
