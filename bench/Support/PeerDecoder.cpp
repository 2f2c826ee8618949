#include "Support/PeerDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace BENCH {

CPeerDecoder::~CPeerDecoder()
{
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_format);
}

bool CPeerDecoder::Open(const std::string& path, int threads)
{
    if (avformat_open_input(&m_format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(m_format, nullptr) < 0)
        return false;
    const AVCodec* codec = nullptr;
    m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (m_stream < 0 || !codec)
        return false;
    const AVStream* stream = m_format->streams[m_stream];
    m_startPts = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    m_codec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(m_codec, stream->codecpar);
    m_codec->thread_count = threads;
    m_codec->pkt_timebase = stream->time_base;
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    return avcodec_open2(m_codec, codec, nullptr) >= 0 && m_packet && m_frame;
}

bool CPeerDecoder::NextFrame()
{
    for (;;) {
        const int got = avcodec_receive_frame(m_codec, m_frame);
        if (got == 0)
            return true;
        if (got != AVERROR(EAGAIN) || m_ended)
            return false;
        if (av_read_frame(m_format, m_packet) < 0) {
            m_ended = true;
            avcodec_send_packet(m_codec, nullptr);
            continue;
        }
        if (m_packet->stream_index == m_stream)
            avcodec_send_packet(m_codec, m_packet);
        av_packet_unref(m_packet);
    }
}

std::int64_t CPeerDecoder::FrameTimeMs() const
{
    const AVRational base = m_format->streams[m_stream]->time_base;
    return av_rescale_q(m_frame->best_effort_timestamp - m_startPts, base, {1, 1000});
}

bool CPeerDecoder::SeekKeyBefore(std::int64_t timeMs)
{
    const AVRational base = m_format->streams[m_stream]->time_base;
    const std::int64_t pts = m_startPts + av_rescale_q(std::max<std::int64_t>(0, timeMs), {1, 1000}, base);
    avcodec_flush_buffers(m_codec);
    m_ended = false;
    return av_seek_frame(m_format, m_stream, pts, AVSEEK_FLAG_BACKWARD) >= 0;
}

// Reads up to the next key packet of the video, passing over the others
// undecoded (as FFmpeg's own seek does in a container without an index);
// the key packet stays in m_packet.
bool CPeerDecoder::ReadKeyPacket()
{
    while (av_read_frame(m_format, m_packet) >= 0) {
        if (m_packet->stream_index == m_stream && (m_packet->flags & AV_PKT_FLAG_KEY))
            return true;
        av_packet_unref(m_packet);
    }
    return false;
}

std::int64_t CPeerDecoder::PacketTimeMs() const
{
    const AVRational base = m_format->streams[m_stream]->time_base;
    const std::int64_t ts = m_packet->pts != AV_NOPTS_VALUE ? m_packet->pts : m_packet->dts;
    return av_rescale_q(ts - m_startPts, base, {1, 1000});
}

bool CPeerDecoder::SeekExact(std::int64_t timeMs)
{
    // Landing after the target's key frame: a group further back.
    bool found = false;
    for (std::int64_t back = 0; back <= 8000 && !found; back += 2000) {
        if (!SeekKeyBefore(timeMs - back) || !ReadKeyPacket())
            return false;
        found = PacketTimeMs() <= timeMs || timeMs - back <= 0;
        if (!found)
            av_packet_unref(m_packet);
    }
    if (!found)
        return false;
    avcodec_send_packet(m_codec, m_packet);
    av_packet_unref(m_packet);
    if (!NextFrame())
        return false;
    const std::int64_t frameMs = std::max<std::int64_t>(1, m_frame->pkt_duration > 0
        ? av_rescale_q(m_frame->pkt_duration, m_format->streams[m_stream]->time_base, {1, 1000}) : 40);
    while (FrameTimeMs() + frameMs <= timeMs)
        if (!NextFrame())
            return false;
    return true;
}

}  // namespace BENCH
