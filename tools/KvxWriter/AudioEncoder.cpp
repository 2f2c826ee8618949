#include "KvxWriter/AudioEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace KVX_WRITER {

using PLAY_MODULE::kvx::AudioCodec;

CAudioEncoder::~CAudioEncoder()
{
    avcodec_free_context(&m_ctx);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
}

int CAudioEncoder::SampleRate() const { return m_ctx ? m_ctx->sample_rate : 0; }

bool CAudioEncoder::Open(AudioCodec codec, int sampleRate, std::string* error)
{
    m_codec = codec;
    const char* name = codec == AudioCodec::G711ALaw    ? "pcm_alaw"
                       : codec == AudioCodec::G711MuLaw ? "pcm_mulaw"
                                                        : "aac";
    const AVCodec* encoder = avcodec_find_encoder_by_name(name);
    if (!encoder) {
        if (error) *error = std::string("no encoder ") + name;
        return false;
    }
    m_ctx = avcodec_alloc_context3(encoder);
    m_ctx->sample_rate = sampleRate;
    m_ctx->sample_fmt = codec == AudioCodec::AacAdts ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
    av_channel_layout_default(&m_ctx->ch_layout, 1);
    m_ctx->time_base = {1, sampleRate};
    m_ctx->bit_rate = codec == AudioCodec::AacAdts ? 32000 : 0;
    if (avcodec_open2(m_ctx, encoder, nullptr) < 0) {
        if (error) *error = std::string("cannot open encoder ") + name;
        return false;
    }
    m_frameSize = m_ctx->frame_size > 0 ? m_ctx->frame_size : sampleRate / 25;
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    return true;
}

void CAudioEncoder::AddAdtsHeader(std::vector<std::uint8_t>& out, std::size_t payload) const
{
    static const int rates[] = {96000, 88200, 64000, 48000, 44100, 32000,
                                24000, 22050, 16000, 12000, 11025, 8000};
    int index = 11;
    for (int i = 0; i < 12; ++i)
        if (rates[i] == m_ctx->sample_rate) index = i;
    const std::size_t length = payload + 7;
    const int channels = 1;
    out.push_back(0xFF);
    out.push_back(0xF1);
    out.push_back(static_cast<std::uint8_t>((1 << 6) | (index << 2) | (channels >> 2)));
    out.push_back(static_cast<std::uint8_t>(((channels & 3) << 6) | ((length >> 11) & 3)));
    out.push_back(static_cast<std::uint8_t>((length >> 3) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(((length & 7) << 5) | 0x1F));
    out.push_back(0xFC);
}

bool CAudioEncoder::Drain(const Sink& sink)
{
    for (;;) {
        const int r = avcodec_receive_packet(m_ctx, m_packet);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
        m_block.clear();
        if (m_codec == AudioCodec::AacAdts) AddAdtsHeader(m_block, static_cast<std::size_t>(m_packet->size));
        m_block.insert(m_block.end(), m_packet->data, m_packet->data + m_packet->size);
        sink(m_packet->pts, m_block);
        av_packet_unref(m_packet);
    }
}

bool CAudioEncoder::EncodeFrame(const Sink& sink)
{
    av_frame_unref(m_frame);
    m_frame->format = m_ctx->sample_fmt;
    m_frame->nb_samples = m_frameSize;
    m_frame->sample_rate = m_ctx->sample_rate;
    av_channel_layout_copy(&m_frame->ch_layout, &m_ctx->ch_layout);
    if (av_frame_get_buffer(m_frame, 0) < 0) return false;
    for (int i = 0; i < m_frameSize; ++i) {
        if (m_ctx->sample_fmt == AV_SAMPLE_FMT_FLTP)
            reinterpret_cast<float*>(m_frame->data[0])[i] = m_pending[i] / 32768.0f;
        else
            reinterpret_cast<std::int16_t*>(m_frame->data[0])[i] = m_pending[i];
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + m_frameSize);
    m_frame->pts = m_samplesSent;
    m_samplesSent += m_frameSize;
    if (avcodec_send_frame(m_ctx, m_frame) < 0) return false;
    return Drain(sink);
}

bool CAudioEncoder::Encode(std::span<const std::int16_t> samples, const Sink& sink)
{
    m_pending.insert(m_pending.end(), samples.begin(), samples.end());
    while (static_cast<int>(m_pending.size()) >= m_frameSize)
        if (!EncodeFrame(sink)) return false;
    return true;
}

bool CAudioEncoder::Finish(const Sink& sink)
{
    if (avcodec_send_frame(m_ctx, nullptr) < 0) return false;
    return Drain(sink);
}

}  // namespace KVX_WRITER
