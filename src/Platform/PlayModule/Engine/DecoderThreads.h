#pragma once

#include <atomic>

namespace PLAY_MODULE {

// How many decoder threads a video stream gets, from how many streams play
// in this process: a few streams of large pictures share the cores through
// FFmpeg's frame and slice threads; in a grid, and for small pictures (fast
// enough on one thread, and frame threads delay each step), each stream
// decodes on its own play thread.
class CDecoderThreads {
public:
    // Counts one playing stream for as long as the object lives.
    class Stream {
    public:
        Stream() { ++s_streams; }
        ~Stream() { --s_streams; }
        Stream(const Stream&) = delete;
        Stream& operator=(const Stream&) = delete;
    };

    static constexpr int kFrameThreadPixels = 640 * 480;

    // Threads for a decoder of such pictures opened now: 0 lets FFmpeg pick
    // one per core, 1 decodes on the calling thread.
    static int ForNewDecoder(int width, int height);
    static int ForStreams(int streams, int cores);
    static int PlayingStreams() { return s_streams.load(); }
    // 0: the policy above; n > 0: every decoder gets n threads.
    static void SetFixedThreads(int threads) { s_fixed = threads; }

private:
    static inline std::atomic<int> s_streams{0};
    static inline std::atomic<int> s_fixed{0};
};

}  // namespace PLAY_MODULE
