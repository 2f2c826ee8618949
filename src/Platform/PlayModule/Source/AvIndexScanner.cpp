#include "Platform/PlayModule/Source/AvIndexScanner.h"

#include "Platform/PlayModule/Source/ContainerTimes.h"
#include "Platform/PlayModule/Source/LocalMediaInput.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Source/TsKeyFrameScanner.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

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

// The index's head: container, file size, and the time its entries count from.
std::int64_t StartIndex(const AVFormatContext& ctx, int video, const std::string& path, CKeyFrameIndex& out)
{
    out = CKeyFrameIndex{};
    out.container = ContainerOf(ctx.iformat);
    out.fileSize = FileSizeOf(path);
    const std::int64_t creation = ContainerCreationTimeMs(ctx, video);
    out.absoluteTimes = creation >= 0;
    out.startTimeMs = out.absoluteTimes ? creation : 0;
    return out.startTimeMs;
}

// pts - dts of the video packet an index entry names; nothing when it
// cannot be read. A seek may land a few samples before it.
std::optional<std::int64_t> ShowDelay(AVFormatContext& ctx, int video, const AVIndexEntry& entry)
{
    constexpr int kMaxPackets = 64;
    if (av_seek_frame(&ctx, video, entry.timestamp, AVSEEK_FLAG_ANY | AVSEEK_FLAG_BACKWARD) < 0)
        return std::nullopt;
    std::unique_ptr<AVPacket, PacketFreer> pkt(av_packet_alloc());
    for (int read = 0; read < kMaxPackets && av_read_frame(&ctx, pkt.get()) >= 0; ++read) {
        // Damaged tables may give several samples one position.
        const bool ours = pkt->stream_index == video && pkt->pos == entry.pos && pkt->dts == entry.timestamp;
        const bool past = pkt->stream_index == video && pkt->pos > entry.pos;
        const bool timed = pkt->pts != AV_NOPTS_VALUE && pkt->dts != AV_NOPTS_VALUE;
        const std::int64_t delay = pkt->pts - pkt->dts;
        av_packet_unref(pkt.get());
        if (ours && timed)
            return delay;
        if (ours || past)
            break;
    }
    return std::nullopt;
}

// The shown time of every key frame: its decoding time and its own delay,
// read from its packet (groups may be closed in one part of a file and open
// in another). Nothing when a delay cannot be read.
std::optional<std::vector<std::int64_t>> ShownTimes(AVFormatContext& ctx, int video,
                                                    const std::vector<const AVIndexEntry*>& keys)
{
    std::vector<std::int64_t> times;
    times.reserve(keys.size());
    for (const AVIndexEntry* key : keys) {
        const auto delay = ShowDelay(ctx, video, *key);
        if (!delay)
            return std::nullopt;
        times.push_back(key->timestamp + *delay);
    }
    return times;
}

// The key samples of a sample table as the demuxer reads them: an empty
// sample holds no picture, and its read ends at the file's end. Nothing
// when a sample cannot be read at all (the demuxer stops there too): the
// packet scan reads as far as it does.
std::optional<std::vector<const AVIndexEntry*>> KeySamples(AVStream& stream, std::uint64_t fileSize)
{
    std::vector<const AVIndexEntry*> keys;
    const int count = avformat_index_get_entries_count(&stream);
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(&stream, i);
        if (!entry || entry->size < 0 || entry->pos < 0) return std::nullopt;
        if (entry->size == 0) continue;
        if (std::uint64_t(entry->pos) >= fileSize) break;
        if ((entry->flags & AVINDEX_DISCARD_FRAME) || entry->timestamp == AV_NOPTS_VALUE) continue;
        const bool ordered = keys.empty() || entry->pos > keys.back()->pos;
        if ((entry->flags & AVINDEX_KEYFRAME) && ordered) keys.push_back(entry);
    }
    return keys;
}

// An ".mp4" lists every sample in its header with its decoding time: the
// key frames are taken from there, and each key-frame packet is read for
// its shown time. Other files are left to the packet scan.
bool IndexFromSampleTable(AVFormatContext& ctx, int video, std::int64_t base, CKeyFrameIndex& out)
{
    AVStream* stream = ctx.streams[video];
    const int count = avformat_index_get_entries_count(stream);
    if (ContainerOf(ctx.iformat) != CKeyFrameIndex::Container::Mp4 || count <= 0 || stream->duration <= 0)
        return false;
    for (unsigned i = 0; i < ctx.nb_streams; ++i)
        if (static_cast<int>(i) != video) ctx.streams[i]->discard = AVDISCARD_ALL;
    const auto keys = KeySamples(*stream, out.fileSize);
    const auto shown = keys && !keys->empty() ? ShownTimes(ctx, video, *keys) : std::nullopt;
    if (!shown)
        return false;
    // From the first shown picture, as the packet scan counts.
    const std::int64_t zero = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : shown->front();
    for (std::size_t i = 0; i < keys->size(); ++i)
        out.entries.push_back({base + MsOf((*shown)[i] - zero, stream->time_base), std::uint64_t((*keys)[i]->pos)});
    out.endTimeMs = base + MsOf(stream->duration, stream->time_base);
    return true;
}

