#include "Platform/PlayModule/Support/FullDecode.h"

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"

namespace PLAY_MODULE_TEST {

using namespace PLAY_MODULE;

namespace {

struct Decoder {
    AVCodecContext* ctx = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    ~Decoder()
    {
        avcodec_free_context(&ctx);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
};

}  // namespace

std::vector<DecodedKeyFrame> DecodeContainerKeyFrames(const std::string& path, int* frameCount)
{
    std::vector<DecodedKeyFrame> keys;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return keys;
    Decoder d;
    const AVCodec* codec = nullptr;
    const int video = avformat_find_stream_info(in, nullptr) >= 0
                          ? av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0)
                          : -1;
    if (video >= 0) {
        AVStream* st = in->streams[video];
        d.ctx = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(d.ctx, st->codecpar);
        d.ctx->thread_count = 1;
        const std::int64_t first = st->start_time;
        int frames = 0;
        const auto drain = [&] {
            while (avcodec_receive_frame(d.ctx, d.frame) >= 0) {
                ++frames;
                if (d.frame->key_frame) {
                    const std::int64_t ts = d.frame->pts != AV_NOPTS_VALUE ? d.frame->pts : d.frame->best_effort_timestamp;
                    keys.push_back({av_rescale_q(ts - (first == AV_NOPTS_VALUE ? 0 : first), st->time_base, {1, 1000}),
                                    d.frame->pkt_pos});
                }
            }
        };
        if (avcodec_open2(d.ctx, codec, nullptr) >= 0) {
            while (av_read_frame(in, d.packet) >= 0) {
                if (d.packet->stream_index == video) {
                    avcodec_send_packet(d.ctx, d.packet);
                    drain();
                }
                av_packet_unref(d.packet);
            }
            avcodec_send_packet(d.ctx, nullptr);
            drain();
        }
        if (frameCount) *frameCount = frames;
    }
    avformat_close_input(&in);
    return keys;
}

int DecodeKvxVideo(std::span<const std::uint8_t> bytes)
{
    CKvxRecordParser parser;
    parser.Feed(bytes);
    Decoder d;
    int pictures = 0;
    KvxRecord record;
    while (parser.Next(record) == CKvxRecordParser::Status::Record) {
        if (record.header.kind != kvx::RecordKind::Video) continue;
        KvxVideoPayload video;
        if (!video.Decode(record.payload, record.header.IsKeyFrame())) return -1;
        if (!d.ctx) {
            if (!record.header.IsKeyFrame()) continue;
            const AVCodec* codec = avcodec_find_decoder(video.codec == kvx::VideoCodec::H264 ? AV_CODEC_ID_H264
                                                                                              : AV_CODEC_ID_HEVC);
            d.ctx = avcodec_alloc_context3(codec);
            d.ctx->thread_count = 1;
            if (avcodec_open2(d.ctx, codec, nullptr) < 0) return -1;
        }
        const auto data = video.DecodableBytes();
        av_new_packet(d.packet, static_cast<int>(data.size()));
        std::copy(data.begin(), data.end(), d.packet->data);
        if (avcodec_send_packet(d.ctx, d.packet) < 0) return -1;
        av_packet_unref(d.packet);
        while (avcodec_receive_frame(d.ctx, d.frame) >= 0) ++pictures;
    }
    if (d.ctx) {
        avcodec_send_packet(d.ctx, nullptr);
        while (avcodec_receive_frame(d.ctx, d.frame) >= 0) ++pictures;
    }
    return pictures;
}

}  // namespace PLAY_MODULE_TEST
