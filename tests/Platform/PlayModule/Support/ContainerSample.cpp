#include "Platform/PlayModule/Support/ContainerSample.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "KvxWriter/TestPattern.h"
#include "KvxWriter/VideoEncoder.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Support/ProgramStreamMuxer.h"

namespace PLAY_MODULE_TEST {

using PLAY_MODULE::kvx::VideoCodec;

namespace {

struct CodedFrame {
    std::vector<std::uint8_t> data;
    std::int64_t index = 0;
    bool key = false;
    int part = 0;  // the part with a decoding delay of its own
};

struct Part {
    bool openGroups = false;
    int bFrames = 0;
};

// Codes `seconds` of the pattern after `frames`, counting on from them.
bool EncodePart(const ContainerSampleOptions& o, const Part& part, int partNumber, std::vector<CodedFrame>& frames)
{
    KVX_WRITER::CVideoEncoder encoder;
    KVX_WRITER::CVideoEncoder::Settings s;
    s.codec = o.codec;
    s.width = o.width;
    s.height = o.height;
    s.fps = o.fps;
    s.gop = std::max(1, static_cast<int>(std::lround(o.gopSeconds * o.fps)));
    s.bFrames = part.bFrames;
    s.openGroups = part.openGroups;
    if (!encoder.Open(s, nullptr)) return false;
    const auto first = static_cast<std::int64_t>(frames.size());
    const auto sink = [&](std::int64_t i, std::span<const std::uint8_t> d, bool key) {
        frames.push_back({{d.begin(), d.end()}, first + i, key, partNumber});
    };
    const auto count = static_cast<std::int64_t>(std::llround(o.seconds * o.fps));
    for (std::int64_t i = 0; i < count; ++i) {
        KVX_WRITER::CTestPattern::Paint(encoder.Picture(), first + i, (first + i) * 1000 / o.fps);
        encoder.Encode(i, sink);
    }
    encoder.Finish(sink);
    return true;
}

std::vector<CodedFrame> EncodeFrames(const ContainerSampleOptions& o)
{
    std::vector<Part> parts;
    for (const bool open : o.joinedPartsOpen) parts.push_back({open, o.bFrames});
    for (const int bFrames : o.joinedPartsBFrames) parts.push_back({o.openGroups, bFrames});
    if (parts.empty()) parts.push_back({o.openGroups, o.bFrames});
    std::vector<CodedFrame> frames;
    for (std::size_t p = 0; p < parts.size(); ++p)
        if (!EncodePart(o, parts[p], o.joinedPartsBFrames.empty() ? 0 : int(p), frames)) return {};
    return frames;
}

bool WriteProgramStream(const std::string& path, const ContainerSampleOptions& o,
                        const std::vector<CodedFrame>& frames)
{
    CProgramStreamMuxer muxer;
    if (!muxer.Open(path, o.codec)) return false;
    for (const CodedFrame& f : frames) {
        const bool unstamped = o.unstampedEvery > 0 && !f.key && f.index % o.unstampedEvery == 0;
        if (!muxer.WriteFrame(f.data, unstamped ? -1 : 90000 / o.fps * f.index + 90000, f.key)) return false;
    }
    return muxer.Close();
}

void SetCreationTime(AVFormatContext* ctx, std::int64_t utcMs)
{
    const std::time_t t = static_cast<std::time_t>(utcMs / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
    std::snprintf(text + std::strlen(text), sizeof text - std::strlen(text), ".%06dZ",
                  static_cast<int>(utcMs % 1000) * 1000);
    av_dict_set(&ctx->metadata, "creation_time", text, 0);
}

// The access unit without its parameter sets.
std::vector<std::uint8_t> WithoutParameterSets(const std::vector<std::uint8_t>& unit, VideoCodec codec)
{
    std::vector<std::uint8_t> out;
    for (const PLAY_MODULE::AnnexBUnit& nal : PLAY_MODULE::SplitAnnexB(unit, codec)) {
        const bool set = codec == VideoCodec::H264 ? (nal.type == 7 || nal.type == 8) : (nal.type >= 32 && nal.type <= 34);
        if (set) continue;
        out.insert(out.end(), {0, 0, 0, 1});
        out.insert(out.end(), nal.bytes.begin(), nal.bytes.end());
    }
    return out;
}

struct Stamps {
    std::int64_t pts = 0;
    std::int64_t dts = 0;
};

// Frames in coded order, each part's decoded as far ahead of its shown
// times as its furthest reordered frame needs. A part that would then be
// decoded before the one ahead of it ends is moved on in time.
std::vector<Stamps> FrameStamps(const std::vector<CodedFrame>& frames)
{
    std::vector<Stamps> stamps(frames.size());
    std::int64_t shift = 0;
    for (std::size_t begin = 0, end = 0; begin < frames.size(); begin = end) {
        std::int64_t delay = 0;
        for (end = begin; end < frames.size() && frames[end].part == frames[begin].part; ++end)
            delay = std::max(delay, std::int64_t(end) - frames[end].index);
        if (begin > 0)
            shift = std::max(shift, stamps[begin - 1].dts + 1 - (std::int64_t(begin) - delay));
        for (std::size_t i = begin; i < end; ++i)
            stamps[i] = {frames[i].index + shift, std::int64_t(i) - delay + shift};
    }
    return stamps;
}

bool WriteWithLibavformat(const std::string& path, ContainerKind kind, const ContainerSampleOptions& o,
                          const std::vector<CodedFrame>& frames)
{
    const char* format = kind == ContainerKind::Avi ? "avi" : kind == ContainerKind::Mp4 ? "mp4" : "mpegts";
    AVFormatContext* ctx = nullptr;
    if (avformat_alloc_output_context2(&ctx, nullptr, format, path.c_str()) < 0) return false;
    AVStream* st = avformat_new_stream(ctx, nullptr);
    st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    st->codecpar->codec_id = o.codec == VideoCodec::H264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_HEVC;
    st->codecpar->width = o.width;
    st->codecpar->height = o.height;
    st->time_base = {1, o.fps};
    st->avg_frame_rate = {o.fps, 1};
    using Sets = ContainerSampleOptions::ParameterSets;
    if (o.parameterSets == Sets::Everywhere) {
        const auto params = PLAY_MODULE::ExtractParameterSets(frames.front().data, o.codec);
        st->codecpar->extradata = static_cast<std::uint8_t*>(av_mallocz(params.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        std::copy(params.begin(), params.end(), st->codecpar->extradata);
        st->codecpar->extradata_size = static_cast<int>(params.size());
    }
    if (o.creationUtcMs >= 0) SetCreationTime(ctx, o.creationUtcMs);
    bool ok = avio_open(&ctx->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(ctx, nullptr) >= 0;
    AVPacket* pkt = av_packet_alloc();
    const std::vector<Stamps> stamps = FrameStamps(frames);
    for (std::size_t i = 0; ok && i < frames.size(); ++i) {
        const bool keepSets = o.parameterSets == Sets::Everywhere || (o.parameterSets == Sets::AtStart && i == 0);
        const std::vector<std::uint8_t> data = keepSets ? frames[i].data : WithoutParameterSets(frames[i].data, o.codec);
        av_new_packet(pkt, static_cast<int>(data.size()));
        std::copy(data.begin(), data.end(), pkt->data);
        pkt->pts = stamps[i].pts;
        pkt->dts = stamps[i].dts;
        pkt->duration = 1;
        pkt->flags = frames[i].key ? AV_PKT_FLAG_KEY : 0;
        av_packet_rescale_ts(pkt, {1, o.fps}, st->time_base);
        ok = av_interleaved_write_frame(ctx, pkt) >= 0;
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    if (ctx->pb) ok = av_write_trailer(ctx) >= 0 && ok;
    avio_closep(&ctx->pb);
    avformat_free_context(ctx);
    return ok;
}

}  // namespace

const char* ContainerExtension(ContainerKind kind)
{
    switch (kind) {
    case ContainerKind::Avi: return ".avi";
    case ContainerKind::Mp4: return ".mp4";
    case ContainerKind::Ps: return ".ps";
    case ContainerKind::Ts: return ".ts";
    }
    return "";
}

bool MakeContainerSample(const std::string& path, ContainerKind kind, const ContainerSampleOptions& o)
{
    const auto frames = EncodeFrames(o);
    if (frames.empty()) return false;
    if (kind == ContainerKind::Ps) return WriteProgramStream(path, o, frames);
    return WriteWithLibavformat(path, kind, o, frames);
}

}  // namespace PLAY_MODULE_TEST
