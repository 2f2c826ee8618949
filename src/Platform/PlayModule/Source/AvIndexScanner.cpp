#include "Platform/PlayModule/Source/AvIndexScanner.h"

#include "Platform/PlayModule/Source/ContainerTimes.h"
#include "Platform/PlayModule/Source/LocalMediaInput.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Source/TsKeyFrameScanner.h"

#include <cstring>
#include <memory>

#include <sys/stat.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/parseutils.h>
}

namespace PLAY_MODULE {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct PacketFreer {
    void operator()(AVPacket* pkt) const { av_packet_free(&pkt); }
};

CKeyFrameIndex::Container ContainerOf(const AVInputFormat* format)
{
    const char* name = format ? format->name : "";
    if (std::strcmp(name, "avi") == 0) return CKeyFrameIndex::Container::Avi;
    if (std::strstr(name, "mp4")) return CKeyFrameIndex::Container::Mp4;
    if (std::strcmp(name, "mpeg") == 0) return CKeyFrameIndex::Container::Ps;
    if (std::strcmp(name, "mpegts") == 0) return CKeyFrameIndex::Container::Ts;
    return CKeyFrameIndex::Container::Unknown;
}

std::uint64_t FileSizeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::int64_t MsOf(std::int64_t ticks, AVRational timeBase)
{
    return av_rescale_q(ticks, timeBase, {1, 1000});
}

// An ".mp4" indexes every sample in its header: the key frames are taken
// from there, no packet is read. Streams whose frames come out of
// order (stamps of decoding, not of showing) are left to the packet scan.
bool IndexFromContainer(AVFormatContext& ctx, int video, std::int64_t base, CKeyFrameIndex& out)
{
    AVStream* stream = ctx.streams[video];
    const bool indexed = ContainerOf(ctx.iformat) == CKeyFrameIndex::Container::Mp4;
    const int count = avformat_index_get_entries_count(stream);
    if (!indexed || count <= 0 || stream->codecpar->video_delay > 0 || stream->duration <= 0)
        return false;
    std::int64_t first = stream->start_time;
    std::int64_t firstEntry = AV_NOPTS_VALUE;
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(stream, i);
        if (!entry || (entry->flags & AVINDEX_DISCARD_FRAME) || entry->timestamp == AV_NOPTS_VALUE)
            continue;
        if (firstEntry == AV_NOPTS_VALUE) firstEntry = entry->timestamp;
        if (first == AV_NOPTS_VALUE) first = entry->timestamp;
        const bool ordered = out.entries.empty() || std::uint64_t(entry->pos) > out.entries.back().position;
        if ((entry->flags & AVINDEX_KEYFRAME) && entry->pos >= 0 && ordered)
            out.entries.push_back({base + MsOf(entry->timestamp - first, stream->time_base),
                                   std::uint64_t(entry->pos)});
    }
    if (firstEntry == AV_NOPTS_VALUE) return false;
    out.endTimeMs = base + MsOf(firstEntry + stream->duration - first, stream->time_base);
    return true;
}

// A transport stream of H.264 or H.265 is read by CTsKeyFrameScanner,
// opened without the demuxer's probing: it needs the video's PID alone.
bool ScanTsPackets(const std::string& path, CKeyFrameIndex& out, const std::atomic<bool>* cancel)
{
    std::unique_ptr<AVFormatContext, FormatCloser> ctx(OpenLocalMediaInput(path, false));
    if (!ctx || ContainerOf(ctx->iformat) != CKeyFrameIndex::Container::Ts) return false;
    const int video = av_find_best_stream(ctx.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return false;
    const AVStream& stream = *ctx->streams[video];
    const auto codecId = stream.codecpar->codec_id;
    if (codecId != AV_CODEC_ID_H264 && codecId != AV_CODEC_ID_HEVC) return false;
    out = CKeyFrameIndex{};
    out.container = CKeyFrameIndex::Container::Ts;
    out.fileSize = FileSizeOf(path);
    const std::int64_t creation = ContainerCreationTimeMs(*ctx, video);
    out.absoluteTimes = creation >= 0;
    out.startTimeMs = out.absoluteTimes ? creation : 0;
    CTsKeyFrameScanner::Video facts;
    facts.pid = stream.id;
    facts.codec = codecId == AV_CODEC_ID_H264 ? kvx::VideoCodec::H264 : kvx::VideoCodec::H265;
    facts.timeBaseNum = stream.time_base.num;
    facts.timeBaseDen = stream.time_base.den;
    facts.baseMs = out.startTimeMs;
    ctx.reset();
    return CTsKeyFrameScanner::Scan(path, facts, out, cancel);
}

}  // namespace

