#include <algorithm>
#include <cstdint>
#include <memory>
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
        frame->width = width;
        frame->height = height;
        ++m_next;
        ++decoded;
        return frame;
    }
    std::int64_t FrameTimeMs(const AVFrame& frame) const override { return frame.best_effort_timestamp; }
    bool ConvertFrame(const AVFrame& frame, int keptWidth, int keptHeight, PlanarPicture& out) override
    {
        freshBuffers += out.bytes.capacity() == 0 ? 1 : 0;
        out.width = keptWidth;
        out.height = keptHeight;
        out.reduced = keptWidth != frame.width;
        out.bytes.assign(PlanarPicture::SizeFor(keptWidth, keptHeight), 0);
        return true;
    }
    void RestartDecodingAt(std::int64_t timeMs) override { m_next = int(timeMs / kFrameMs) / kGroupFrames * kGroupFrames; }
    bool Quitting() const override { return false; }
    std::int64_t ShownMs() const override { return shownMs; }
    bool AheadInterrupted() override
    {
        // A held step-back key: a step waits whenever the engine serves none.
        const PlanarPicture* picture = heldKey ? heldKey->ShownBlockPictureBefore(shownMs) : nullptr;
        if (picture)
            Show(*picture);
        return interruptAfter >= 0 && decoded >= interruptAfter;
    }

    void Show(const PlanarPicture& picture)
    {
        shownMs = picture.timeMs;
        shown.push_back(picture.timeMs);
        waits.push_back(decoded - m_decodedAtLastShow);
        m_decodedAtLastShow = decoded;
        maxHeldBytes = std::max(maxHeldBytes, heldKey ? heldKey->HeldBytes() : 0);
    }

    std::int64_t shownMs = 0;
    int decoded = 0;
    int interruptAfter = -1;
    int width = 2;
    int height = 2;
    CReversePlay* heldKey = nullptr;
    std::vector<std::int64_t> shown;
    std::vector<int> waits;  // frames decoded while each step waited
    std::size_t maxHeldBytes = 0;
    int freshBuffers = 0;  // pictures converted into a buffer of their own

private:
    int m_next = 0;
    int m_decodedAtLastShow = 0;
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

TEST(ReversePlay, KeyFramesOnlyGoBackKeyByKeyToTheStart)
{
    GroupsOfFrames host;
    CReversePlay reverse(host);
    reverse.SetKeysOnly(true);
    host.shownMs = 6080;
    EXPECT_EQ(StepBack(reverse, host, 5), (std::vector<std::int64_t>{6000, 4000, 2000, 0}));
}

