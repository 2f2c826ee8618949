#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace KVX_WRITER {

// Encodes mono 16-bit samples to G.711 (A-law, µ-law; 40 ms blocks) or to
// AAC frames with ADTS headers.
class CAudioEncoder {
public:
    // sampleIndex: position of the block's first sample (may be negative
    // for the encoder's priming); data: one coded block.
    using Sink = std::function<void(std::int64_t sampleIndex, std::span<const std::uint8_t> data)>;

    CAudioEncoder() = default;
    ~CAudioEncoder();
    CAudioEncoder(const CAudioEncoder&) = delete;
    CAudioEncoder& operator=(const CAudioEncoder&) = delete;

    bool Open(PLAY_MODULE::kvx::AudioCodec codec, int sampleRate, std::string* error);
    bool Encode(std::span<const std::int16_t> samples, const Sink& sink);
    bool Finish(const Sink& sink);
    int SampleRate() const;

private:
    bool EncodeFrame(const Sink& sink);
    bool Drain(const Sink& sink);
    void AddAdtsHeader(std::vector<std::uint8_t>& out, std::size_t payload) const;

    PLAY_MODULE::kvx::AudioCodec m_codec = PLAY_MODULE::kvx::AudioCodec::G711ALaw;
    AVCodecContext* m_ctx = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    int m_frameSize = 320;
    std::vector<std::int16_t> m_pending;
    std::int64_t m_samplesSent = 0;
    std::vector<std::uint8_t> m_block;
};

}  // namespace KVX_WRITER
