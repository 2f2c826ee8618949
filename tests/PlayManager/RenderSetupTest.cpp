#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Common/YuvToRgb.h"
#include "PlayManager/RenderSetup.h"
#include "Platform/DDraw/DDrawRender.h"
#include "Platform/IvsDrawer/IvsDrawer.h"

TEST(RenderSetup, FillsTheColourTablesAndReadiesTheOverlayDrawer)
{
    InitRender();
    EXPECT_EQ(1, InitRender());  // a second call does no harm
    std::vector<std::uint8_t> frame(2 * 2 + 2, 128);
    frame[0] = frame[1] = frame[2] = frame[3] = 235;
    std::uint32_t pixels[4] = {};
    ConvertYuv420ToRgb32(pixels, 2, frame.data(), frame.data() + 4, frame.data() + 5, 2, 1, 2, 2);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pixels);
    EXPECT_EQ(254, bytes[0]);
    EXPECT_EQ(255, bytes[3]);
    EXPECT_EQ(CDDrawRender::GetOverlayDrawer(), &IVS_DRAWER::IvsDrawer_Draw);
    EXPECT_EQ(1, IVS_DRAWER::IvsDrawer_OpenPort(511));
    EXPECT_EQ(1, IVS_DRAWER::IvsDrawer_ClosePort(511));
}
