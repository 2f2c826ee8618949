#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <limits>
#include <vector>

#include "Platform/IvsDrawer/IvsDrawer.h"
#include "Platform/PlayModule/Format/KvxOverlayRules.h"
#include "Platform/PlayModule/Format/KvxOverlayTargets.h"

using namespace IVS_DRAWER;
using PLAY_MODULE::KvxOverlayPoint;
using PLAY_MODULE::KvxOverlayRules;
using PLAY_MODULE::KvxOverlayTargets;

namespace {

constexpr int kPort = 7;
const QColor kRuleColor(255, 255, 0);
const QColor kAlarmColor(255, 0, 0);
const QColor kTrackColor(0, 255, 0);

std::vector<std::uint8_t> HorizontalRule(bool alarm = false)
{
    KvxOverlayRules rules;
    KvxOverlayRules::Rule rule;
    rule.id = 1;
    rule.shape = KvxOverlayRules::Line;
    rule.alarm = alarm;
    rule.points = {{0, 4095}, {8191, 4095}};
    rules.rules.push_back(rule);
    return rules.Encode();
}

std::vector<std::uint8_t> AlarmBoxWithTrack()
{
    KvxOverlayTargets targets;
    KvxOverlayTargets::Target target;
    target.id = 3;
    target.alarm = true;
    target.topLeft = {2048, 2048};
    target.size = {4096, 4096};
    target.track = {{0, 8191}, {8191, 0}};
    targets.targets.push_back(target);
    return targets.Encode();
}

class IvsDrawerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IvsDrawer_Init();
        ASSERT_EQ(1, IvsDrawer_OpenPort(kPort));
    }
    void TearDown() override { IvsDrawer_ClosePort(kPort); }

    // Draws the port over a black 101 x 101 picture.
    QImage Draw(int frameTimeMs = 0)
    {
        QImage image(101, 101, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        lastDraw = IvsDrawer_Draw(kPort, &painter, nullptr, frameTimeMs);
        return image;
    }

    static bool Has(const QImage& image, const QColor& color)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == color)
                    return true;
        return false;
    }

    int lastDraw = 0;
};

}  // namespace

TEST_F(IvsDrawerTest, BadPortsAndKindsAreRefused)
{
    EXPECT_EQ(0, IvsDrawer_OpenPort(-1));
    EXPECT_EQ(0, IvsDrawer_OpenPort(kPortCount));
    EXPECT_EQ(0, IvsDrawer_SetDrawType(8, IVS_DRAW_ALL));  // not open
    EXPECT_EQ(0, IvsDrawer_EnableKind(kPort, 4, 1));
    EXPECT_EQ(0, IvsDrawer_SetHoldFrames(kPort, 3, 10));
    EXPECT_EQ(0, IvsDrawer_Draw(kPort, nullptr, nullptr, 0));
}

TEST_F(IvsDrawerTest, DamagedBlocksAreRefused)
{
    std::vector<std::uint8_t> rules = HorizontalRule();
    EXPECT_EQ(0, IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()) - 1, 0));
    EXPECT_EQ(0, IvsDrawer_InputRules(kPort, nullptr, 10, 0));
    EXPECT_EQ(0, IvsDrawer_InputTargets(kPort, 0, rules.data(), -5, 0));
    EXPECT_FALSE(Has(Draw(), kRuleColor));
}

TEST_F(IvsDrawerTest, DrawsRulesBoxesAndTracksOverThePicture)
{
    const auto rules = HorizontalRule();
    const auto targets = AlarmBoxWithTrack();
    ASSERT_EQ(1, IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 0));
    ASSERT_EQ(1, IvsDrawer_InputTargets(kPort, 0, targets.data(), int(targets.size()), 0));
    const QImage image = Draw();
    EXPECT_EQ(1, lastDraw);
    EXPECT_EQ(kRuleColor, image.pixelColor(10, 50));   // the rule line across the middle
    EXPECT_EQ(kAlarmColor, image.pixelColor(25, 35));  // the box's left edge
    EXPECT_EQ(kTrackColor, image.pixelColor(5, 95));   // the track's start
}

