#include "Platform/PlayModule/Stream/ContainerRangeReader.h"

#include <algorithm>
#include <cstring>

#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxVideoFrame.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Source/AnnexBFilter.h"
#include "Platform/PlayModule/Source/ContainerTimes.h"
#include "Platform/PlayModule/Source/LeadingPictures.h"
#include "Platform/PlayModule/Source/LocalMediaInput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

namespace PLAY_MODULE {

namespace {

constexpr std::size_t kAdtsHeaderSize = 7;
constexpr int kMaxPictureSide = 8192;
// Video that stops for longer than this (and three frames) lost packets: its
// pictures decode again from the next key frame.
constexpr std::int64_t kVideoGapMs = 1000;

// The fixed part of an ADTS header for an AAC configuration; empty for one
// that ADTS cannot describe.
std::vector<std::uint8_t> AdtsTemplate(const std::uint8_t* config, int size)
{
    if (!config || size < 2)
        return {};
    const int objectType = config[0] >> 3;
    const int rateIndex = ((config[0] & 7) << 1) | (config[1] >> 7);
    const int channels = (config[1] >> 3) & 0xF;
    if (objectType < 1 || objectType > 4 || rateIndex > 12 || channels < 1 || channels > 7)
        return {};
    return {0xFF, 0xF1, std::uint8_t(((objectType - 1) << 6) | (rateIndex << 2) | (channels >> 2)),
            std::uint8_t((channels & 3) << 6), 0, 0x1F, 0xFC};
}

bool HasAdtsSync(const AVPacket& packet)
{
    return packet.size >= int(kAdtsHeaderSize) && packet.data[0] == 0xFF && (packet.data[1] & 0xF6) == 0xF0;
}

}  // namespace

CContainerRangeReader::~CContainerRangeReader()
{
    Close();
}

void CContainerRangeReader::Close()
{
    av_packet_free(&m_packet);
    av_bsf_free(&m_annexB);
    if (m_format)
        avformat_close_input(&m_format);
    m_pending.clear();
    m_pendingAt = 0;
}

// Records carry H.264 and H.265 only. A size not known (no parameter sets
// anywhere) is taken: whether anything decodes is found when it is read.
bool CContainerRangeReader::TakesVideo(const AVCodecParameters& video)
{
    return (video.codec_id == AV_CODEC_ID_H264 || video.codec_id == AV_CODEC_ID_HEVC) && video.width >= 0 &&
           video.height >= 0 && video.width <= kMaxPictureSide && video.height <= kMaxPictureSide;
}

bool CContainerRangeReader::Reads(const std::string& path)
{
    AVFormatContext* format = OpenLocalMediaInput(path);
    if (!format)
        return false;
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const bool reads = video >= 0 && TakesVideo(*format->streams[video]->codecpar);
    avformat_close_input(&format);
    return reads;
}

bool CContainerRangeReader::Open(const std::string& path, std::uint64_t start, std::uint64_t end,
                                 std::int64_t fileStartMs)
{
    Close();
    m_start = start;
    // An open group's pictures shown before its key frame end the range.
    m_end = end > start ? CLeadingPictures::EndAfter(path, end) : start;
    m_consumed = 0;
    m_ended = m_end == m_start;
    m_encoder = CKvxRecordEncoder();
    m_lastVideoMs = INT64_MIN;
    m_reorderMs = INT64_MIN;
    m_format = OpenLocalMediaInput(path);
    m_packet = av_packet_alloc();
    if (!m_format || !m_packet)
        return false;
    m_video = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_video < 0)
        return false;
    const AVStream* video = m_format->streams[m_video];
    const AVCodecParameters& parameters = *video->codecpar;
    if (!TakesVideo(parameters))
        return false;
    m_codec = parameters.codec_id == AV_CODEC_ID_HEVC ? kvx::VideoCodec::H265 : kvx::VideoCodec::H264;
    const AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
    if (rate.num > 0 && rate.den > 0 && av_q2d(rate) < 1000)
        m_frameRateMilli = std::uint32_t(av_q2d(rate) * 1000.0 + 0.5);
    if (IsLengthPrefixed(parameters) && !(m_annexB = OpenAnnexBFilter(parameters, video->time_base)))
        return false;
    m_parameterSets = HeaderParameterSets(parameters);
    const std::int64_t creation = ContainerCreationTimeMs(*m_format, m_video);
    m_baseMs = creation >= 0 ? creation : fileStartMs;
    m_videoStartMs = av_rescale_q(VideoStartPts(*video), video->time_base, {1, 1000});
    m_audio = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, m_video, nullptr, 0);
    SetAudioFormat();
    return m_ended || SeekToStart();
}

