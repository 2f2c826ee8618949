#include "Platform/PlayModule/Source/FFmpegMediaSource.h"

#include "Platform/PlayModule/Source/ContainerTimes.h"
#include "Platform/PlayModule/Source/LocalMediaInput.h"
#include "Platform/PlayModule/Stream/FirstPictureProbe.h"

#include <algorithm>
#include <vector>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace PLAY_MODULE {

namespace {

constexpr std::int64_t kMaxRawBlock = 16 << 20;
constexpr int kMaxProbeReads = 1024;
// How far a key seek reads on for the last key frame at or before its time.
constexpr int kMaxReadOnPackets = 4096;
constexpr std::int64_t kMaxReadOnBytes = 64 << 20;

}  // namespace

CFFmpegMediaSource::~CFFmpegMediaSource()
{
    avformat_close_input(&m_format);
    if (m_rawFile >= 0)
        ::close(m_rawFile);
}

bool CFFmpegMediaSource::Open(const std::string& path)
{
    if (!OpenInput(path))
        return false;
    m_videoStream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_videoStream < 0)
        return false;
    m_audioStream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, m_videoStream,
                                        nullptr, 0);
    ReadStreamFacts();
    ReadCreationTime();
    m_soundDelayMs = SoundDelayMs(path);
    m_fileSize = m_format->pb ? avio_size(m_format->pb) : 0;
    m_rawFile = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return true;
}

bool CFFmpegMediaSource::OpenInput(const std::string& path)
{
    m_format = OpenLocalMediaInput(path);
    return m_format != nullptr;
}

void CFFmpegMediaSource::ReadStreamFacts()
{
    const AVStream* video = m_format->streams[m_videoStream];
    m_videoStartPts = VideoStartPts(*video);
    AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
    if (rate.num > 0 && rate.den > 0 && av_q2d(rate) < 1000)
        m_frameRate = av_q2d(rate);
    if (video->duration != AV_NOPTS_VALUE && video->duration > 0)
        m_durationMs = av_rescale_q(video->duration, video->time_base, {1, 1000});
    else if (m_format->duration > 0)
        m_durationMs = m_format->duration / 1000;
}

// An AVI has decoding times alone. Players show its first picture at the
// time of the packet that brings it out of the decoder (B-frames and skipped
// leading pictures put it some packets late), and clips are written so;
// here the pictures take the decoding times in order from the first, so the
// sound is timed that much earlier. The file is read from its start by an
// input of its own.
std::int64_t CFFmpegMediaSource::SoundDelayMs(const std::string& path) const
{
    if (m_audioStream < 0 || std::strcmp(m_format->iformat->name, "avi") != 0)
        return 0;
    AVFormatContext* input = OpenLocalMediaInput(path, false);
    if (!input || int(input->nb_streams) <= m_videoStream) {
        avformat_close_input(&input);
        return 0;
    }
    const StreamFormat format = StreamFormat::FromParameters(*m_format->streams[m_videoStream]->codecpar, 0, 0);
    CFirstPictureProbe probe;
    std::vector<std::int64_t> times;
    AVPacketPtr packet(av_packet_alloc());
    // A bounded read: sound alone for long does not walk the file.
    for (int read = 0; packet && !probe.Known() && read < kMaxProbeReads && av_read_frame(input, packet.get()) >= 0;
         ++read) {
        const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        if (packet->stream_index == m_videoStream && packet->size > 0 && (key || !times.empty())) {
            times.push_back(PacketTimeMs(*packet, m_videoStream).value_or(times.empty() ? 0 : times.back()));
            probe.Feed({&format, key, times.back(), {packet->data, std::size_t(packet->size)}});
        }
        av_packet_unref(packet.get());
    }
    avformat_close_input(&input);
    probe.Finish();
    const auto shownAt = std::size_t(probe.PacketsBefore());
    return shownAt < times.size() ? times[shownAt] - times.front() : 0;
}

void CFFmpegMediaSource::ReadCreationTime()
{
    m_ownStartMs = ContainerCreationTimeMs(*m_format, m_videoStream);
}

