#include <gtest/gtest.h>

#include "DDrawTestWindow.h"

namespace {

class DDrawRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDDrawDevice::ResetDisplay();
        ASSERT_EQ(0, render.Init(&window));
        render.SetRenderCallback(0, &window);
    }
    void TearDown() override
    {
        CDDrawDevice::ResetDisplay();
        CDDrawRender::SetOverlayDrawer(nullptr);
    }
    int RenderRed(tagRECT* source = nullptr)
    {
        return render.Render(nullptr, red.bytes.data(), red.width, red.height, source, 3, &window, 0);
    }
    static bool IsRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60; }
    static bool IsBlue(QRgb pixel) { return qBlue(pixel) > 200 && qRed(pixel) < 60 && qGreen(pixel) < 60; }

    FakeWindow window;
    CDDrawRender render;
    YuvFrame red = RedFrame(70, 50);
};

}  // namespace

TEST_F(DDrawRenderTest, FormatFallbackRunsUyvyYuy2Yv12)
{
    const std::pair<std::uint32_t, DDrawFormat> cases[] = {
        {DDFMT_UYVY | DDFMT_YUY2 | DDFMT_YV12 | DDFMT_RGB32, DDFMT_UYVY},
        {DDFMT_YUY2 | DDFMT_YV12 | DDFMT_RGB32, DDFMT_YUY2},
        {DDFMT_YV12 | DDFMT_RGB32, DDFMT_YV12},
    };
    for (const auto& [mask, expected] : cases) {
        CDDrawDevice::SetAcceptedFormats(mask);
        render.ReleaseFrameSurface();
        ASSERT_EQ(1, RenderRed());
        EXPECT_EQ(expected, render.FrameFormat());
        // Every format shows the same colours: U second, V third.
        EXPECT_TRUE(IsRed(window.presented.pixel(32, 24))) << std::hex << window.presented.pixel(32, 24);
    }
}

TEST_F(DDrawRenderTest, NoAcceptedYuvFormatFails)
{
    CDDrawDevice::SetAcceptedFormats(DDFMT_RGB32);
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(0, window.presentCount);
    void* surface = nullptr;
    SFPlaneCopyFunc copy = nullptr;
    EXPECT_EQ(0, render.CreateOffScreenSurface(surface, copy, 64, 48));
    EXPECT_EQ(nullptr, surface);
}

TEST_F(DDrawRenderTest, OffScreenSurfaceFollowsTheFallbackAndBelongsToTheCaller)
{
    CDDrawDevice::SetAcceptedFormats(DDFMT_YV12);
    void* surface = nullptr;
    SFPlaneCopyFunc copy = nullptr;
    ASSERT_EQ(1, render.CreateOffScreenSurface(surface, copy, 33, 17));
    EXPECT_EQ(&CopyYV12ToYV12, copy);
    EXPECT_EQ(DDFMT_YV12, static_cast<CDDrawSurface*>(surface)->Format());
    DDrawDestroySurface(surface);
}

TEST_F(DDrawRenderTest, PresentsAWindowSizedBackBufferAfterTheCallbackDrew)
{
    window.drawMark = true;
    ASSERT_EQ(1, RenderRed());
    EXPECT_EQ(QSize(64, 48), window.presented.size());
    EXPECT_EQ(1, window.callbackCount);
    EXPECT_EQ(qRgb(255, 255, 255), window.presented.pixel(0, 0));
    EXPECT_TRUE(IsRed(window.presented.pixel(40, 40)));
}

TEST_F(DDrawRenderTest, OverlayDrawerGetsThePort)
{
    static int seenPort = -1;
    CDDrawRender::SetOverlayDrawer([](int port, QPainter*, void*, int) {
        seenPort = port;
        return 0;
    });
    ASSERT_EQ(1, RenderRed());
    EXPECT_EQ(3, seenPort);
    seenPort = -2;
    EXPECT_EQ(0, render.Redraw());
    EXPECT_EQ(3, seenPort);  // the shown frame's port, not another's
    EXPECT_EQ(0, render.RenderFrame(red.Y(), red.U(), red.V(), red.width, red.height));
    EXPECT_EQ(0, render.Redraw());
    EXPECT_EQ(-1, seenPort);
}

