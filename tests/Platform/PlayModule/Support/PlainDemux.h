#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace PLAY_MODULE_TEST {

struct DemuxedKeyFrame {
    std::int64_t timeMs = 0;  // shown time from the stream's start
    std::int64_t position = -1;
    bool operator==(const DemuxedKeyFrame&) const = default;
};

// The slow reference for key-frame indexes: the key frames of a container's
// video as libavformat demuxes it, packet by packet, with the container's key
// flags (or, parsed, the parser's), without decoding; the packets with a
// shown time and data, at positions that rise. dropped: whether an edit list drops
// pictures (they are left out). Header only: the fuzz targets use it too.
inline std::vector<DemuxedKeyFrame> DemuxContainerKeyFrames(const std::string& path, bool* dropped = nullptr,
                                                            bool parsed = false)
{
    std::vector<DemuxedKeyFrame> keys;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return keys;
    if (!parsed) in->flags |= AVFMT_FLAG_NOPARSE;
    const int video = avformat_find_stream_info(in, nullptr) >= 0
                          ? av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                          : -1;
    AVPacket* packet = av_packet_alloc();
    while (video >= 0 && av_read_frame(in, packet) >= 0) {
        const AVStream& st = *in->streams[video];
        const std::int64_t first = st.start_time == AV_NOPTS_VALUE ? 0 : st.start_time;
        const bool rising = keys.empty() || packet->pos > keys.back().position;
        const bool discarded = packet->stream_index == video && (packet->flags & AV_PKT_FLAG_DISCARD);
        if (dropped && discarded) *dropped = true;
        const bool shown = packet->pts != AV_NOPTS_VALUE && packet->size > 0 && !discarded;
        if (packet->stream_index == video && (packet->flags & AV_PKT_FLAG_KEY) && shown && packet->pos >= 0 && rising)
            keys.push_back({av_rescale_q(packet->pts - first, st.time_base, {1, 1000}), packet->pos});
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&in);
    return keys;
}

// The length of a container's video as its header gives it (as the play
// module takes it); -1 when it gives none.
inline std::int64_t ContainerLengthMs(const std::string& path)
{
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return -1;
    const int video = avformat_find_stream_info(in, nullptr) >= 0
                          ? av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                          : -1;
    const AVStream* st = video >= 0 ? in->streams[video] : nullptr;
    const std::int64_t ms = st && st->duration > 0 ? av_rescale_q(st->duration, st->time_base, {1, 1000}) : -1;
    avformat_close_input(&in);
    return ms;
}

}  // namespace PLAY_MODULE_TEST
