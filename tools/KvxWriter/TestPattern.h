#pragma once

#include <cstdint>

struct AVFrame;

namespace KVX_WRITER {

// Paints the synthetic picture: a moving colour pattern, a bouncing box
// and the frame's local date and time (to the millisecond) burnt in.
class CTestPattern {
public:
    static void Paint(AVFrame* frame, std::int64_t frameIndex, std::int64_t utcMs);
    // Left, top, width, height of the bouncing box for a frame.
    static void BoxAt(std::int64_t frameIndex, int width, int height, int box[4]);

private:
    static void DrawText(AVFrame* frame, const char* text, int x, int y, int scale);
};

}  // namespace KVX_WRITER
