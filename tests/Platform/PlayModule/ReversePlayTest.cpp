#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include "Platform/PlayModule/Engine/ReversePlay.h"

using namespace PLAY_MODULE;

namespace {

constexpr std::int64_t kFrameMs = 40;
constexpr int kGroupFrames = 50;
constexpr int kFrames = 250;

// A stream of 10 s: a frame every 40 ms, a key frame every 2 s.
class GroupsOfFrames : public IReversePlayHost {
public:
    AVFramePtr NextFrame() override
    {
        if (m_next >= kFrames)
            return nullptr;
        AVFramePtr frame = MakeFrame();
        frame->best_effort_timestamp = m_next * kFrameMs;
        frame->key_frame = m_next % kGroupFrames == 0;
        ++m_next;
        ++decoded;
        return frame;
    }
    std::int64_t FrameTimeMs(const AVFrame& frame) const override { return frame.best_effort_timestamp; }
    bool ConvertFrame(const AVFrame&, PlanarPicture& out) override
    {
        out.width = out.height = 2;
        out.bytes.assign(PlanarPicture::SizeFor(2, 2), 0);
        return true;
    }
    void RestartDecodingAt(std::int64_t timeMs) override { m_next = int(timeMs / kFrameMs) / kGroupFrames * kGroupFrames; }
    bool Quitting() const override { return false; }
    std::int64_t ShownMs() const override { return shownMs; }
    bool AheadInterrupted() override { return interruptAfter >= 0 && decoded >= interruptAfter; }

    std::int64_t shownMs = 0;
    int decoded = 0;
    int interruptAfter = -1;

private:
    int m_next = 0;
};

// Steps back from the shown frame; the times of the pictures shown.
std::vector<std::int64_t> StepBack(CReversePlay& reverse, GroupsOfFrames& host, int steps)
{
    std::vector<std::int64_t> shown;
    for (int i = 0; i < steps; ++i) {
        const PlanarPicture* picture = reverse.PreviousPicture();
        if (!picture)
            break;
        host.shownMs = picture->timeMs;
        shown.push_back(picture->timeMs);
    }
    return shown;
}

TEST(ReversePlay, AfterASeekDecodesTheShownAndThePreviousGroupAhead)
{
    GroupsOfFrames host;
    CReversePlay reverse(host);
    host.shownMs = 2080;  // a seek showed the third frame of the second group
    reverse.DecodeBlockAhead();
    const int decodedAhead = host.decoded;
    EXPECT_EQ(StepBack(reverse, host, 4), (std::vector<std::int64_t>{2040, 2000, 1960, 1920}));
    EXPECT_EQ(decodedAhead, host.decoded);
    EXPECT_TRUE(reverse.NeedsReposition());
}

TEST(ReversePlay, SeekDecodingCutShortLeavesStepsBackRight)
{
    for (const int cutAfter : {1, 2, 30}) {
        GroupsOfFrames host;
        CReversePlay reverse(host);
        host.shownMs = 2080;
        host.interruptAfter = cutAfter;
        reverse.DecodeBlockAhead();
        host.interruptAfter = -1;
        EXPECT_EQ(StepBack(reverse, host, 3), (std::vector<std::int64_t>{2040, 2000, 1960})) << cutAfter;
    }
}

TEST(ReversePlay, AtTheStartNothingIsDecodedAhead)
{
    GroupsOfFrames host;
    CReversePlay reverse(host);
    reverse.DecodeBlockAhead();
    EXPECT_EQ(0, host.decoded);
    EXPECT_FALSE(reverse.NeedsReposition());
    EXPECT_EQ(nullptr, reverse.PreviousPicture());
}

}  // namespace
