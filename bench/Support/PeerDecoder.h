#pragma once

#include <cstdint>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace BENCH {

// The peer of the play module: libavformat and libavcodec alone, in this
// process, as FFmpeg's own decoding does it. threads 0: FFmpeg's default.
class CPeerDecoder {
public:
    CPeerDecoder() = default;
    ~CPeerDecoder();
    CPeerDecoder(const CPeerDecoder&) = delete;
    CPeerDecoder& operator=(const CPeerDecoder&) = delete;

    bool Open(const std::string& path, int threads);
    // Decodes the next frame; false at the end.
    bool NextFrame();
    // Shows the frame that holds timeMs (from the recording's start), as an
    // exact seek does: back to a key frame at or before it, then decoding.
    bool SeekExact(std::int64_t timeMs);
    std::int64_t FrameTimeMs() const;

private:
    bool SeekKeyBefore(std::int64_t timeMs);
    bool ReadKeyPacket();
    std::int64_t PacketTimeMs() const;
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;
    std::int64_t m_startPts = 0;
    bool m_ended = false;
};

}  // namespace BENCH
