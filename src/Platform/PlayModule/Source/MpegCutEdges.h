#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// Makes whole the edges of a byte cut of an MPEG stream, from one key
// frame's packet to another's:
// - a transport stream whose key frames come without their parameter sets
//   (a muxer that writes them only at the start of the file) gets packets
//   on the video's PID ahead of the cut that carry the sets of the stream's
//   header, continuing the PID's continuity count;
// - a program stream whose muxer fills its packets runs a frame on into the
//   packet the next frame starts in: the cut's first video PES is rewritten
//   to begin at its key frame, and the tail of the cut's last frame, from
//   the packet the cut ends at, follows in a PES of its own;
// - an H.265 transport stream whose cut ends at an open group's key frame
//   ends with that key frame and the pictures shown before it.
class CMpegCutEdges {
public:
    struct Edges {
        std::vector<std::uint8_t> head;  // written first
        std::uint64_t from = 0;          // then the file from here to the cut's end
        std::vector<std::uint8_t> tail;  // and last this
    };

    // The edges of the cut [start, end) of the file; for other files, and
    // cuts that need nothing, the cut as it is.
    static Edges For(const std::string& path, std::uint64_t start, std::uint64_t end);

private:
    struct Video {
        bool transport = false;
        bool program = false;
        int pid = -1;
        kvx::VideoCodec codec = kvx::VideoCodec::H264;
        std::vector<std::uint8_t> parameterSets;
    };
    // A video PES of a program stream, at its offset in a block of bytes.
    struct Pes {
        std::size_t at = 0;
        std::size_t payload = 0;  // offset of its payload
        std::size_t end = 0;
    };

    static Video VideoOf(const std::string& path);
    static std::vector<std::uint8_t> ReadFrom(const std::string& path, std::uint64_t position);

    static std::vector<std::uint8_t> TransportHead(const std::string& path, std::uint64_t start, const Video& video);
    static std::vector<std::uint8_t> TransportTail(const std::string& path, std::uint64_t end);
    static int CountWhereSetsLack(const std::vector<std::uint8_t>& bytes, const Video& video);
    static std::vector<std::uint8_t> TransportPackets(const Video& video, int nextCount);

    static void ProgramHead(const std::string& path, std::uint64_t start, const Video& video, Edges& edges);
    static std::vector<std::uint8_t> ProgramTail(const std::string& path, std::uint64_t end, const Video& video);
    static bool FirstVideoPes(const std::vector<std::uint8_t>& bytes, Pes& pes);
    // Bytes of the PES payload that belong to the frame before the one that
    // starts in it.
    static std::size_t FrameTail(const std::vector<std::uint8_t>& bytes, const Pes& pes, kvx::VideoCodec codec);
};

}  // namespace PLAY_MODULE
