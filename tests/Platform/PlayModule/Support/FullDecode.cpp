#include "Platform/PlayModule/Support/FullDecode.h"

#include <memory>
#include <utility>

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

namespace {

// Decodes every frame of a file's stream of the type in presentation order;
// false when it has none. strict: a frame with a decoding error is left out.
template <class OnFrame>
bool ForEachFrame(const std::string& path, OnFrame onFrame, AVMediaType type = AVMEDIA_TYPE_VIDEO,
                  bool strict = false)
{
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return false;
    Decoder d;
    const AVCodec* codec = nullptr;
    const int video = avformat_find_stream_info(in, nullptr) >= 0
                          ? av_find_best_stream(in, type, -1, -1, &codec, 0)
                          : -1;
    if (video >= 0) {
        AVStream* st = in->streams[video];
        d.ctx = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(d.ctx, st->codecpar);
        d.ctx->thread_count = 1;
        if (strict)
            d.ctx->err_recognition |= AV_EF_EXPLODE;
        const auto drain = [&] {
            while (avcodec_receive_frame(d.ctx, d.frame) >= 0) {
                onFrame(*st, *d.frame);
                av_frame_unref(d.frame);
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
    }
    avformat_close_input(&in);
    return video >= 0;
}

}  // namespace

std::vector<DecodedKeyFrame> DecodeContainerKeyFrames(const std::string& path, int* frameCount)
{
    std::vector<DecodedKeyFrame> keys;
    int frames = 0;
    const bool opened = ForEachFrame(path, [&](const AVStream& st, const AVFrame& frame) {
        ++frames;
        if (!frame.key_frame) return;
        const std::int64_t first = st.start_time;
        const std::int64_t ts = frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.best_effort_timestamp;
        keys.push_back({av_rescale_q(ts - (first == AV_NOPTS_VALUE ? 0 : first), st.time_base, {1, 1000}),
                        frame.pkt_pos});
    });
    if (opened && frameCount) *frameCount = frames;
    return keys;
}

std::vector<std::vector<std::uint8_t>> DecodeLuma(const std::string& path)
{
    std::vector<std::vector<std::uint8_t>> pictures;
    ForEachFrame(path, [&](const AVStream&, const AVFrame& frame) {
        std::vector<std::uint8_t> luma;
        for (int y = 0; y < frame.height; ++y)
            luma.insert(luma.end(), frame.data[0] + y * frame.linesize[0],
                        frame.data[0] + y * frame.linesize[0] + frame.width);
        pictures.push_back(std::move(luma));
    }, AVMEDIA_TYPE_VIDEO, true);
    return pictures;
}

std::vector<float> DecodeSound(const std::string& path, int* sampleRate)
{
    std::vector<float> sound;
    ForEachFrame(
        path,
        [&](const AVStream& st, const AVFrame& frame) {
            *sampleRate = st.codecpar->sample_rate;
            for (int i = 0; i < frame.nb_samples; ++i) {
                switch (frame.format) {
                case AV_SAMPLE_FMT_FLTP: sound.push_back(reinterpret_cast<const float*>(frame.data[0])[i]); break;
                case AV_SAMPLE_FMT_S16:
                    sound.push_back(reinterpret_cast<const std::int16_t*>(frame.data[0])[i * frame.ch_layout.nb_channels] /
                                    32768.0f);
                    break;
                default: return;
                }
            }
        },
        AVMEDIA_TYPE_AUDIO);
    return sound;
}

PresentedTimes PresentationTimes(const std::string& path)
{
    PresentedTimes times;
    const auto seconds = [](const AVStream& st, const AVFrame& frame) {
        return double(frame.best_effort_timestamp) * av_q2d(st.time_base);
    };
    ForEachFrame(
        path, [&](const AVStream& st, const AVFrame& frame) { times.pictures.push_back(seconds(st, frame)); },
        AVMEDIA_TYPE_VIDEO, true);
    bool first = true;
    ForEachFrame(
        path,
        [&](const AVStream& st, const AVFrame& frame) {
            if (std::exchange(first, false))
                times.soundStart = seconds(st, frame);
        },
        AVMEDIA_TYPE_AUDIO);
    return times;
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
