#include "Platform/PlayModule/Stream/AviFileWriter.h"

#include "Base/AtomicFileWriter.h"
#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "Platform/PlayModule/Stream/FirstPictureProbe.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace PLAY_MODULE {

namespace {

constexpr int kAacFrameSamples = 1024;
constexpr std::size_t kAdtsHeaderSize = 7;
// A sound start further than this from the first picture's is taken as it is.
constexpr std::int64_t kMaxAlignMs = 10000;

bool IsG711(AVCodecID codec)
{
    return codec == AV_CODEC_ID_PCM_ALAW || codec == AV_CODEC_ID_PCM_MULAW;
}

// One ADTS frame of silence shaped like `like` (an ADTS frame): a channel
// element without spectral lines for mono or stereo; empty for other sound.
std::vector<std::uint8_t> SilentAacFrame(std::span<const std::uint8_t> like)
{
    if (like.size() < kAdtsHeaderSize || like[0] != 0xFF || (like[1] & 0xF6) != 0xF0)
        return {};
    const int channels = ((like[2] & 1) << 2) | (like[3] >> 6);
    static constexpr std::uint8_t kMono[] = {0x00, 0x00, 0x00, 0x07};
    static constexpr std::uint8_t kStereo[] = {0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0E};
    std::span<const std::uint8_t> payload;
    if (channels == 1)
        payload = kMono;
    else if (channels == 2)
        payload = kStereo;
    else
        return {};
    const std::size_t length = kAdtsHeaderSize + payload.size();
    std::vector<std::uint8_t> frame(length);
    std::copy_n(like.begin(), kAdtsHeaderSize, frame.begin());
    std::copy(payload.begin(), payload.end(), frame.begin() + kAdtsHeaderSize);
    frame[1] |= 1;  // no CRC
    frame[3] = std::uint8_t((frame[3] & 0xFC) | ((length >> 11) & 3));
    frame[4] = std::uint8_t(length >> 3);
    frame[5] = std::uint8_t(((length & 7) << 5) | (frame[5] & 0x1F));
    frame[6] &= 0xFC;  // one raw data block
    return frame;
}

}  // namespace

CAviFileWriter::~CAviFileWriter()
{
    Abort();
}

void CAviFileWriter::Abort()
{
    if (!m_context)
        return;
    if (m_context->pb)
        avio_closep(&m_context->pb);
    avformat_free_context(m_context);
    m_context = nullptr;
    if (m_inPlace)
        ::truncate(m_path.c_str(), 0);
    m_temporary.Remove();
}

AVStream* CAviFileWriter::AddStream(const StreamFormat& format)
{
    AVStream* stream = avformat_new_stream(m_context, nullptr);
    if (!stream || !format.ToParameters(*stream->codecpar))
        return nullptr;
    // The muxer's own table gives H.265 no four-character code.
    stream->codecpar->codec_tag = format.codec == AV_CODEC_ID_HEVC ? MKTAG('H', 'E', 'V', 'C') : 0;
    if (format.IsVideo()) {
        stream->time_base = {format.frameRateDen, format.frameRateNum};
        m_videoTimeBase = stream->time_base;
        stream->avg_frame_rate = {format.frameRateNum, format.frameRateDen};
        stream->r_frame_rate = stream->avg_frame_rate;
    } else {
        stream->time_base = {1, format.sampleRate};
        m_audioTimeBase = stream->time_base;
        // The muxer then counts AAC in frames: one chunk per frame, not
        // empty chunks filling every sample.
        if (format.codec == AV_CODEC_ID_AAC)
            stream->codecpar->frame_size = kAacFrameSamples;
    }
    return stream;
}