const AVCodecParameters* CFFmpegMediaSource::VideoParameters() const
{
    return m_videoStream >= 0 ? m_format->streams[m_videoStream]->codecpar : nullptr;
}

const AVCodecParameters* CFFmpegMediaSource::AudioParameters() const
{
    return m_audioStream >= 0 ? m_format->streams[m_audioStream]->codecpar : nullptr;
}

std::optional<std::int64_t> CFFmpegMediaSource::PacketTimeMs(const AVPacket& packet, int streamIndex) const
{
    return StampMs(packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts, streamIndex);
}

std::optional<std::int64_t> CFFmpegMediaSource::StampMs(std::int64_t stamp, int streamIndex) const
{
    if (stamp == AV_NOPTS_VALUE)
        return std::nullopt;
    const AVStream* stream = m_format->streams[streamIndex];
    const AVStream* video = m_format->streams[m_videoStream];
    const std::int64_t startMs = av_rescale_q(m_videoStartPts, video->time_base, {1, 1000});
    const std::int64_t delayMs = streamIndex == m_audioStream ? m_soundDelayMs : 0;
    return av_rescale_q(stamp, stream->time_base, {1, 1000}) - startMs - delayMs;
}

// A presentation time further from the decoding time than any reordering
// goes is damage: the packet keeps its decoding time alone, and the decoder
// times its frame by decoding order.
void CFFmpegMediaSource::DropDamagedPts(AVPacket& packet, int streamIndex) const
{
    constexpr std::int64_t kMaxReorderMs = 10'000;
    if (packet.pts == AV_NOPTS_VALUE || packet.dts == AV_NOPTS_VALUE)
        return;
    const AVRational base = m_format->streams[streamIndex]->time_base;
    if (std::abs(av_rescale_q(packet.pts - packet.dts, base, {1, 1000})) > kMaxReorderMs)
        packet.pts = AV_NOPTS_VALUE;
}

int CFFmpegMediaSource::ReadRaw(MediaPacket& out)
{
    AVPacketPtr packet(av_packet_alloc());
    for (;;) {
        av_packet_unref(packet.get());
        if (av_read_frame(m_format, packet.get()) < 0)
            return 0;
        const int index = packet->stream_index;
        if (index != m_videoStream && index != m_audioStream)
            continue;
        out.kind = index == m_videoStream ? PacketKind::Video : PacketKind::Audio;
        out.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        DropDamagedPts(*packet, index);
        std::int64_t& lastMs = index == m_videoStream ? m_lastVideoMs : m_lastAudioMs;
        const auto timeMs = PacketTimeMs(*packet, index);
        out.timeMs = lastMs = timeMs.value_or(lastMs);
        out.timed = timeMs.has_value();
        out.hasPts = packet->pts != AV_NOPTS_VALUE || !out.timed;
        // Decoders get their time stamps in ms.
        packet->duration = av_rescale_q(packet->duration, m_format->streams[index]->time_base,
                                        {1, 1000});
        out.position = packet->pos;
        out.packet = std::move(packet);
        return 1;
    }
}

void CFFmpegMediaSource::AttachRawBytes(MediaPacket& packet)
{
    const std::int64_t position = packet.position;
    if (position < 0 || m_rawFile < 0)
        return;
    const std::int64_t from = m_rawHandedTo;
    if (from < 0 || position - from > kMaxRawBlock || position < from) {
        m_rawHandedTo = std::max(from, position);
        return;
    }
    packet.rawStorage.resize(std::size_t(position - from));
    const ssize_t got = ::pread(m_rawFile, packet.rawStorage.data(), packet.rawStorage.size(), from);
    packet.rawStorage.resize(got > 0 ? std::size_t(got) : 0);
    packet.raw = packet.rawStorage.data();
    packet.rawSize = int(packet.rawStorage.size());
    m_rawHandedTo = position;
}

bool CFFmpegMediaSource::TailBlock(MediaPacket& out)
{
    if (m_rawHandedTo < 0 || m_rawHandedTo >= m_fileSize)
        return false;
    out = MediaPacket{};
    out.kind = PacketKind::Other;
    out.position = std::min(m_fileSize, m_rawHandedTo + kMaxRawBlock);
    AttachRawBytes(out);
    return out.rawSize > 0;
}