void CContainerRangeReader::SetAudioFormat()
{
    m_haveAudio = false;
    if (m_audio < 0)
        return;
    const AVCodecParameters& audio = *m_format->streams[m_audio]->codecpar;
    switch (audio.codec_id) {
    case AV_CODEC_ID_PCM_ALAW: m_audioCodec = kvx::AudioCodec::G711ALaw; break;
    case AV_CODEC_ID_PCM_MULAW: m_audioCodec = kvx::AudioCodec::G711MuLaw; break;
    case AV_CODEC_ID_AAC:
        m_audioCodec = kvx::AudioCodec::AacAdts;
        m_adts = AdtsTemplate(audio.extradata, audio.extradata_size);
        break;
    default: return;
    }
    m_haveAudio = audio.sample_rate > 0 && audio.ch_layout.nb_channels > 0;
}

// Containers with an index (".avi", ".mp4") are positioned by the time of
// the indexed key frame at the range's start, stream containers by bytes.
bool CContainerRangeReader::SeekToStart()
{
    if (m_start == 0)
        return true;
    AVStream* video = m_format->streams[m_video];
    const AVIndexEntry* found = nullptr;
    const int entries = avformat_index_get_entries_count(video);
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(video, i);
        if (entry && (entry->flags & AVINDEX_KEYFRAME) && entry->pos <= std::int64_t(m_start) &&
            (!found || entry->pos > found->pos))
            found = entry;
    }
    if (found)
        return av_seek_frame(m_format, m_video, found->timestamp, AVSEEK_FLAG_BACKWARD) >= 0;
    return av_seek_frame(m_format, -1, std::int64_t(m_start), AVSEEK_FLAG_BYTE) >= 0;
}

// A stamp so damaged that the sum overflows counts as the recording's start.
std::int64_t CContainerRangeReader::TimeOf(const AVPacket& packet) const
{
    return StampTime(packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts, packet.stream_index);
}

std::int64_t CContainerRangeReader::StampTime(std::int64_t stamp, int stream) const
{
    if (stamp == AV_NOPTS_VALUE)
        return m_baseMs;
    const AVRational base = m_format->streams[stream]->time_base;
    std::int64_t offset = 0;
    std::int64_t time = 0;
    if (__builtin_sub_overflow(av_rescale_q(stamp, base, {1, 1000}), m_videoStartMs, &offset) ||
        __builtin_add_overflow(m_baseMs, offset, &time))
        return m_baseMs;
    return time;
}

// Video is timed by decoding time and the stream's reorder delay (taken
// from the first packet with both stamps, a key frame's), so the times rise
// in decoding order and a picture takes them in order as it comes out. A
// packet without a stamp (a program stream's muxer stamps only the PES that
// a frame begins in) follows the one before by a frame.
std::int64_t CContainerRangeReader::VideoTimeOf(const AVPacket& packet)
{
    const bool decodingOnly = packet.pts == AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE;
    if (packet.pts == AV_NOPTS_VALUE && packet.dts == AV_NOPTS_VALUE && m_lastVideoMs != INT64_MIN)
        m_lastVideoMs += 1000000 / std::int64_t(std::max<std::uint32_t>(m_frameRateMilli, 1));
    else if (packet.pts == AV_NOPTS_VALUE || packet.dts == AV_NOPTS_VALUE)
        m_lastVideoMs = TimeOf(packet) + (decodingOnly && m_reorderMs != INT64_MIN ? m_reorderMs : 0);
    else {
        const std::int64_t decoding = StampTime(packet.dts, packet.stream_index);
        if (m_reorderMs == INT64_MIN)
            m_reorderMs = TimeOf(packet) - decoding;
        m_lastVideoMs = decoding + m_reorderMs;
    }
    return m_lastVideoMs;
}

bool CContainerRangeReader::ReadPacket()
{
    while (av_read_frame(m_format, m_packet) >= 0) {
        const std::int64_t position = m_packet->pos;
        const bool video = m_packet->stream_index == m_video;
        const bool audio = m_haveAudio && m_packet->stream_index == m_audio;
        if (video && position >= std::int64_t(m_end)) {
            av_packet_unref(m_packet);
            return false;
        }
        const bool inRange = position < 0 || (position >= std::int64_t(m_start) && position < std::int64_t(m_end));
        if (inRange && position >= 0)
            m_consumed = std::max(m_consumed, std::uint64_t(position) - m_start);
        if (inRange && video)
            AddVideo(*m_packet, VideoTimeOf(*m_packet));
        else if (inRange && audio)
            AddAudio(*m_packet, TimeOf(*m_packet));
        av_packet_unref(m_packet);
        if (inRange && (video || audio))
            return true;
    }
    return false;
}

// Length-prefixed video gets start codes (a key frame its header's
// parameter sets); false when the filter refused the packet.
bool CContainerRangeReader::ToAnnexB(AVPacket& packet)
{
    return !m_annexB || (av_bsf_send_packet(m_annexB, &packet) >= 0 && av_bsf_receive_packet(m_annexB, &packet) >= 0);
}