bool CAviFileWriter::OpenMuxer(const StreamFormat& video, const StreamFormat* audio)
{
    if (avformat_alloc_output_context2(&m_context, nullptr, "avi", nullptr) < 0 || !m_context)
        return false;
    m_video = AddStream(video);
    m_audio = audio ? AddStream(*audio) : nullptr;
    if (!m_video || (audio && !m_audio))
        return false;
    if (!m_inPlace)
        m_temporary = SF_SOFT_BASE::CHeldTemporary::CreateBeside(m_path);
    if (!m_inPlace && !m_temporary.IsValid())
        return false;
    // The temporary is new and empty: not truncating it spares the flush some
    // file systems start when a truncated file is closed.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "truncate", "0", 0);
    const int opened = avio_open2(&m_context->pb, WrittenPath().c_str(), AVIO_FLAG_WRITE, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false;
    return avformat_write_header(m_context, nullptr) >= 0;
}

bool CAviFileWriter::Open(const std::string& path, const StreamFormat& video,
                          const StreamFormat* audio, bool inPlace)
{
    Abort();
    m_path = path;
    m_inPlace = inPlace;
    m_videoFrames = 0;
    m_audioSamples = 0;
    m_audioAligned = false;
    m_probe = std::make_unique<CFirstPictureProbe>();
    m_heldAudio.clear();
    m_failed = false;
    m_wholeEnds.clear();
    m_keptMs = 0;
    if (audio) {
        m_audioChannels = audio->channels > 0 ? audio->channels : 1;
        m_audioFormat = *audio;
        if (OpenMuxer(video, audio))
            return true;
        Abort();  // the muxer refused the audio: video alone
    }
    if (OpenMuxer(video, nullptr))
        return true;
    Abort();
    return false;
}

bool CAviFileWriter::WriteTo(AVStream* stream, std::int64_t pts, std::int64_t duration,
                             const StreamPacket& source)
{
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return false;
    packet->data = const_cast<std::uint8_t*>(source.data.data());
    packet->size = int(source.data.size());
    packet->stream_index = stream->index;
    packet->pts = pts;
    packet->dts = pts;
    packet->duration = duration;
    if (source.key)
        packet->flags |= AV_PKT_FLAG_KEY;
    av_packet_rescale_ts(packet, stream == m_video ? m_videoTimeBase : m_audioTimeBase,
                         stream->time_base);
    const bool written = av_write_frame(m_context, packet) >= 0 && !m_context->pb->error;
    av_packet_free(&packet);
    return written;
}

bool CAviFileWriter::Write(const StreamPacket& packet)
{
    if (!m_context || m_failed || !packet.format || packet.data.empty())
        return !m_failed;
    if (packet.format->IsVideo()) {
        m_failed = !WriteTo(m_video, m_videoFrames, 1, packet);
        ++m_videoFrames;
        if (!m_failed && !m_probe->Known() && m_probe->Feed(packet))
            PlaceSound();
    } else if (m_audio && !m_probe->Known()) {
        m_heldAudio.push_back({packet.key, packet.timeMs, {packet.data.begin(), packet.data.end()}});
    } else if (m_audio) {
        WriteAligned(packet);
    }
    if (!m_failed)
        NoteWhole();
    return !m_failed;
}

// An AVI has decoding times alone: players show the first picture at the
// time of the packet that brings it out of the decoder. The sound starts
// there; what comes before that is known waits.
void CAviFileWriter::PlaceSound()
{
    const std::int64_t beforeMs =
        m_probe->PacketsBefore() * 1000 * m_videoTimeBase.num / std::max(m_videoTimeBase.den, 1);
    m_soundStartMs = m_probe->ShownTimeMs() - beforeMs;
    std::vector<HeldAudio> held = std::move(m_heldAudio);
    m_heldAudio.clear();
    for (const HeldAudio& audio : held) {
        StreamPacket packet;
        packet.format = &m_audioFormat;
        packet.key = audio.key;
        packet.timeMs = audio.timeMs;
        packet.data = audio.data;
        WriteAligned(packet);
    }
}

void CAviFileWriter::WriteAligned(const StreamPacket& packet)
{
    StreamPacket aligned = packet;
    if (AlignAudio(aligned))
        WriteAudio(aligned);
}

void CAviFileWriter::NoteWhole()
{
    m_wholeEnds.emplace_back(avio_tell(m_context->pb), m_videoFrames);
}

std::int64_t CAviFileWriter::SamplesIn(const StreamPacket& packet) const
{
    return packet.format->codec == AV_CODEC_ID_AAC ? kAacFrameSamples
                                                   : std::int64_t(packet.data.size()) / m_audioChannels;
}

void CAviFileWriter::WriteAudio(const StreamPacket& packet)
{
    const std::int64_t samples = SamplesIn(packet);
    m_failed = m_failed || !WriteTo(m_audio, m_audioSamples, samples, packet);
    m_audioSamples += samples;
}

// The sound starts where the first picture shows: sound from before it is
// cut off (to the sample for G.711, to the nearest frame for AAC) and sound
// that starts later is preceded by silence. False: the packet is left out.
bool CAviFileWriter::AlignAudio(StreamPacket& packet)
{
    if (m_audioAligned || m_videoFrames == 0)
        return true;
    const AVCodecID codec = packet.format->codec;
    const std::int64_t leadMs = packet.timeMs - m_soundStartMs;
    const std::int64_t lead = leadMs * packet.format->sampleRate / 1000;  // in samples
    const std::int64_t samples = SamplesIn(packet);
    if ((codec != AV_CODEC_ID_AAC && !IsG711(codec)) || leadMs > kMaxAlignMs || leadMs < -kMaxAlignMs) {
        m_audioAligned = true;
        return true;
    }
    if (lead + (codec == AV_CODEC_ID_AAC ? samples / 2 : samples) <= 0)
        return false;  // wholly before the picture
    m_audioAligned = true;
    if (lead < 0) {
        if (IsG711(codec))
            packet.data = packet.data.subspan(std::size_t(-lead * m_audioChannels));
        return true;
    }
    WriteSilence(packet, codec == AV_CODEC_ID_AAC ? (lead + samples / 2) / samples : lead);
    return true;
}

// count: AAC frames, or G.711 samples.
void CAviFileWriter::WriteSilence(const StreamPacket& like, std::int64_t count)
{
    std::vector<std::uint8_t> silence;
    if (like.format->codec == AV_CODEC_ID_AAC)
        silence = SilentAacFrame(like.data);
    else
        silence.assign(std::size_t(count * m_audioChannels), like.format->codec == AV_CODEC_ID_PCM_ALAW ? 0xD5 : 0xFF);
    if (silence.empty())
        return;
    StreamPacket packet = like;
    packet.data = silence;
    for (std::int64_t i = 0; i < (like.format->codec == AV_CODEC_ID_AAC ? count : 1); ++i)
        WriteAudio(packet);
}

std::uint64_t CAviFileWriter::BytesWritten() const
{
    return m_context && m_context->pb ? std::uint64_t(avio_tell(m_context->pb)) : 0;
}

bool CAviFileWriter::Close()
{
    if (!m_context)
        return false;
    if (!m_failed && !m_probe->Known()) {
        m_probe->Finish();
        PlaceSound();
    }
    bool complete = !m_failed && av_write_trailer(m_context) >= 0 && !m_context->pb->error;
    complete = avio_closep(&m_context->pb) >= 0 && complete;
    avformat_free_context(m_context);
    m_context = nullptr;
    if (m_inPlace) {
        if (!complete && !KeepWhole(m_path))
            ::truncate(m_path.c_str(), 0);
        return complete;
    }
    // Held until its rename is done: no clean-up takes it meanwhile.
    SF_SOFT_BASE::CHeldTemporary temporary = std::move(m_temporary);
    complete = complete && SF_SOFT_BASE::CAtomicFileWriter::SyncFile(temporary.Path());
    if (complete && std::rename(temporary.Path().c_str(), m_path.c_str()) == 0)
        return true;
    if (!KeepWhole(temporary.Path()))
        temporary.Remove();
    return false;
}

// The packets that reached the disk whole stay; what follows them (a packet
// cut short, an index begun) goes, and the header gets its counts. An AVI
// without its index still plays.
bool CAviFileWriter::KeepWhole(const std::string& temporary)
{
    struct stat status {};
    if (::stat(temporary.c_str(), &status) != 0)
        return false;
    const auto beyond = std::upper_bound(m_wholeEnds.begin(), m_wholeEnds.end(), std::int64_t(status.st_size),
                                         [](std::int64_t size, const auto& whole) { return size < whole.first; });
    if (beyond == m_wholeEnds.begin())
        return false;
    const auto& [end, frames] = *std::prev(beyond);
    if (frames == 0 || ::truncate(temporary.c_str(), off_t(end)) != 0 || CAviKeptClip::Keep(temporary) == 0 ||
        !SF_SOFT_BASE::CAtomicFileWriter::SyncFile(temporary) ||
        (temporary != m_path && std::rename(temporary.c_str(), m_path.c_str()) != 0))
        return false;
    m_keptMs = frames * 1000 * m_videoTimeBase.num / std::max(m_videoTimeBase.den, 1);
    return true;
}

}  // namespace PLAY_MODULE
