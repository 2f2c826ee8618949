#include "ImageProbe.h"

#include <cstdlib>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace PlayModuleTest {

namespace {

bool DecodeFirstFrame(AVFormatContext* format, AVFrame* frame)
{
    const AVCodec* codec = avcodec_find_decoder(format->streams[0]->codecpar->codec_id);
    AVCodecContext* context = codec ? avcodec_alloc_context3(codec) : nullptr;
    bool decoded = false;
    if (context && avcodec_parameters_to_context(context, format->streams[0]->codecpar) >= 0 &&
        avcodec_open2(context, codec, nullptr) >= 0) {
        AVPacket* packet = av_packet_alloc();
        if (av_read_frame(format, packet) >= 0 && avcodec_send_packet(context, packet) >= 0) {
            avcodec_send_packet(context, nullptr);
            decoded = avcodec_receive_frame(context, frame) >= 0;
        }
        av_packet_free(&packet);
    }
    avcodec_free_context(&context);
    return decoded;
}

}  // namespace

LumaImage DecodeImageLuma(const std::string& path)
{
    LumaImage image;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return image;
    AVFrame* frame = av_frame_alloc();
    if (avformat_find_stream_info(format, nullptr) >= 0 && format->nb_streams > 0 &&
        DecodeFirstFrame(format, frame)) {
        image.width = frame->width;
        image.height = frame->height;
        image.luma.resize(std::size_t(frame->width) * frame->height);
        SwsContext* scaler = sws_getContext(frame->width, frame->height,
                                            AVPixelFormat(frame->format), frame->width,
                                            frame->height, AV_PIX_FMT_GRAY8, SWS_POINT,
                                            nullptr, nullptr, nullptr);
        std::uint8_t* planes[1] = {image.luma.data()};
        int strides[1] = {frame->width};
        sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
        sws_freeContext(scaler);
    }
    av_frame_free(&frame);
    avformat_close_input(&format);
    return image;
}

double MeanDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t count)
{
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return count ? sum / double(count) : 0;
}

}  // namespace PlayModuleTest
