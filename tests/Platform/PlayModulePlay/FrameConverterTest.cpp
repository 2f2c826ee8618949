#include "Platform/PlayModule/Output/FrameConverter.h"

#include <gtest/gtest.h>

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
}

using PLAY_MODULE::CFrameConverter;
using PLAY_MODULE::PlanarPicture;

namespace {

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

// A flat picture: luma y, chroma u and v, in the given pixel format.
FramePtr FlatFrame(AVPixelFormat format, int width, int height, int y, int u, int v)
{
    FramePtr frame(av_frame_alloc());
    frame->format = format;
    frame->width = width;
    frame->height = height;
    av_frame_get_buffer(frame.get(), 0);
    for (int row = 0; row < height; ++row)
        std::memset(frame->data[0] + row * frame->linesize[0], y, width);
    const bool subsampled = format == AV_PIX_FMT_YUV420P;
    const int chromaRows = subsampled ? (height + 1) / 2 : height;
    const int chromaWidth = subsampled ? (width + 1) / 2 : width;
    for (int row = 0; row < chromaRows; ++row) {
        std::memset(frame->data[1] + row * frame->linesize[1], u, chromaWidth);
        std::memset(frame->data[2] + row * frame->linesize[2], v, chromaWidth);
    }
    return frame;
}

}  // namespace

TEST(FrameConverter, LaysPlanesOutInTheAskedOrderWithTheirOffsets)
{
    CFrameConverter converter;
    PlanarPicture picture;
    auto frame = FlatFrame(AV_PIX_FMT_YUV420P, 6, 4, 100, 64, 192);
    ASSERT_TRUE(converter.Convert(*frame, true, picture));
    ASSERT_EQ(PlanarPicture::SizeFor(6, 4), picture.bytes.size());
    EXPECT_EQ(100, picture.bytes[0]);
    EXPECT_EQ(192, picture.bytes[24]);       // V at width*height
    EXPECT_EQ(64, picture.bytes[24 * 5 / 4]); // U at width*height*5/4
    EXPECT_EQ(64, *picture.U());
    EXPECT_EQ(192, *picture.V());

    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_EQ(64, picture.bytes[24]);
    EXPECT_EQ(192, picture.bytes[30]);
}

TEST(FrameConverter, OddSizesStayInsideTheirBuffer)
{
    CFrameConverter converter;
    PlanarPicture picture;
    auto frame = FlatFrame(AV_PIX_FMT_YUV420P, 7, 5, 50, 60, 70);
    ASSERT_TRUE(converter.Convert(*frame, true, picture));
    // Chroma planes of 4 x 3, the last column and row included.
    EXPECT_EQ(35u + 2 * 12, picture.bytes.size());
    EXPECT_EQ(70, picture.bytes[35]);
    EXPECT_EQ(70, picture.bytes[35 + 11]);
    EXPECT_EQ(60, picture.bytes[35 + 12]);
    EXPECT_EQ(60, picture.bytes.back());
    auto tiny = FlatFrame(AV_PIX_FMT_YUV420P, 1, 1, 0, 0, 0);
    EXPECT_FALSE(converter.Convert(*tiny, true, picture));
}

TEST(FrameConverter, OtherPixelFormatsAreScaledToPlanar420)
{
    CFrameConverter converter;
    PlanarPicture picture;
    auto frame = FlatFrame(AV_PIX_FMT_YUV444P, 8, 8, 120, 64, 192);
    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_NEAR(120, picture.bytes[9], 1);
    EXPECT_NEAR(64, *picture.U(), 1);
    EXPECT_NEAR(192, *picture.V(), 1);
}

TEST(FrameConverter, ColourSettingsChangeThePicture)
{
    CFrameConverter converter;
    PlanarPicture picture;
    auto frame = FlatFrame(AV_PIX_FMT_YUV420P, 4, 4, 100, 64, 192);

    converter.SetColor(64, 64, 64, 128);  // hue half a turn: U and V change sides
    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_NEAR(192, *picture.U(), 1);
    EXPECT_NEAR(64, *picture.V(), 1);
    EXPECT_EQ(100, picture.bytes[0]);

    converter.SetColor(64, 64, 0, 64);  // no saturation: grey
    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_EQ(128, *picture.U());
    EXPECT_EQ(128, *picture.V());

    converter.SetColor(100, 64, 64, 64);  // brighter
    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_EQ(100 + 72, picture.bytes[0]);

    converter.SetColor(64, 128, 64, 64);  // twice the contrast around 128
    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_EQ(72, picture.bytes[0]);

    converter.SetColor(64, 64, 64, 64);  // neutral again
    ASSERT_TRUE(converter.Convert(*frame, false, picture));
    EXPECT_EQ(100, picture.bytes[0]);
    EXPECT_EQ(64, *picture.U());
}
