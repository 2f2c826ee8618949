#pragma once

#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/packet.h>
}

namespace PLAY_MODULE {

struct AVPacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using AVPacketPtr = std::unique_ptr<AVPacket, AVPacketDeleter>;

enum class PacketKind { Video, Audio, Overlay, Other };

// One demuxed block. timeMs counts from the file's first video time.
struct MediaPacket {
    AVPacketPtr packet;
    PacketKind kind = PacketKind::Other;
    std::int64_t timeMs = 0;
    std::int64_t position = -1;
    bool key = false;
    bool hasPts = true;              // false: timeMs is a decoding time
    bool timed = true;               // false: the container gave no time; timeMs is the packet before's
    int overlayKind = 0;             // 5 or 6 for overlay blocks
    int recordKind = 0;              // ".kvx" record kind, 0 for other containers
    const std::uint8_t* raw = nullptr;  // the block as stored in the file
    int rawSize = 0;
    std::vector<std::uint8_t> rawStorage;  // owns raw when the source built it
};

}  // namespace PLAY_MODULE
