#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "Platform/PlayModule/Support/SampleFolder.h"
#include "StreamFeeding.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;
using namespace STREAM_TEST;

namespace {

constexpr std::size_t kMiB = 1u << 20;

class StreamInput : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new CSampleFolder;
        KVX_WRITER::SyntheticOptions options;
        options.seconds = 8;
        options.width = 320;
        options.height = 240;
        options.bitrateKbps = 4000;
        s_recording = ReadFileBytes(s_folder->MakeKvx(options));
    }
    static void TearDownTestSuite() { delete s_folder; }

    static CSampleFolder* s_folder;
    static std::vector<std::uint8_t> s_recording;
};

CSampleFolder* StreamInput::s_folder = nullptr;
std::vector<std::uint8_t> StreamInput::s_recording;

}  // namespace

TEST_F(StreamInput, BlocksAsLargeAsTheBufferAreNeverRefusedForGood)
{
    std::vector<std::uint8_t> bytes;
    for (int copy = 0; copy < 4; ++copy) bytes.insert(bytes.end(), s_recording.begin(), s_recording.end());
    ASSERT_GT(bytes.size(), 3 * kMiB);
    CPlaySdkWrapper player;
    player.SetStreamOpenMode(1);
    player.OpenStream(0x100000);
    player.Play(nullptr);
    // Blocks end inside records, so a partial record is always left over.
    EXPECT_TRUE(Feed(player, bytes, kMiB, std::chrono::seconds(10)));
    EXPECT_TRUE(Drain(player, std::chrono::seconds(10)));
}

TEST_F(StreamInput, InputIsRefusedOnlyWhileFull)
{
    CPlaySdkWrapper player;
    std::vector<std::uint8_t> block(1000, 0);
    EXPECT_EQ(player.InputData(block.data(), block.size()), 0);  // no stream yet
    EXPECT_EQ(player.SetStreamOpenMode(2), 0);
    EXPECT_EQ(player.OpenStream(0), 0);
    ASSERT_EQ(player.OpenStream(2500), 1);
    EXPECT_EQ(player.InputData(block.data(), block.size()), 1);
    EXPECT_EQ(player.InputData(block.data(), block.size()), 1);
    EXPECT_EQ(player.InputData(block.data(), block.size()), 1);  // 2000 < 2500 queued
    EXPECT_EQ(player.InputData(block.data(), block.size()), 0);
    EXPECT_EQ(player.GetSourceBufferRemain(), 3000u);
    EXPECT_EQ(player.InputData(nullptr, 10), 0);
    player.Play(nullptr);
    EXPECT_TRUE(Drain(player));
    EXPECT_EQ(player.InputData(block.data(), block.size()), 1);
    player.CloseStream();
    EXPECT_EQ(player.InputData(block.data(), block.size()), 0);
    EXPECT_EQ(player.GetBufferValue(3) + player.GetSourceBufferRemain(), 0u);
}

TEST_F(StreamInput, IncompleteLastRecordIsDiscardedSoTheDrainEnds)
{
    CPlaySdkWrapper player;
    player.OpenStream(0x100000);
    player.Play(nullptr);
    const auto records = Records(s_recording);
    auto bytes = Serialize({records.begin(), records.begin() + 20});
    ASSERT_GT(bytes.size(), 100u);
    bytes.erase(bytes.end() - 10, bytes.end());
    EXPECT_TRUE(Feed(player, bytes, 4096));
    EXPECT_TRUE(Drain(player));
}

TEST_F(StreamInput, StopDropsQueuedDataAndReturnsPromptly)
{
    CPlaySdkWrapper player;
    player.OpenStream(0x100000);
    std::vector<std::uint8_t> head(s_recording.begin(), s_recording.begin() + kMiB / 2);
    ASSERT_EQ(player.InputData(head.data(), head.size()), 1);
    player.Play(nullptr);
    const auto start = std::chrono::steady_clock::now();
    player.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(player.GetBufferValue(3) + player.GetSourceBufferRemain(), 0u);
    // Play again on the same stream: it takes data once more.
    player.Play(nullptr);
    EXPECT_TRUE(Feed(player, head, kMiB));
    EXPECT_TRUE(Drain(player));
}

TEST_F(StreamInput, HostileStreamsNeverHangTheDrain)
{
    std::mt19937 random(11);
    std::vector<std::uint8_t> noise(2 * kMiB);
    for (auto& byte : noise) byte = std::uint8_t(random());
    // Damage spread over a real recording, then plain noise, then a huge length field.
    std::vector<std::uint8_t> damaged = s_recording;
    for (std::size_t at = 100; at < damaged.size(); at += 7919) damaged[at] ^= 0xA5;
    std::vector<std::uint8_t> hugeLength(s_recording.begin(), s_recording.begin() + 4096);
    hugeLength[8] = hugeLength[9] = hugeLength[10] = 0xFF;
    for (const auto* bytes : {&damaged, &noise, &hugeLength}) {
        CReportCollector collector;
        CPlaySdkWrapper player;
        player.SetWatermarkListener(&collector);
        player.OpenStream(921600);
        player.EnableWaterMarkCallBackEx();
        player.Play(nullptr);
        std::string avi = s_folder->File("hostile.avi");
        player.StartAVIConvert(avi.data());
        EXPECT_TRUE(Feed(player, *bytes, 131072));
        EXPECT_TRUE(Drain(player));
        player.StopAVIConvert();
        EXPECT_FALSE(collector.Errors().empty());
    }
}

TEST_F(StreamInput, StreamJumpingToAnotherRecordingAfterADrainStartsAfresh)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 2;
    options.width = 160;
    options.height = 120;
    options.startUtcMs = 1500000000000;
    const auto other = ReadFileBytes(s_folder->MakeKvx(options, true, "Other"));
    CReportCollector collector;
    CPlaySdkWrapper player;
    player.SetWatermarkListener(&collector);
    player.OpenStream(0x100000);
    player.EnableWaterMarkCallBackEx();
    player.Play(nullptr);
    ASSERT_TRUE(Feed(player, s_recording, kMiB));
    ASSERT_TRUE(Drain(player));
    ASSERT_TRUE(Feed(player, other, kMiB));
    ASSERT_TRUE(Drain(player));
    EXPECT_TRUE(collector.Errors().empty());
    EXPECT_EQ(collector.Reports().back().time, 1500000000);
}