TEST_F(DDrawRenderTest, SourceRectangleCropsTheFrame)
{
    red.Fill(36, 70, kBlueY, kBlueU, kBlueV);
    tagRECT rightHalf{36, 0, 69, 49};
    ASSERT_EQ(1, RenderRed(&rightHalf));
    EXPECT_TRUE(IsBlue(window.presented.pixel(2, 24)));
    EXPECT_TRUE(IsBlue(window.presented.pixel(62, 24)));
    tagRECT leftHalf{0, 0, 33, 49};
    ASSERT_EQ(1, RenderRed(&leftHalf));
    EXPECT_TRUE(IsRed(window.presented.pixel(62, 24)));
}

TEST_F(DDrawRenderTest, LostPrimaryDropsOneFrame)
{
    ASSERT_EQ(1, RenderRed());
    render.LoseSurface(2);
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(1, window.presentCount);
    EXPECT_EQ(1, RenderRed());
    EXPECT_EQ(2, window.presentCount);
}

TEST_F(DDrawRenderTest, LostBackBufferDropsOneFrame)
{
    ASSERT_EQ(1, RenderRed());
    render.LoseSurface(1);
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(1, RenderRed());
    EXPECT_EQ(2, window.presentCount);
}

TEST_F(DDrawRenderTest, LostFrameSurfaceIsRestoredBeforeTheUpload)
{
    ASSERT_EQ(1, RenderRed());
    render.LoseSurface(0);
    EXPECT_EQ(1, RenderRed());
    EXPECT_TRUE(IsRed(window.presented.pixel(10, 10)));
}

TEST_F(DDrawRenderTest, FrameSurfaceThatCannotBeRestoredIsMadeAnew)
{
    ASSERT_EQ(1, RenderRed());
    render.LoseSurface(0);
    CDDrawDevice::SetAllocationFails(true);
    EXPECT_EQ(0, RenderRed());
    CDDrawDevice::SetAllocationFails(false);
    EXPECT_EQ(1, RenderRed());
    EXPECT_EQ(2, window.presentCount);
}

TEST_F(DDrawRenderTest, ScreenChangeMakesANewPrimaryAfterOneDroppedFrame)
{
    ASSERT_EQ(1, RenderRed());
    CDDrawDevice::SetScreenSize(1280, 1024);
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(1, RenderRed());
}

TEST_F(DDrawRenderTest, HiddenWindowGetsNoPresentation)
{
    window.rect = {-32000, -32000, -31937, -31953};
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(0, window.presentCount);
    window.rect = {10, 10, 73, 57};
    EXPECT_EQ(1, RenderRed());
}

TEST_F(DDrawRenderTest, MovedOrResizedWindowGetsANewBackBuffer)
{
    ASSERT_EQ(1, RenderRed());
    window.rect = {0, 0, 99, 79};
    ASSERT_EQ(1, RenderRed());
    EXPECT_EQ(QSize(100, 80), window.presented.size());
}

TEST_F(DDrawRenderTest, VerticalSyncIsStoredAndWaitedFor)
{
    EXPECT_EQ(1, render.EnableVerticalSync(1));
    EXPECT_EQ(1, render.IsVerticalSyncOn());
    ASSERT_EQ(1, RenderRed());
    EXPECT_EQ(1, render.VerticalBlankWaits());
    render.EnableVerticalSync(0);
    ASSERT_EQ(1, RenderRed());
    EXPECT_EQ(1, render.VerticalBlankWaits());
}

TEST_F(DDrawRenderTest, RenderFrameAndRedrawUseTheSamePath)
{
    EXPECT_EQ(0, render.RenderFrame(red.Y(), red.U(), red.V(), red.width, red.height));
    EXPECT_TRUE(IsRed(window.presented.pixel(5, 5)));
    EXPECT_EQ(0, render.Redraw());
    EXPECT_EQ(2, window.presentCount);
    render.LoseSurface(2);
    EXPECT_EQ(-1, render.Redraw());
    EXPECT_EQ(0, render.Redraw());
}

TEST_F(DDrawRenderTest, ReleasedOrUninitialisedRendererRefusesFrames)
{
    render.Release();
    EXPECT_EQ(0, RenderRed());
    EXPECT_EQ(-1, render.RenderFrame(red.Y(), red.U(), red.V(), red.width, red.height));
    EXPECT_EQ(-1, render.Redraw());
    CDDrawRender fresh;
    EXPECT_EQ(-1, fresh.Init(nullptr));
    EXPECT_EQ(0, fresh.Render(nullptr, red.bytes.data(), 70, 50, nullptr, 0, &window, 0));
}
