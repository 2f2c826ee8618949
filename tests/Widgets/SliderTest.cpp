#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <limits>
#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTSliderCtrl.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

// A slider 100 wide whose handle image is 10 x 10; the skin image holds the
// two track pieces (100 x 6) and four handle looks.
class SliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFQTSetSkinPath(dir.path() + "/");
        QImage image(100, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.fillRect(0, 0, 100, 6, Qt::green);    // passed track
        painter.fillRect(0, 10, 100, 6, Qt::gray);    // remaining track
        painter.fillRect(0, 20, 10, 10, Qt::white);   // handle normal
        painter.fillRect(10, 20, 10, 10, Qt::yellow);  // hover
        painter.fillRect(20, 20, 10, 10, Qt::red);    // pressed
        painter.fillRect(30, 20, 10, 10, Qt::black);  // disabled
        painter.end();
        image.save(dir.path() + "/slider.png");
        skin.str0 = L"slider.png";
        skin.str1 = L"0,0,99,5";
        skin.str2 = L"0,10,99,5";
        skin.str3 = L"0,20,9,9";
        skin.str4 = L"10,20,9,9";
        skin.str5 = L"20,20,9,9";
        skin.str6 = L"30,20,9,9";
    }

    CSFQTSliderCtrl* Make(SLIDER_RESPONSE_MODE mode, bool skinned = true)
    {
        slider.reset(static_cast<CSFQTSliderCtrl*>(SFCreateSliderCtrl(&events)));
        if (skinned)
            slider->SetSkin(&skin);
        slider->Create(WS_VISIBLE, tagRECT{0, 0, 100, 20}, nullptr, 9, mode);
        slider->SetRange(0, 12, 1);
        return slider.get();
    }

    void Wheel(int delta)
    {
        QWheelEvent wheel(QPointF(50, 10), QPointF(50, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(slider.get(), &wheel);
    }

    QTemporaryDir dir;
    ImageSliderStyle skin;
    RecordingSliderEvent events;
    std::unique_ptr<CSFQTSliderCtrl> slider;
};

TEST_F(SliderTest, SkinPiecesIncludeTheirLastPixel)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    ASSERT_NE(slider->GetSkinPixmap(2), nullptr);
    EXPECT_EQ(slider->GetSkinPixmap(2)->size(), QSize(10, 10));
    EXPECT_EQ(slider->GetSkinPixmap(0)->size(), QSize(100, 6));
    EXPECT_EQ(slider->GetSkinPixmap(6), nullptr);
    EXPECT_EQ(slider->GetSkinPixmap(-1), nullptr);
    EXPECT_EQ(slider->SetSkin(nullptr), 0);
}

TEST_F(SliderTest, ValueAndPixelMapBothWays)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    EXPECT_EQ(slider->ValueToHandlePos(6), QPoint(50, 5));
    EXPECT_EQ(slider->ValueToHandlePos(0), QPoint(5, 5));
    EXPECT_EQ(slider->ValueToHandlePos(12), QPoint(95, 5));
    EXPECT_EQ(slider->ValueFromPointer(50), 6) << "45 * 12 / 90 + 0.5 = 6.5, truncated";
    EXPECT_EQ(slider->ValueFromPointer(0), 0) << "clamped to half the handle";
    EXPECT_EQ(slider->ValueFromPointer(500), 12);
    for (int value = 0; value <= 12; ++value)
        EXPECT_EQ(slider->ValueFromPointer(slider->ValueToHandlePos(value).x()), value) << value;
}

TEST_F(SliderTest, WideRangesMapWithoutOverflow)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    constexpr int kDayMs = 86400000;
    slider->SetRange(0, kDayMs, 0);
    EXPECT_EQ(slider->ValueToHandlePos(kDayMs / 2), QPoint(50, 5));
    EXPECT_EQ(slider->ValueToHandlePos(kDayMs), QPoint(95, 5));
    EXPECT_EQ(slider->ValueFromPointer(50), kDayMs / 2);
    EXPECT_EQ(slider->ValueFromPointer(95), kDayMs);
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(kDayMs / 2, 0, kDayMs), 50);
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(0, lo, hi), 50);
    slider->SetRange(lo, hi, 0);
    EXPECT_EQ(slider->ValueToHandlePos(hi).x(), 95);
    EXPECT_EQ(slider->ValueFromPointer(95), hi);
}

