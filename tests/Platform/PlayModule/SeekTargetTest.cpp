#include <gtest/gtest.h>

#include "Platform/PlayModule/Engine/SeekTarget.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <vector>

using PLAY_MODULE::AVFramePtr;
using PLAY_MODULE::CSeekTarget;

namespace {

struct Frame {
    std::int64_t timeMs, durationMs;
};

enum class Mode { None, EndingBy, Through };

// Feeds the frames in order until one is passed (or none follows); returns
// the shown frame's time and the held one's (-1: none).
std::pair<std::int64_t, std::int64_t> Pick(Mode mode, std::int64_t targetMs,
                                           const std::vector<Frame>& frames)
{
    CSeekTarget target;
    if (mode == Mode::EndingBy)
        target.DropEndingBy(targetMs);
    else if (mode == Mode::Through)
        target.DropThrough(targetMs);
    AVFramePtr held;
    AVFramePtr shown;
    for (const Frame& f : frames) {
        AVFramePtr frame = PLAY_MODULE::MakeFrame();
        frame->pts = f.timeMs;
        if ((shown = target.Pass(std::move(frame), f.timeMs, f.durationMs, held)))
            break;
    }
    if (!shown)
        shown = target.Finish();
    return {shown ? shown->pts : -1, held ? held->pts : -1};
}

}  // namespace

TEST(SeekTarget, PassesTheFrameThatHoldsTheTarget)
{
    const std::vector<Frame> even{{0, 40}, {40, 40}, {80, 40}, {120, 40}};
    // Durations rounded down leave a gap between 33 and 34.
    const std::vector<Frame> gap{{0, 33}, {34, 33}, {67, 33}};
    struct Case {
        Mode mode;
        std::int64_t targetMs;
        const std::vector<Frame>* frames;
        std::int64_t shownMs, heldMs;
    };
    for (const Case& c : {Case{Mode::None, 50, &even, 0, -1},
                          Case{Mode::EndingBy, 50, &even, 40, -1},
                          Case{Mode::EndingBy, 80, &even, 80, -1},
                          Case{Mode::EndingBy, 33, &gap, 0, 34},
                          Case{Mode::EndingBy, 1000, &even, 120, -1},
                          Case{Mode::Through, 40, &even, 80, -1},
                          Case{Mode::Through, 1000, &even, -1, -1}}) {
        const auto [shown, held] = Pick(c.mode, c.targetMs, *c.frames);
        EXPECT_EQ(shown, c.shownMs) << "target " << c.targetMs << " mode " << int(c.mode);
        EXPECT_EQ(held, c.heldMs) << "target " << c.targetMs << " mode " << int(c.mode);
    }
}

TEST(SeekTarget, ClearingForgetsTheDroppedFrame)
{
    CSeekTarget target;
    target.DropEndingBy(100);
    AVFramePtr held;
    AVFramePtr frame = PLAY_MODULE::MakeFrame();
    EXPECT_FALSE(target.Pass(std::move(frame), 0, 40, held));
    target.Clear();
    EXPECT_FALSE(target.Finish());
    AVFramePtr next = PLAY_MODULE::MakeFrame();
    next->pts = 40;
    AVFramePtr shown = target.Pass(std::move(next), 40, 40, held);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->pts, 40);
}