// A transport stream of H.264 or H.265 is read by CTsKeyFrameScanner,
// which needs the video's PID alone: the demuxer is closed before it reads.
bool ScanTsPackets(const std::string& path, std::unique_ptr<AVFormatContext, FormatCloser>& ctx,
                   CKeyFrameIndex& out, const std::atomic<bool>* cancel)
{
    if (ContainerOf(ctx->iformat) != CKeyFrameIndex::Container::Ts) return false;
    const int video = av_find_best_stream(ctx.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return false;
    const AVStream& stream = *ctx->streams[video];
    const auto codecId = stream.codecpar->codec_id;
    if (codecId != AV_CODEC_ID_H264 && codecId != AV_CODEC_ID_HEVC) return false;
    CTsKeyFrameScanner::Video facts;
    facts.pid = stream.id;
    facts.codec = codecId == AV_CODEC_ID_H264 ? kvx::VideoCodec::H264 : kvx::VideoCodec::H265;
    facts.timeBaseNum = stream.time_base.num;
    facts.timeBaseDen = stream.time_base.den;
    facts.baseMs = StartIndex(*ctx, video, path, out);
    ctx.reset();
    return CTsKeyFrameScanner::Scan(path, facts, out, cancel);
}

// Every video packet's key flag and position, read through the demuxer.
bool ScanVideoPackets(AVFormatContext& ctx, const std::string& path, CKeyFrameIndex& out,
                      const std::atomic<bool>* cancel)
{
    const int video = av_find_best_stream(&ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return false;
    // A transport stream carries one frame per PES packet: skip the frame
    // parser and tell key frames by their first picture's NAL unit.
    const auto codecId = ctx.streams[video]->codecpar->codec_id;
    const bool ownKeyTest = ContainerOf(ctx.iformat) == CKeyFrameIndex::Container::Ts &&
                            (codecId == AV_CODEC_ID_H264 || codecId == AV_CODEC_ID_HEVC);
    const auto kvxCodec = codecId == AV_CODEC_ID_H264 ? kvx::VideoCodec::H264 : kvx::VideoCodec::H265;
    if (ownKeyTest) ctx.flags |= AVFMT_FLAG_NOPARSE;
    for (unsigned i = 0; i < ctx.nb_streams; ++i)
        if (static_cast<int>(i) != video) ctx.streams[i]->discard = AVDISCARD_ALL;

    const AVStream* stream = ctx.streams[video];
    const std::int64_t base = StartIndex(ctx, video, path, out);
    std::int64_t first = stream->start_time;
    std::int64_t lastEnd = 0;

    std::unique_ptr<AVPacket, PacketFreer> pkt(av_packet_alloc());
    while (av_read_frame(&ctx, pkt.get()) >= 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        const std::int64_t ts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
        if (pkt->stream_index == video && ts != AV_NOPTS_VALUE) {
            if (first == AV_NOPTS_VALUE) first = ts;
            const std::int64_t ms = av_rescale_q(ts - first, stream->time_base, {1, 1000});
            const bool ordered = out.entries.empty() ||
                                 static_cast<std::uint64_t>(pkt->pos) > out.entries.back().position;
            const bool key = ownKeyTest ? FirstPictureIsKey({pkt->data, static_cast<std::size_t>(pkt->size)}, kvxCodec)
                                        : (pkt->flags & AV_PKT_FLAG_KEY) != 0;
            if (key && pkt->size > 0 && pkt->pos >= 0 && ordered)
                out.entries.push_back({base + ms, static_cast<std::uint64_t>(pkt->pos)});
            lastEnd = std::max(lastEnd, ms + av_rescale_q(pkt->duration, stream->time_base, {1, 1000}));
        }
        av_packet_unref(pkt.get());
    }
    out.endTimeMs = base + lastEnd;
    return !out.entries.empty();
}

}  // namespace

bool CAvIndexScanner::Scan(const std::string& path, CKeyFrameIndex& out,
                           const std::atomic<bool>* cancel)
{
    // The container's header alone first: no packet is read ahead and
    // decoded for the stream facts.
    std::unique_ptr<AVFormatContext, FormatCloser> ctx(OpenLocalMediaInput(path, false));
    if (!ctx) return false;
    if (ScanTsPackets(path, ctx, out, cancel)) return true;
    if (cancel && cancel->load()) return false;
    const int video = ctx ? av_find_best_stream(ctx.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) : -1;
    if (video >= 0 && IndexFromSampleTable(*ctx, video, StartIndex(*ctx, video, path, out), out))
        return true;
    ctx.reset(OpenLocalMediaInput(path));
    return ctx && ScanVideoPackets(*ctx, path, out, cancel);
}

}  // namespace PLAY_MODULE