TEST_F(SliderTest, EmptyRangeSitsAtTheEnd)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    slider->SetRange(4, 4, 0);
    EXPECT_EQ(slider->ValueToHandlePos(4).x(), 90);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 5));
    EXPECT_EQ(slider->GetPos(), 4);
}

TEST_F(SliderTest, SliderAsWideAsItsHandleStaysInRange)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    slider->MoveWindow(0, 0, 10, 20);
    EXPECT_EQ(slider->ValueFromPointer(5), 0);
    EXPECT_EQ(slider->ValueFromPointer(9), 0);
}

TEST_F(SliderTest, ContinuousModeReportsPressDragAndWheel)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 5));
    EXPECT_EQ(slider->IsDragging(), 1);
    QMouseEvent drag(QEvent::MouseMove, QPointF(95, 5), slider->mapToGlobal(QPointF(95, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider.get(), &drag);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(95, 5));
    EXPECT_EQ(slider->IsDragging(), 0);
    EXPECT_EQ(events.positions, (std::vector<std::pair<int, int>>{{9, 6}, {9, 12}}));

    Wheel(120);  // already at the end: still reported
    ASSERT_EQ(events.positions.size(), 3u);
    EXPECT_EQ(events.positions.back(), std::make_pair(9, 12));
}

TEST_F(SliderTest, ReleaseModeReportsOnlyTheFinalValue)
{
    Make(SLIDER_RESPONSE_ON_RELEASE);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
    QMouseEvent drag(QEvent::MouseMove, QPointF(50, 5), slider->mapToGlobal(QPointF(50, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider.get(), &drag);
    Wheel(120);
    EXPECT_TRUE(events.positions.empty());
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 5));
    ASSERT_EQ(events.positions.size(), 1u);
    EXPECT_EQ(events.positions[0].first, 9);
    EXPECT_EQ(events.positions[0].second, slider->GetPos());
}

TEST_F(SliderTest, RightPressAndArrowKeysChangeNothing)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    slider->SetPos(3);
    QTest::mousePress(slider.get(), Qt::RightButton, Qt::NoModifier, QPoint(90, 5));
    QTest::keyClick(slider.get(), Qt::Key_Right);
    QTest::keyClick(slider.get(), Qt::Key_Up);
    EXPECT_EQ(slider->GetPos(), 3);
    QTest::keyClick(slider.get(), Qt::Key_PageUp);
    EXPECT_NE(slider->GetPos(), 3) << "page keys still move, silently";
    EXPECT_TRUE(events.positions.empty());
}

TEST_F(SliderTest, PercentOfRangeCountsFromTheMinimumAndSurvivesAnEmptyRange)
{
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(6, 0, 12), 50);
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(15, 10, 20), 50);
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(20, 10, 20), 100);
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(1, 0, 3), 33);
    EXPECT_EQ(CSFQTSliderCtrl::PercentOfRange(5, 5, 5), 100);
}

TEST_F(SliderTest, DrawsTrackAndHandleFromTheSkinOrNothingWithout)
{
    Make(SLIDER_RESPONSE_CONTINUOUS);
    slider->SetPos(6);
    const QImage shot = slider->grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 2), QColor(Qt::green)) << "passed track left of the handle";
    EXPECT_EQ(shot.pixelColor(80, 2), QColor(Qt::gray)) << "remaining track right of it";
    EXPECT_EQ(shot.pixelColor(50, 8), QColor(Qt::white)) << "the handle in its normal look";

    Make(SLIDER_RESPONSE_CONTINUOUS, false);
    slider->grab();
    EXPECT_EQ(slider->ValueToHandlePos(6), QPoint(50, 10)) << "no handle image: width 0";
}

}  // namespace
