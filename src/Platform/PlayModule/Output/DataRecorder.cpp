#include "Platform/PlayModule/Output/DataRecorder.h"

#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Source/AnnexBFilter.h"
#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxVideoFrame.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
}

namespace PLAY_MODULE {

CDataRecorder::~CDataRecorder()
{
    Stop();
}

bool CDataRecorder::OpenAnnexBFilter(const AVCodecParameters* video)
{
    // Length-prefixed ("mp4" style) streams need start codes.
    if (!IsLengthPrefixed(*video))
        return true;
    m_annexB = PLAY_MODULE::OpenAnnexBFilter(*video, AVRational{1, 1000});
    return m_annexB != nullptr;
}

bool CDataRecorder::Start(const std::string& path, const AVCodecParameters* video,
                          const AVCodecParameters* audio, double frameRate,
                          std::int64_t startAbsMs)
{
    std::lock_guard lock(m_mutex);
    if (m_writer.IsOpen() || !video)
        return false;
    if (video->codec_id != AV_CODEC_ID_H264 && video->codec_id != AV_CODEC_ID_HEVC)
        return false;
    m_codec = video->codec_id == AV_CODEC_ID_HEVC ? kvx::VideoCodec::H265 : kvx::VideoCodec::H264;
    m_width = video->width;
    m_height = video->height;
    m_frameRate = frameRate;
    m_startAbsMs = startAbsMs;
    m_audioCodec = audio ? audio->codec_id : -1;
    if (audio) {
        m_sampleRate = audio->sample_rate;
        m_channels = audio->ch_layout.nb_channels;
    }
    if (!OpenAnnexBFilter(video))
        return false;
    m_started = false;
    m_signedAny = false;
    m_failed = false;
    m_pending.clear();
    if (m_writer.Open(path))
        return true;
    av_bsf_free(&m_annexB);
    return false;
}

bool CDataRecorder::Stop()
{
    std::function<void()> report;
    {
        std::lock_guard lock(m_mutex);
        if (!m_writer.IsOpen())
            return false;
        if (!m_signedAny)
            FlushPending();
        m_pending.clear();
        av_bsf_free(&m_annexB);
        if (m_started && m_writer.Close() && !m_failed)
            return true;
        report = EndFailed();
    }
    report();
    return false;
}

std::function<void()> CDataRecorder::EndFailed()
{
    m_pending.clear();
    av_bsf_free(&m_annexB);
    // No key frame came: there is no recording to keep.
    if (!m_started)
        m_writer.Abort();
    else
        m_writer.KeepWritten();
    m_failed = true;
    return [report = m_report, path = m_writer.KeptPath(), bytes = m_writer.KeptBytes(), ms = m_writer.KeptMs()] {
        if (report)
            report(path, bytes, ms);
    };
}

bool CDataRecorder::FlushPending()
{
    if (m_pending.empty())
        return true;
    const bool written = m_writer.WriteRaw(m_pending);
    m_pending.clear();
    m_failed = m_failed || !written;
    return written;
}

void CDataRecorder::OnPacket(const MediaPacket& packet)
{
    std::function<void()> report;
    {
        std::lock_guard lock(m_mutex);
        if (!m_writer.IsOpen())
            return;
        if (!m_started && !(packet.kind == PacketKind::Video && packet.key))
            return;
        m_started = true;
        if (packet.recordKind != 0)
            CopyRecord(packet);
        else if (packet.kind == PacketKind::Video)
            WriteVideo(packet);
        else if (packet.kind == PacketKind::Audio)
            WriteAudio(packet);
        if (!m_failed)
            return;
        report = EndFailed();
    }
    report();
}

void CDataRecorder::CopyRecord(const MediaPacket& packet)
{
    if (!packet.raw || packet.rawSize <= 0)
        return;
    m_pending.insert(m_pending.end(), packet.raw, packet.raw + packet.rawSize);
    if (packet.recordKind == int(kvx::RecordKind::Signature))
        m_signedAny = true;
    // Before the first signature every record is kept either way: only an
    // unsigned tail after a signature waits to be known.
    if (packet.recordKind == int(kvx::RecordKind::Signature) || !m_signedAny)
        FlushPending();
}

void CDataRecorder::WriteVideo(const MediaPacket& packet)
{
    if (!packet.packet)
        return;
    AVPacket* converted = av_packet_clone(packet.packet.get());
    if (!converted)
        return;
    if (m_annexB && (av_bsf_send_packet(m_annexB, converted) < 0 ||
                     av_bsf_receive_packet(m_annexB, converted) < 0)) {
        av_packet_free(&converted);
        return;
    }
    const std::span<const std::uint8_t> data(converted->data, std::size_t(converted->size));
    const std::vector<std::uint8_t> parameterSets =
        packet.key ? ExtractParameterSets(data, m_codec) : std::vector<std::uint8_t>{};
    KvxVideoFrame frame;
    frame.codec = m_codec;
    frame.keyFrame = packet.key;
    frame.width = std::uint16_t(m_width);
    frame.height = std::uint16_t(m_height);
    frame.frameRateMilli = std::uint32_t(m_frameRate * 1000.0 + 0.5);
    frame.timeMs = m_startAbsMs + packet.timeMs;
    frame.parameterSets = parameterSets;
    frame.data = data;
    m_failed = m_failed || !m_writer.WriteVideo(frame);
    av_packet_free(&converted);
}

void CDataRecorder::WriteAudio(const MediaPacket& packet)
{
    if (!packet.packet || (m_audioCodec != AV_CODEC_ID_PCM_ALAW && m_audioCodec != AV_CODEC_ID_PCM_MULAW))
        return;
    KvxAudioPayload audio;
    audio.codec = m_audioCodec == AV_CODEC_ID_PCM_ALAW ? kvx::AudioCodec::G711ALaw
                                                       : kvx::AudioCodec::G711MuLaw;
    audio.channels = std::uint8_t(m_channels);
    audio.sampleRate = std::uint32_t(m_sampleRate);
    audio.data = std::span<const std::uint8_t>(packet.packet->data, std::size_t(packet.packet->size));
    m_failed = m_failed || !m_writer.WriteAudio(audio, m_startAbsMs + packet.timeMs);
}

}  // namespace PLAY_MODULE
