#include "Platform/PlayModule/Stream/StreamDemuxer.h"

#include "Platform/PlayModule/Source/AnnexBFilter.h"
#include "Platform/PlayModule/Source/ContainerTimes.h"
#include "Platform/PlayModule/Source/RecorderMedia.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

namespace PLAY_MODULE {

namespace {

constexpr int kIoBufferSize = 64 * 1024;

}  // namespace

CStreamDemuxer::CStreamDemuxer(Pull pull) : m_pull(std::move(pull)) {}

CStreamDemuxer::~CStreamDemuxer()
{
    Close();
}

void CStreamDemuxer::Close()
{
    av_bsf_free(&m_annexB);
    if (m_format)
        avformat_close_input(&m_format);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
}

bool CStreamDemuxer::FillTo(std::uint64_t end)
{
    while (m_historyBase + m_history.size() < end && !m_ended) {
        m_chunk.clear();
        if (!m_pull(m_chunk)) {
            m_ended = true;
            break;
        }
        m_history.insert(m_history.end(), m_chunk.begin(), m_chunk.end());
        if (m_history.size() > kHistoryLimit) {
            const std::size_t drop = m_history.size() - kHistoryLimit;
            m_history.erase(m_history.begin(), m_history.begin() + std::ptrdiff_t(drop));
            m_historyBase += drop;
        }
    }
    return m_historyBase + m_history.size() >= end;
}

int CStreamDemuxer::ReadCallback(void* opaque, std::uint8_t* buffer, int size)
{
    return static_cast<CStreamDemuxer*>(opaque)->Read(buffer, size);
}

std::int64_t CStreamDemuxer::SeekCallback(void* opaque, std::int64_t offset, int whence)
{
    return static_cast<CStreamDemuxer*>(opaque)->Seek(offset, whence);
}

int CStreamDemuxer::Read(std::uint8_t* buffer, int size)
{
    if (size <= 0)
        return 0;
    FillTo(m_position + 1);
    if (m_position < m_historyBase)
        return AVERROR(EIO);
    const std::uint64_t available = m_historyBase + m_history.size() - std::min(m_position, m_historyBase + m_history.size());
    if (available == 0)
        return AVERROR_EOF;
    const std::size_t count = std::size_t(std::min<std::uint64_t>(available, std::uint64_t(size)));
    std::memcpy(buffer, m_history.data() + (m_position - m_historyBase), count);
    m_position += count;
    return int(count);
}

std::int64_t CStreamDemuxer::Seek(std::int64_t offset, int whence)
{
    const int how = whence & ~AVSEEK_FORCE;
    if (how == AVSEEK_SIZE)
        return m_ended ? std::int64_t(m_historyBase + m_history.size()) : -1;
    std::int64_t base = 0;
    if (how == SEEK_CUR) {
        base = std::int64_t(m_position);
    } else if (how == SEEK_END) {
        FillTo(UINT64_MAX);
        base = std::int64_t(m_historyBase + m_history.size());
    } else if (how != SEEK_SET) {
        return -1;
    }
    // Offsets come from the container's own fields.
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < std::int64_t(m_historyBase))
        return -1;
    m_position = std::uint64_t(target);
    return target;
}

bool CStreamDemuxer::OpenInput()
{
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
    m_io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, this, &ReadCallback, nullptr,
                                       &SeekCallback)
                  : nullptr;
    if (!m_io) {
        av_free(buffer);
        return false;
    }
    m_format = avformat_alloc_context();
    if (!m_format)
        return false;
    m_format->pb = m_io;
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    LimitToRecorderMedia(&options);
    const int opened = avformat_open_input(&m_format, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false;  // the context was freed by the failed open
    return avformat_find_stream_info(m_format, nullptr) >= 0;
}

void CStreamDemuxer::ChooseStreams()
{
    m_videoIndex = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    m_audioIndex = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const std::int64_t creation = ContainerCreationTimeMs(*m_format, m_videoIndex);
    m_timeBaseMs = creation >= 0 ? creation : 0;
    if (m_videoIndex >= 0) {
        const AVStream* stream = m_format->streams[m_videoIndex];
        m_timeBaseMs -= av_rescale_q(VideoStartPts(*stream), stream->time_base, {1, 1000});
        m_videoFormat = StreamFormat::FromParameters(*stream->codecpar, stream->avg_frame_rate.num,
                                                     stream->avg_frame_rate.den);
        if (OpenAnnexBFilter(*stream))
            m_videoFormat.extradata.clear();  // parameter sets now travel in band
    }
    if (m_audioIndex >= 0)
        m_audioFormat = StreamFormat::FromParameters(*m_format->streams[m_audioIndex]->codecpar, 0, 0);
}

bool CStreamDemuxer::OpenAnnexBFilter(const AVStream& stream)
{
    if (IsLengthPrefixed(*stream.codecpar))
        m_annexB = PLAY_MODULE::OpenAnnexBFilter(*stream.codecpar, stream.time_base);
    return m_annexB != nullptr;
}

void CStreamDemuxer::Emit(const AVPacket& packet, const PacketSink& sink)
{
    const AVStream* stream = m_format->streams[packet.stream_index];
    const std::int64_t time = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    StreamPacket out;
    out.format = packet.stream_index == m_videoIndex ? &m_videoFormat : &m_audioFormat;
    out.key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    // Times as the play module gives them for the same file.
    out.timeMs = m_timeBaseMs + (time == AV_NOPTS_VALUE ? 0 : av_rescale_q(time, stream->time_base, {1, 1000}));
    out.data = std::span<const std::uint8_t>(packet.data, std::size_t(packet.size));
    sink(out);
}

void CStreamDemuxer::Deliver(AVPacket* packet, const PacketSink& sink)
{
    if (packet->stream_index != m_videoIndex || !m_annexB) {
        Emit(*packet, sink);
        return;
    }
    const int index = packet->stream_index;
    if (av_bsf_send_packet(m_annexB, packet) < 0)
        return;
    while (av_bsf_receive_packet(m_annexB, packet) >= 0) {
        packet->stream_index = index;
        Emit(*packet, sink);
        av_packet_unref(packet);
    }
}

bool CStreamDemuxer::Run(std::vector<std::uint8_t> head, const PacketSink& sink)
{
    m_history = std::move(head);
    const bool opened = OpenInput();
    if (!opened) {
        Close();
        return false;
    }
    ChooseStreams();
    AVPacket* packet = av_packet_alloc();
    while (packet && av_read_frame(m_format, packet) >= 0) {
        const int index = packet->stream_index;
        if (index == m_videoIndex || index == m_audioIndex)
            Deliver(packet, sink);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    Close();
    return true;
}

}  // namespace PLAY_MODULE
