#include "PlayManager/ReferenceDecode.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "Common/YuvToRgb.h"

namespace PlayManagerTest {

namespace {

struct Decoding {
    AVFormatContext* input = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVFrame* planar = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    SwsContext* scaler = nullptr;
    ~Decoding()
    {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&planar);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        avformat_close_input(&input);
    }
};

bool OpenDecoder(Decoding& d, const std::string& path, int& stream)
{
    if (avformat_open_input(&d.input, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(d.input, nullptr) < 0)
        return false;
    const AVCodec* codec = nullptr;
    stream = av_find_best_stream(d.input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (stream < 0)
        return false;
    d.codec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(d.codec, d.input->streams[stream]->codecpar);
    return avcodec_open2(d.codec, codec, nullptr) >= 0;
}

bool FirstFrame(Decoding& d, int stream)
{
    while (av_read_frame(d.input, d.packet) >= 0) {
        const bool ours = d.packet->stream_index == stream;
        if (ours)
            avcodec_send_packet(d.codec, d.packet);
        av_packet_unref(d.packet);
        if (ours && avcodec_receive_frame(d.codec, d.frame) >= 0)
            return true;
    }
    avcodec_send_packet(d.codec, nullptr);
    return avcodec_receive_frame(d.codec, d.frame) >= 0;
}

bool DecodeFirstFrame(Decoding& d, const std::string& path, int& width, int& height)
{
    int stream = -1;
    if (!OpenDecoder(d, path, stream) || !FirstFrame(d, stream))
        return false;
    width = d.frame->width;
    height = d.frame->height;
    return true;
}

}  // namespace

bool DecodeFirstPictureRgb(const std::string& path, std::vector<std::uint8_t>& rgb, int& width,
                           int& height)
{
    Decoding d;
    if (!DecodeFirstFrame(d, path, width, height))
        return false;
    d.planar->format = AV_PIX_FMT_YUV420P;
    d.planar->width = width;
    d.planar->height = height;
    if (av_frame_get_buffer(d.planar, 0) < 0)
        return false;
    d.scaler = sws_getContext(width, height, AVPixelFormat(d.frame->format), width, height,
                              AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr, nullptr);
    sws_scale(d.scaler, d.frame->data, d.frame->linesize, 0, height, d.planar->data,
              d.planar->linesize);
    rgb.assign(std::size_t(width) * height * 4, 0);
    ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(rgb.data()), width, d.planar->data[0],
                         d.planar->data[2], d.planar->data[1], d.planar->linesize[0],
                         d.planar->linesize[1], width, height);
    return true;
}

bool DecodeFirstPictureByFFmpeg(const std::string& path, std::vector<std::uint8_t>& rgba, int& width,
                                int& height)
{
    Decoding d;
    if (!DecodeFirstFrame(d, path, width, height))
        return false;
    d.scaler = sws_getContext(width, height, AVPixelFormat(d.frame->format), width, height, AV_PIX_FMT_RGBA,
                              SWS_POINT, nullptr, nullptr, nullptr);
    if (!d.scaler)
        return false;
    rgba.assign(std::size_t(width) * height * 4, 0);
    std::uint8_t* planes[4] = {rgba.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {width * 4, 0, 0, 0};
    sws_scale(d.scaler, d.frame->data, d.frame->linesize, 0, height, planes, strides);
    return true;
}

bool OpensAsVideo(const std::string& path)
{
    Decoding d;
    int stream = -1;
    return OpenDecoder(d, path, stream);
}

}  // namespace PlayManagerTest