TEST(ReversePlay, FasterPlayKeepsEverySoManyFramesBackFromTheShownOne)
{
    GroupsOfFrames host;
    CReversePlay reverse(host);
    reverse.SetKeepEvery(4);
    host.shownMs = 2400;
    // A group's first frame is kept too: the group before ends there.
    EXPECT_EQ(StepBack(reverse, host, 6), (std::vector<std::int64_t>{2360, 2200, 2040, 2000, 1960, 1800}));
    EXPECT_EQ(host.decoded, 11 + 51);  // each group decoded once (and the frame that ends it)
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

// The step-back key held from the tenth frame of a group, as the engine
// serves it: a step is a command, and the steps that come while the group
// ahead is decoded are served in between its frames. Small pictures fit
// whole groups; 1600x900 ones only part of one in the budget.
TEST(ReversePlay, HeldStepBackKeepsPaceAcrossGroups)
{
    for (const int side : {2, 900}) {
        GroupsOfFrames host;
        CReversePlay reverse(host);
        host.width = side * 16 / 9;
        host.height = side;
        host.heldKey = &reverse;
        host.shownMs = 8400;
        host.Show(*reverse.PreviousPicture());  // the first step after a seek
        while (host.shownMs > 2400) {
            reverse.DecodeBlockAhead();
            const int decodedBefore = host.decoded;
            const PlanarPicture* picture = reverse.PreviousPicture();
            ASSERT_NE(nullptr, picture);
            host.Show(*picture);
            if (picture->timeMs % 2000 == 1960) {  // a step into the group before finds it decoded
                EXPECT_EQ(decodedBefore, host.decoded) << side << " at " << picture->timeMs;
            }
        }
        for (std::size_t i = 0; i < host.shown.size(); ++i)
            ASSERT_EQ(8360 - std::int64_t(i) * kFrameMs, host.shown[i]) << side << " step " << i;
        // No step waits for much of a group: the group ahead's decoding is
        // spread over the steps.
        EXPECT_LE(*std::max_element(host.waits.begin() + 1, host.waits.end()), kGroupFrames / 6) << side;
        EXPECT_LE(host.maxHeldBytes, CReverseBudget::kModuleBytes) << side;
        // Each frame decoded once; a block reads the frame after it, too.
        const int blocks = 8400 / (kGroupFrames * kFrameMs) + 1;
        EXPECT_LE(host.decoded, 8400 / kFrameMs + blocks) << side;
    }
}

// Modules holding reverse pictures share the process's budget: one that
// held a lone module's share gives back down to its new share at its next
// block, and takes the larger one again when the others are done.
TEST(ReversePlay, ModulesShareTheProcessBudget)
{
    constexpr int kModules = 16;
    GroupsOfFrames host;
    host.width = 1600;
    host.height = 900;
    host.shownMs = 8400;
    CReversePlay reverse(host);
    const auto stepThroughGroup = [&] {
        for (int i = 0; i < kGroupFrames; ++i) {
            reverse.DecodeBlockAhead();
            host.shownMs = reverse.PreviousPicture()->timeMs;
        }
        return reverse.HeldBytes();
    };
    constexpr std::size_t share = CReverseBudget::kProcessBytes / kModules;
    EXPECT_GT(stepThroughGroup(), share);

    std::vector<GroupsOfFrames> otherHosts(kModules - 1);
    std::vector<std::unique_ptr<CReversePlay>> others;
    for (GroupsOfFrames& other : otherHosts) {
        other.shownMs = 2080;
        others.push_back(std::make_unique<CReversePlay>(other));
        ASSERT_NE(nullptr, others.back()->PreviousPicture());
    }
    EXPECT_LE(stepThroughGroup(), share);

    for (auto& other : others)
        other->Release();
    EXPECT_GT(stepThroughGroup(), share);
}

// Past the first groups, the pictures of the group before take the buffers
// of the blocks already dropped.
TEST(ReversePlay, BlocksDroppedLendTheirBuffersToTheNextOnes)
{
    GroupsOfFrames host;
    host.width = 704;
    host.height = 576;
    host.shownMs = 8400;
    CReversePlay reverse(host);
    int freshBefore = -1;
    while (host.shownMs >= 2000) {
        reverse.DecodeBlockAhead();
        const PlanarPicture* picture = reverse.PreviousPicture();
        ASSERT_NE(nullptr, picture);
        host.shownMs = picture->timeMs;
        if (host.shownMs < 6000 && freshBefore < 0)
            freshBefore = host.freshBuffers;
    }
    EXPECT_EQ(freshBefore, host.freshBuffers);
    EXPECT_LE(reverse.HeldBytes(), CReverseBudget::kModuleBytes);
}

TEST(ReversePlay, ReleaseGivesEveryPictureBack)
{
    GroupsOfFrames host;
    CReversePlay reverse(host);
    host.shownMs = 2080;
    reverse.DecodeBlockAhead();
    ASSERT_GT(reverse.HeldBytes(), 0u);
    reverse.Release();
    EXPECT_EQ(0u, reverse.HeldBytes());
    // Stepping back afterwards decodes again.
    EXPECT_EQ(2040, reverse.PreviousPicture()->timeMs);
}

}  // namespace
