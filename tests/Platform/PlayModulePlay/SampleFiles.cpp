#include "SampleFiles.h"

#include "Platform/PlayModule/Support/ProgramStreamMuxer.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace PlayModuleTest {

namespace {

struct Encoder {
    AVCodecContext* context = nullptr;
    ~Encoder() { avcodec_free_context(&context); }
};

bool OpenVideoEncoder(Encoder& encoder, const SampleSpec& spec, bool globalHeader)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(spec.hevc ? "libx265" : "libx264");
    if (!codec)
        return false;
    AVCodecContext* c = encoder.context = avcodec_alloc_context3(codec);
    c->width = spec.width;
    c->height = spec.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1, spec.fps};
    c->framerate = {spec.fps, 1};
    c->gop_size = spec.gop;
    c->keyint_min = spec.gop;
    c->max_b_frames = spec.bFrames;
    c->thread_count = 1;
    if (globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(c->priv_data, "preset", "veryfast", 0);
    if (spec.hevc)
        av_opt_set(c->priv_data, "x265-params", "log-level=error:scenecut=0", 0);
    else
        av_opt_set(c->priv_data, "x264-params", "scenecut=0", 0);
    return avcodec_open2(c, codec, nullptr) >= 0;
}

void PaintFrame(AVFrame* frame, int index)
{
    av_frame_make_writable(frame);
    for (int y = 0; y < frame->height; ++y) {
        std::uint8_t* row = frame->data[0] + y * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x)
            row[x] = std::uint8_t(32 + ((x + y) & 63));
        const int bar = (index * 3) % frame->width;
        for (int x = bar; x < std::min(frame->width, bar + 8); ++x)
            row[x] = 230;
    }
    for (int y = 0; y < frame->height / 2; ++y) {
        std::memset(frame->data[1] + y * frame->linesize[1], 64, frame->width / 2);
        std::memset(frame->data[2] + y * frame->linesize[2], 192, frame->width / 2);
    }
    // The frame number in the top-left 16x16 block, readable after decoding.
    for (int y = 0; y < 16; ++y)
        std::memset(frame->data[0] + y * frame->linesize[0], 16 + (index % 25) * 8, 16);
    frame->pts = index;
}

struct AudioTrack {
    Encoder encoder;
    AVStream* stream = nullptr;
    std::int64_t samples = 0;
};

bool OpenAudio(AudioTrack& track, AVFormatContext* format)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    AVCodecContext* c = track.encoder.context = avcodec_alloc_context3(codec);
    c->sample_rate = 16000;
    c->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&c->ch_layout, 1);
    c->bit_rate = 32000;
    c->time_base = {1, 16000};
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, codec, nullptr) < 0)
        return false;
    track.stream = avformat_new_stream(format, nullptr);
    avcodec_parameters_from_context(track.stream->codecpar, c);
    track.stream->time_base = c->time_base;
    return true;
}

void DrainEncoder(AVCodecContext* encoder, AVFormatContext* format, AVStream* stream)
{
    AVPacket* packet = av_packet_alloc();
    while (avcodec_receive_packet(encoder, packet) >= 0) {
        if (packet->duration <= 0)
            packet->duration = 1;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        av_interleaved_write_frame(format, packet);
    }
    av_packet_free(&packet);
}

void EncodeAudioUpTo(AudioTrack& track, AVFormatContext* format, double seconds)
{
    AVCodecContext* c = track.encoder.context;
    while (double(track.samples) / c->sample_rate < seconds) {
        AVFrame* frame = av_frame_alloc();
        frame->nb_samples = c->frame_size;
        frame->format = c->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
        frame->sample_rate = c->sample_rate;
        av_frame_get_buffer(frame, 0);
        float* samples = reinterpret_cast<float*>(frame->data[0]);
        for (int i = 0; i < frame->nb_samples; ++i)
            samples[i] = 0.2f * float(((track.samples + i) / 20) % 2 ? 1 : -1);
        frame->pts = track.samples;
        track.samples += frame->nb_samples;
        avcodec_send_frame(c, frame);
        av_frame_free(&frame);
        DrainEncoder(c, format, track.stream);
    }
}