TEST_F(IvsDrawerTest, TheDrawTypeSelectsTheKinds)
{
    const auto rules = HorizontalRule();
    const auto targets = AlarmBoxWithTrack();
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 0);
    IvsDrawer_InputTargets(kPort, 0, targets.data(), int(targets.size()), 0);

    IvsDrawer_SetDrawType(kPort, IVS_DRAW_ALARM);
    QImage image = Draw();
    EXPECT_FALSE(Has(image, kRuleColor));
    EXPECT_TRUE(Has(image, kAlarmColor));
    EXPECT_FALSE(Has(image, kTrackColor));

    IvsDrawer_SetDrawType(kPort, IVS_DRAW_RULE | IVS_DRAW_TRACK);
    image = Draw();
    EXPECT_TRUE(Has(image, kRuleColor));
    EXPECT_FALSE(Has(image, kAlarmColor));
    EXPECT_TRUE(Has(image, kTrackColor));

    IvsDrawer_SetDrawType(kPort, IVS_DRAW_ALL);
    IvsDrawer_EnableKind(kPort, IVS_KIND_TRACK, 0);
    EXPECT_FALSE(Has(Draw(), kTrackColor));
}

TEST_F(IvsDrawerTest, KindStylesSetColourAndFallBackToTheKindsOwn)
{
    const auto rules = HorizontalRule();
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 0);
    IvsDrawer_SetKindStyle(kPort, IVS_KIND_RULE, 0x00FF0000, 3, 0);  // blue as 0x00BBGGRR
    EXPECT_EQ(QColor(0, 0, 255), Draw().pixelColor(10, 50));
    IvsDrawer_SetKindStyle(kPort, IVS_KIND_RULE, -1, 0, 0);
    EXPECT_EQ(kRuleColor, Draw().pixelColor(10, 50));
}

TEST_F(IvsDrawerTest, AlarmedRulesUseTheAlarmColour)
{
    const auto rules = HorizontalRule(true);
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 0);
    EXPECT_EQ(kAlarmColor, Draw().pixelColor(10, 50));
}

TEST_F(IvsDrawerTest, BlocksStayUpForTheirHoldTime)
{
    const auto rules = HorizontalRule();
    IvsDrawer_SetHoldFrames(kPort, IVS_BLOCK_RULES, 2);
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 1000);
    EXPECT_TRUE(Has(Draw(1000), kRuleColor));
    EXPECT_TRUE(Has(Draw(1040), kRuleColor));
    EXPECT_FALSE(Has(Draw(1080), kRuleColor));
}

TEST_F(IvsDrawerTest, ASeekBackwardsDropsBlocksOfLaterTimes)
{
    const auto rules = HorizontalRule();
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 60000);
    EXPECT_FALSE(Has(Draw(1000), kRuleColor));
}

TEST_F(IvsDrawerTest, FrameTimesAtTheEndsOfTheirRangeCompareWithoutOverflow)
{
    const auto rules = HorizontalRule();
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), std::numeric_limits<int>::max());
    EXPECT_FALSE(Has(Draw(std::numeric_limits<int>::min()), kRuleColor));
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), std::numeric_limits<int>::min());
    EXPECT_TRUE(Has(Draw(std::numeric_limits<int>::max()), kRuleColor));
}

TEST_F(IvsDrawerTest, ClosingAPortForgetsItsBlocks)
{
    const auto rules = HorizontalRule();
    IvsDrawer_InputRules(kPort, rules.data(), int(rules.size()), 0);
    EXPECT_EQ(1, IvsDrawer_ClosePort(kPort));
    EXPECT_EQ(0, IvsDrawer_ClosePort(kPort));
    IvsDrawer_OpenPort(kPort);
    EXPECT_FALSE(Has(Draw(), kRuleColor));
}
