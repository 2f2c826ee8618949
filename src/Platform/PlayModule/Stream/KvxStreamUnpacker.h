#pragma once

#include <cstdint>
#include <vector>

#include "Platform/PlayModule/Format/KvxRecord.h"
#include "Platform/PlayModule/Stream/StreamPacket.h"

namespace PLAY_MODULE {

// Turns ".kvx" video and audio records of a stream into coded packets. The
// stream is taken up at a key-frame record; key frames carry their
// parameter sets in band and set the video format.
class CKvxStreamUnpacker {
public:
    // False when the record gives no packet (other kinds, before the first
    // key frame, or a malformed payload). The packet points into the record.
    bool Unpack(const KvxRecord& record, StreamPacket& out);
    // The next packet must be a key frame again (a new stream).
    void Reset();

private:
    bool UnpackVideo(const KvxRecord& record, StreamPacket& out);
    bool UnpackAudio(const KvxRecord& record, StreamPacket& out);

    StreamFormat m_video;
    StreamFormat m_audio;
    bool m_haveKey = false;
    std::vector<std::uint8_t> m_keyBytes;
};

}  // namespace PLAY_MODULE