bool MakeProgramStream(const std::string& path, const SampleSpec& spec)
{
    Encoder encoder;
    if (!OpenVideoEncoder(encoder, spec, false))
        return false;
    PLAY_MODULE_TEST::CProgramStreamMuxer muxer;
    if (!muxer.Open(path, spec.hevc ? PLAY_MODULE::kvx::VideoCodec::H265
                                    : PLAY_MODULE::kvx::VideoCodec::H264))
        return false;
    // Times in 90 kHz units from one second on, as recorders start.
    const auto stamp = [&](std::int64_t time) {
        return av_rescale_q(time, encoder.context->time_base, {1, 90000}) + 90000;
    };
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = spec.width;
    frame->height = spec.height;
    av_frame_get_buffer(frame, 0);
    AVPacket* packet = av_packet_alloc();
    bool written = true;
    int packets = 0;
    for (int i = 0; i <= spec.frames; ++i) {
        if (i < spec.frames) {
            PaintFrame(frame, i);
            avcodec_send_frame(encoder.context, frame);
        } else {
            avcodec_send_frame(encoder.context, nullptr);
        }
        while (avcodec_receive_packet(encoder.context, packet) >= 0) {
            const std::int64_t garbage = packets == spec.damagedPtsPacket ? 47727LL * 90000 : 0;
            std::int64_t pts = stamp(packet->pts) + garbage;
            std::int64_t dts = stamp(packet->dts);
            if (spec.garbageFromPacket >= 0 && packets >= spec.garbageFromPacket)
                pts = dts = (dts + 47727LL * 90000) & ((std::int64_t(1) << 33) - 1);
            ++packets;
            written = muxer.WriteFrame({packet->data, std::size_t(packet->size)}, pts, dts,
                                       (packet->flags & AV_PKT_FLAG_KEY) != 0) &&
                      written;
            av_packet_unref(packet);
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    return muxer.Close() && written;
}

bool MakeContainerFile(const std::string& path, const SampleSpec& spec)
{
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, spec.format.c_str(), path.c_str()) < 0)
        return false;
    Encoder encoder;
    const bool global = format->oformat->flags & AVFMT_GLOBALHEADER;
    AudioTrack audio;
    bool ok = OpenVideoEncoder(encoder, spec, global);
    AVStream* stream = ok ? avformat_new_stream(format, nullptr) : nullptr;
    if (stream) {
        avcodec_parameters_from_context(stream->codecpar, encoder.context);
        stream->time_base = encoder.context->time_base;
        stream->avg_frame_rate = {spec.fps, 1};
    }
    ok = stream && (!spec.audio || OpenAudio(audio, format));
    if (ok && !spec.creationTime.empty())
        av_dict_set(&format->metadata, "creation_time", spec.creationTime.c_str(), 0);
    ok = ok && avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
         avformat_write_header(format, nullptr) >= 0;
    if (ok) {
        AVFrame* frame = av_frame_alloc();
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = spec.width;
        frame->height = spec.height;
        av_frame_get_buffer(frame, 0);
        for (int i = 0; i < spec.frames; ++i) {
            PaintFrame(frame, i);
            avcodec_send_frame(encoder.context, frame);
            DrainEncoder(encoder.context, format, stream);
            if (spec.audio)
                EncodeAudioUpTo(audio, format, double(i + 1) / spec.fps);
        }
        avcodec_send_frame(encoder.context, nullptr);
        DrainEncoder(encoder.context, format, stream);
        if (spec.audio) {
            avcodec_send_frame(audio.encoder.context, nullptr);
            DrainEncoder(audio.encoder.context, format, audio.stream);
        }
        av_frame_free(&frame);
        ok = av_write_trailer(format) >= 0;
    }
    if (format->pb)
        avio_closep(&format->pb);
    avformat_free_context(format);
    return ok;
}

}  // namespace

bool MakeSample(const std::string& path, const SampleSpec& spec)
{
    av_log_set_level(AV_LOG_ERROR);
    return spec.format == "ps" ? MakeProgramStream(path, spec) : MakeContainerFile(path, spec);
}

std::string TempPath(const std::string& name)
{
    // The samples of one test program, removed when it ends.
    static const PLAY_MODULE_TEST::CSampleFolder folder;
    return folder.File(name);
}

}  // namespace PlayModuleTest

// The H.265 encoder library keeps one allocation for the whole process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libx265.so\n";
}

// Locks the thread sanitizer does not see: glibc's time-zone set-up inside
// mktime/localtime_r, the H.265 encoder's thread pool, the sound server
// client library's own, Qt's thread start and wait (Qt is not
// instrumented), and the progress
// counters FFmpeg's frame threads hand decoded pictures over with.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:tzset_internal\n"
           "race:libx265.so\n"
           "race:libpulsecommon\n"
           "race:libpulse.so\n"
           "race:QWaitCondition\n"
           "race:QThread\n"
           "race:QByteArray::reallocData\n"
           "race:libavcodec.so\n"
           "race:libavutil.so\n";
}