bool CAvIndexScanner::Scan(const std::string& path, CKeyFrameIndex& out,
                           const std::atomic<bool>* cancel)
{
    if (ScanTsPackets(path, out, cancel)) return true;
    if (cancel && cancel->load()) return false;
    std::unique_ptr<AVFormatContext, FormatCloser> ctx(OpenLocalMediaInput(path));
    if (!ctx) return false;
    const int video = av_find_best_stream(ctx.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return false;
    // A transport stream carries one frame per PES packet: skip the frame
    // parser and tell key frames by their first picture's NAL unit.
    const auto codecId = ctx->streams[video]->codecpar->codec_id;
    const bool ownKeyTest = ContainerOf(ctx->iformat) == CKeyFrameIndex::Container::Ts &&
                            (codecId == AV_CODEC_ID_H264 || codecId == AV_CODEC_ID_HEVC);
    const auto kvxCodec = codecId == AV_CODEC_ID_H264 ? kvx::VideoCodec::H264 : kvx::VideoCodec::H265;
    if (ownKeyTest) ctx->flags |= AVFMT_FLAG_NOPARSE;
    for (unsigned i = 0; i < ctx->nb_streams; ++i)
        if (static_cast<int>(i) != video) ctx->streams[i]->discard = AVDISCARD_ALL;

    const AVStream* stream = ctx->streams[video];
    out = CKeyFrameIndex{};
    out.container = ContainerOf(ctx->iformat);
    out.fileSize = FileSizeOf(path);
    const std::int64_t creation = ContainerCreationTimeMs(*ctx, video);
    out.absoluteTimes = creation >= 0;
    const std::int64_t base = out.absoluteTimes ? creation : 0;
    out.startTimeMs = base;
    if (IndexFromContainer(*ctx, video, base, out))
        return !out.entries.empty();
    out.entries.clear();
    std::int64_t first = stream->start_time;
    std::int64_t lastEnd = 0;

    std::unique_ptr<AVPacket, PacketFreer> pkt(av_packet_alloc());
    while (av_read_frame(ctx.get(), pkt.get()) >= 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        const std::int64_t ts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
        if (pkt->stream_index == video && ts != AV_NOPTS_VALUE) {
            if (first == AV_NOPTS_VALUE) first = ts;
            const std::int64_t ms = av_rescale_q(ts - first, stream->time_base, {1, 1000});
            const bool ordered = out.entries.empty() ||
                                 static_cast<std::uint64_t>(pkt->pos) > out.entries.back().position;
            const bool key = ownKeyTest ? FirstPictureIsKey({pkt->data, static_cast<std::size_t>(pkt->size)}, kvxCodec)
                                        : (pkt->flags & AV_PKT_FLAG_KEY) != 0;
            if (key && pkt->pos >= 0 && ordered)
                out.entries.push_back({base + ms, static_cast<std::uint64_t>(pkt->pos)});
            lastEnd = std::max(lastEnd, ms + av_rescale_q(pkt->duration, stream->time_base, {1, 1000}));
        }
        av_packet_unref(pkt.get());
    }
    out.startTimeMs = base;
    out.endTimeMs = base + lastEnd;
    return !out.entries.empty();
}

}  // namespace PLAY_MODULE
