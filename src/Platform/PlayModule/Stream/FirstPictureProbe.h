#pragma once

#include <cstdint>

#include "Platform/PlayModule/Stream/StreamPacket.h"

struct AVCodecContext;

namespace PLAY_MODULE {

// Where players show the first picture of a file that has decoding times
// alone (an AVI): at the time of the packet that brings it out of the
// decoder. libavcodec's decoder is fed the video packets in order until a
// picture comes out; B-frames and leading pictures the decoder skips put it
// some packets late.
class CFirstPictureProbe {
public:
    static constexpr int kMaxPackets = 64;

    CFirstPictureProbe() = default;
    ~CFirstPictureProbe();
    CFirstPictureProbe(const CFirstPictureProbe&) = delete;
    CFirstPictureProbe& operator=(const CFirstPictureProbe&) = delete;

    // Feeds the next video packet (its time: the source's presentation
    // time); true once the answer is known.
    bool Feed(const StreamPacket& packet);
    // The input ended: the pictures the decoder holds come out.
    void Finish();
    bool Known() const { return m_known; }
    // Packets before the one that brought the first picture out, and the
    // source time of that picture.
    std::int64_t PacketsBefore() const { return m_packetsBefore; }
    std::int64_t ShownTimeMs() const { return m_shownMs; }

private:
    bool Open(const StreamPacket& first);
    bool TakePicture();
    void Settle(std::int64_t packetsBefore, std::int64_t shownMs);

    AVCodecContext* m_context = nullptr;
    std::int64_t m_fed = 0;
    std::int64_t m_firstMs = 0;
    std::int64_t m_packetsBefore = 0;
    std::int64_t m_shownMs = 0;
    bool m_known = false;
};

}  // namespace PLAY_MODULE
