#pragma once

#include <cstdint>
#include <memory>
#include <set>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;

namespace PLAY_MODULE {

struct AVFrameDeleter {
    void operator()(AVFrame* frame) const;
};
using AVFramePtr = std::unique_ptr<AVFrame, AVFrameDeleter>;
AVFramePtr MakeFrame();

// One FFmpeg decoder. Packets go in with their time in ms; frames come out
// with best_effort_timestamp in ms.
class CStreamDecoder {
public:
    CStreamDecoder() = default;
    ~CStreamDecoder();
    CStreamDecoder(const CStreamDecoder&) = delete;
    CStreamDecoder& operator=(const CStreamDecoder&) = delete;

    // threads 0: one per core (frame and slice threads), as FFmpeg picks.
    bool Open(const AVCodecParameters* parameters, int threads);
    bool IsOpen() const { return m_context != nullptr; }
    int Threads() const { return m_threads; }
    // Frames the stream may hold back for reordering (B-frames), as the
    // decoder knows it so far.
    int ReorderDepth() const;
    // False when the decoder refuses the packet (it is dropped).
    // timeMs AV_NOPTS_VALUE: the packet has no time.
    // hasPts false: timeMs is a decoding time; frames then take the packet
    // times in rising order as they come out.
    bool Send(AVPacket* packet, std::int64_t timeMs, bool hasPts = true);
    void SendEnd();
    // True when a frame was taken out.
    bool Receive(AVFrame* frame);
    void Flush();

private:
    AVCodecContext* m_context = nullptr;
    int m_threads = 1;
    bool m_ended = false;
    std::multiset<std::int64_t> m_decodingTimes;
};

}  // namespace PLAY_MODULE