int CFFmpegMediaSource::ReadPacket(MediaPacket& out)
{
    if (!m_pending.empty()) {
        out = std::move(m_pending.front());
        m_pending.pop_front();
        AttachRawBytes(out);
        return 1;
    }
    for (;;) {
        if (!ReadRaw(out))
            return TailBlock(out) ? 1 : 0;
        // After a seek, decoding starts at a key frame.
        if (m_waitForKey && out.kind == PacketKind::Video && !out.key)
            continue;
        if (m_waitForKey && out.kind != PacketKind::Video)
            continue;
        m_waitForKey = false;
        AttachRawBytes(out);
        return 1;
    }
}

bool CFFmpegMediaSource::TrySeek(std::int64_t targetMs, std::int64_t wantedMs, bool acceptAny)
{
    if (!SeekStamp(targetMs))
        return false;
    m_pending.clear();
    m_waitForKey = true;
    m_rawHandedTo = -1;
    MediaPacket first;
    if (!ReadPacket(first))
        return acceptAny;
    m_rawHandedTo = first.position;
    first.rawStorage.clear();
    first.raw = nullptr;
    first.rawSize = 0;
    const bool fits = acceptAny || first.timeMs <= wantedMs;
    if (fits)
        m_pending.push_back(std::move(first));
    return fits;
}

// A time-stamp search compares the wanted showing time with decoding times.
// Where key frames show after different delays (recordings of encoders set
// up differently, joined), the key frame found may lie before the last one
// at or before the wanted time: read on to where pictures decode after it.
// What is read stays pending, from that key frame on.
void CFFmpegMediaSource::ReadOnToLastKeyFrame(std::int64_t wantedMs)
{
    std::int64_t bytes = 0;
    for (int read = 0; read < kMaxReadOnPackets && bytes < kMaxReadOnBytes; ++read) {
        MediaPacket packet;
        if (!ReadRaw(packet))
            return;
        const bool video = packet.kind == PacketKind::Video;
        if (video && packet.key && packet.timed && packet.timeMs <= wantedMs) {
            m_pending.clear();
            m_rawHandedTo = packet.position;
            bytes = 0;
        }
        const std::int64_t dts = packet.packet->dts;
        const bool past = video && StampMs(dts, m_videoStream).value_or(packet.timeMs) > wantedMs;
        bytes += packet.packet->size;
        m_pending.push_back(std::move(packet));
        if (past)
            return;
    }
}

bool CFFmpegMediaSource::SeekStamp(std::int64_t targetMs)
{
    // The start by byte where the container allows it: a time-stamp search may
    // land behind the first key frame.
    const bool byteSeek = !(m_format->iformat->flags & AVFMT_NO_BYTE_SEEK) &&
                          std::strcmp(m_format->iformat->name, "avi") != 0;
    if (targetMs <= 0 && byteSeek && av_seek_frame(m_format, -1, 0, AVSEEK_FLAG_BYTE) >= 0)
        return true;
    const AVStream* video = m_format->streams[m_videoStream];
    const std::int64_t stamp =
        m_videoStartPts + av_rescale_q(targetMs, {1, 1000}, video->time_base);
    return av_seek_frame(m_format, m_videoStream, stamp, AVSEEK_FLAG_BACKWARD) >= 0 ||
           av_seek_frame(m_format, m_videoStream, stamp, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) >= 0;
}

bool CFFmpegMediaSource::SeekKeyFrame(std::int64_t timeMs)
{
    // Some containers seek by time stamps only roughly: step back until the
    // first key frame found lies at or before the wanted time.
    std::int64_t back = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::int64_t target = timeMs - back;
        if (target <= 0)
            break;
        if (TrySeek(target, timeMs, false)) {
            ReadOnToLastKeyFrame(timeMs);
            return true;
        }
        back = back == 0 ? 500 : back * 2;
    }
    if (TrySeek(0, timeMs, true)) {
        ReadOnToLastKeyFrame(timeMs);
        return true;
    }
    return avformat_seek_file(m_format, -1, INT64_MIN, 0, 0, 0) >= 0;
}

}  // namespace PLAY_MODULE