bool CContainerRangeReader::NextVideoPacket()
{
    while (av_read_frame(m_format, m_packet) >= 0) {
        const std::int64_t position = m_packet->pos;
        if (m_packet->stream_index == m_video && position >= std::int64_t(m_end))
            break;
        if (m_packet->stream_index == m_video && (position < 0 || position >= std::int64_t(m_start)))
            return true;
        av_packet_unref(m_packet);
    }
    av_packet_unref(m_packet);
    return false;
}

bool CContainerRangeReader::PlaysBetween(std::int64_t fromMs, std::int64_t toMs)
{
    m_ended = true;
    if (!m_format)
        return false;
    const std::int64_t frameMs = 1000000 / std::int64_t(std::max<std::uint32_t>(m_frameRateMilli, 1));
    const std::int64_t maxGapMs = std::max(kVideoGapMs, 3 * frameMs);
    bool haveSets = HasEveryParameterSet(m_parameterSets, m_codec);
    bool decodes = false;
    std::int64_t lastMs = INT64_MIN;
    while (NextVideoPacket()) {
        const std::int64_t timeMs = VideoTimeOf(*m_packet);
        const bool key = (m_packet->flags & AV_PKT_FLAG_KEY) != 0;
        const bool annexB = ToAnnexB(*m_packet);
        const std::span<const std::uint8_t> data(m_packet->data, annexB ? std::size_t(m_packet->size) : 0);
        // A packet that holds no picture (its bytes lost, an index kept it) breaks the chain.
        const bool picture = HoldsPicture(data, m_codec);
        if (key && picture) {
            haveSets = haveSets || HasEveryParameterSet(ExtractParameterSets(data, m_codec), m_codec);
            decodes = haveSets;
        } else if (!picture || (lastMs != INT64_MIN && timeMs - lastMs > maxGapMs)) {
            decodes = false;
        }
        lastMs = timeMs;
        av_packet_unref(m_packet);
        if (decodes && timeMs >= fromMs && timeMs < toMs)
            return true;
    }
    return false;
}

void CContainerRangeReader::AddVideo(AVPacket& packet, std::int64_t timeMs)
{
    const bool key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    if (!ToAnnexB(packet))
        return;
    const std::span<const std::uint8_t> data(packet.data, std::size_t(packet.size));
    std::vector<std::uint8_t> parameterSets = key ? ExtractParameterSets(data, m_codec) : std::vector<std::uint8_t>{};
    // A key frame without its parameter sets (a muxer that writes them only
    // at the start of the file) takes the last ones seen.
    if (key && HasEveryParameterSet(parameterSets, m_codec))
        m_parameterSets = parameterSets;
    else if (key)
        parameterSets = m_parameterSets;
    const AVCodecParameters& parameters = *m_format->streams[m_video]->codecpar;
    KvxVideoFrame frame;
    frame.codec = m_codec;
    frame.keyFrame = key;
    frame.width = std::uint16_t(parameters.width);
    frame.height = std::uint16_t(parameters.height);
    frame.frameRateMilli = m_frameRateMilli;
    frame.timeMs = timeMs;
    frame.parameterSets = parameterSets;
    frame.data = data;
    m_encoder.AddVideo(frame, m_pending);
}

void CContainerRangeReader::AddAudio(const AVPacket& packet, std::int64_t timeMs)
{
    const AVCodecParameters& parameters = *m_format->streams[m_audio]->codecpar;
    KvxAudioPayload audio;
    audio.codec = m_audioCodec;
    audio.channels = std::uint8_t(parameters.ch_layout.nb_channels);
    audio.sampleRate = std::uint32_t(parameters.sample_rate);
    std::vector<std::uint8_t> framed;
    if (m_audioCodec == kvx::AudioCodec::AacAdts && !HasAdtsSync(packet)) {
        if (m_adts.empty())
            return;
        const std::size_t length = kAdtsHeaderSize + std::size_t(packet.size);
        framed = m_adts;
        framed[3] = std::uint8_t(framed[3] | ((length >> 11) & 3));
        framed[4] = std::uint8_t(length >> 3);
        framed[5] = std::uint8_t(((length & 7) << 5) | 0x1F);
        framed.insert(framed.end(), packet.data, packet.data + packet.size);
        audio.data = framed;
    } else {
        audio.data = std::span<const std::uint8_t>(packet.data, std::size_t(packet.size));
    }
    m_encoder.AddAudio(audio, timeMs, m_pending);
}

std::size_t CContainerRangeReader::Read(std::uint8_t* out, std::size_t size)
{
    m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(m_pendingAt));
    m_pendingAt = 0;
    while (m_format && !m_ended && m_pending.size() - m_pendingAt < size) {
        if (!ReadPacket()) {
            m_ended = true;
            m_consumed = m_end - m_start;
        }
    }
    const std::size_t count = std::min(size, m_pending.size() - m_pendingAt);
    std::memcpy(out, m_pending.data() + m_pendingAt, count);
    m_pendingAt += count;
    return count;
}

}  // namespace PLAY_MODULE
