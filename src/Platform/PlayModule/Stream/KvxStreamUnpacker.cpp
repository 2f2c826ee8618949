#include "Platform/PlayModule/Stream/KvxStreamUnpacker.h"

#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"

namespace PLAY_MODULE {

namespace {

constexpr int kMaxPictureSide = 8192;
constexpr std::uint32_t kMaxFrameRateMilli = 240000;

AVCodecID AudioCodecOf(kvx::AudioCodec codec)
{
    switch (codec) {
    case kvx::AudioCodec::G711ALaw: return AV_CODEC_ID_PCM_ALAW;
    case kvx::AudioCodec::G711MuLaw: return AV_CODEC_ID_PCM_MULAW;
    case kvx::AudioCodec::AacAdts: return AV_CODEC_ID_AAC;
    }
    return AV_CODEC_ID_NONE;
}

bool IsG711(AVCodecID codec)
{
    return codec == AV_CODEC_ID_PCM_ALAW || codec == AV_CODEC_ID_PCM_MULAW;
}

}  // namespace

void CKvxStreamUnpacker::Reset()
{
    m_haveKey = false;
    m_audio = StreamFormat{};
}

bool CKvxStreamUnpacker::Unpack(const KvxRecord& record, StreamPacket& out)
{
    switch (record.header.kind) {
    case kvx::RecordKind::Video: return UnpackVideo(record, out);
    case kvx::RecordKind::Audio: return m_haveKey && UnpackAudio(record, out);
    default: return false;
    }
}

bool CKvxStreamUnpacker::UnpackVideo(const KvxRecord& record, StreamPacket& out)
{
    const bool key = record.header.IsKeyFrame();
    if (!key && !m_haveKey)
        return false;
    KvxVideoPayload video;
    if (!video.Decode(record.payload, key))
        return false;
    if (key) {
        if (video.width == 0 || video.height == 0 || video.width > kMaxPictureSide ||
            video.height > kMaxPictureSide)
            return false;
        m_video.type = AVMEDIA_TYPE_VIDEO;
        m_video.codec = video.codec == kvx::VideoCodec::H265 ? AV_CODEC_ID_HEVC : AV_CODEC_ID_H264;
        m_video.width = video.width;
        m_video.height = video.height;
        const bool rateSound = video.frameRateMilli > 0 && video.frameRateMilli <= kMaxFrameRateMilli;
        m_video.frameRateNum = rateSound ? int(video.frameRateMilli) : 25000;
        m_video.frameRateDen = 1000;
        m_keyBytes = video.DecodableBytes();
        m_haveKey = true;
        out.data = m_keyBytes;
    } else {
        out.data = video.frame;
    }
    out.format = &m_video;
    out.key = key;
    out.timeMs = record.header.timeMs;
    return !out.data.empty();
}

bool CKvxStreamUnpacker::UnpackAudio(const KvxRecord& record, StreamPacket& out)
{
    KvxAudioPayload audio;
    if (!audio.Decode(record.payload) || audio.data.empty() || audio.channels == 0 ||
        audio.channels > 8 || audio.sampleRate == 0 || audio.sampleRate > 192000)
        return false;
    const AVCodecID codec = AudioCodecOf(audio.codec);
    if (codec == AV_CODEC_ID_NONE)
        return false;
    m_audio.type = AVMEDIA_TYPE_AUDIO;
    m_audio.codec = codec;
    m_audio.sampleRate = int(audio.sampleRate);
    m_audio.channels = audio.channels;
    m_audio.bitsPerSample = IsG711(codec) ? 8 : 0;
    m_audio.blockAlign = IsG711(codec) ? audio.channels : 0;
    out.format = &m_audio;
    out.key = true;
    out.timeMs = record.header.timeMs;
    out.data = audio.data;
    return true;
}

}  // namespace PLAY_MODULE
