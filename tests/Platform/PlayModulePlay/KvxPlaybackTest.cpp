#include "RecordingListener.h"
#include "TestClocks.h"

#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Support/FooterEdits.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;
using PLAY_MODULE_TEST::CSampleFolder;

namespace {

constexpr std::int64_t kStartMs = 1451703845000;  // 2016-01-02 03:04:05 UTC

KVX_WRITER::SyntheticOptions SmallRecording(double seconds = 6)
{
    KVX_WRITER::SyntheticOptions options;
    options.startUtcMs = kStartMs;
    options.seconds = seconds;
    options.width = 320;
    options.height = 240;
    options.fps = 25;
    options.gopSeconds = 2;
    options.bitrateKbps = 256;
    return options;
}

class KvxPlayback : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new CSampleFolder;
        s_path = s_folder->MakeKvx(SmallRecording());
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    void SetUp() override
    {
        CPlayModule::SetRenderType(PM_RENDER_QT);
        ASSERT_FALSE(s_path.empty());
    }

    bool OpenFast(const std::string& path)
    {
        module->SetTimeSource(std::make_shared<RushingTimeSource>());
        return module->Open(path.c_str()) != 0;
    }

    static CSampleFolder* s_folder;
    static std::string s_path;
    RecordingListener listener;
    std::unique_ptr<CPlayModule> module = std::make_unique<CPlayModule>(&listener);
};

CSampleFolder* KvxPlayback::s_folder = nullptr;
std::string KvxPlayback::s_path;

std::vector<std::uint8_t> IndexBytes(CPlayModule& module)
{
    unsigned size = 0;
    module.GetRefValue(nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    if (size == 0 || !module.GetRefValue(bytes.data(), &size))
        bytes.clear();
    return bytes;
}

}  // namespace

TEST_F(KvxPlayback, PlaysToTheEndWithItsOwnTimesAndOverlays)
{
    ASSERT_TRUE(OpenFast(s_path));
    ASSERT_EQ(1, module->OpenIVSTrack());
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd());

    EXPECT_EQ(150u, listener.FrameCount());
    EXPECT_EQ(1, module->IsGetFileTimeInfo());
    EXPECT_EQ(unsigned(kStartMs / 1000), module->GetFileStartTime());
    EXPECT_EQ(unsigned(kStartMs / 1000 + 6), module->GetFileEndTime());
    EXPECT_EQ(1, listener.timeReports.load());
    EXPECT_EQ(unsigned(kStartMs / 1000), listener.reportedStart.load());
    EXPECT_GT(listener.overlayBlocks.load(), 0);
    EXPECT_GT(listener.streamBlocks.load(), listener.videoBlocks.load());
    const auto records = PLAY_MODULE_TEST::ReadAllRecords(s_path);  // the key-frame footer is no stream data
    EXPECT_EQ(std::int64_t(records.back().offset + records.back().TotalSize()), listener.streamBytes.load());
    const auto frames = listener.Frames();
    EXPECT_EQ(kStartMs, frames.front().absMs);
    EXPECT_EQ(kStartMs + 149 * 40, frames.back().absMs);

    MEDIA_INFO info;
    ASSERT_EQ(1, module->GetMediaInfo(&info));
    EXPECT_EQ(320, info.nWidth);
    EXPECT_EQ(240, info.nHeight);
    EXPECT_EQ(25, info.nFrameRate);
    EXPECT_NE(0, info.nAudioCodec);
}

TEST_F(KvxPlayback, ExactSeekByAbsoluteTimeAndKeyFramePositions)
{
    ASSERT_EQ(1, module->Open(s_path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    EXPECT_EQ(1, listener.refResult.load());
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(unsigned(kStartMs / 1000) + 3, 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 3000; }));
    EXPECT_EQ(kStartMs + 3000, module->GetCurrentPlayTimeMs());

    FRAME_POS key, next, last;
    ASSERT_EQ(1, module->GetKeyFramePos(unsigned(kStartMs / 1000) + 3, &key));
    ASSERT_EQ(1, module->GetNextKeyFramePos(unsigned(kStartMs / 1000) + 3, &next));
    ASSERT_EQ(1, module->GetNextKeyFramePos(unsigned(kStartMs / 1000) + 5, &last));
    EXPECT_EQ(kStartMs + 2000, key.nFrameTimeMs);
    EXPECT_EQ(kStartMs + 4000, next.nFrameTimeMs);
    EXPECT_LT(key.nFilePos, next.nFilePos);
    const auto records = PLAY_MODULE_TEST::ReadAllRecords(s_path);
    // Past the last key frame: where the records end (the footer follows).
    EXPECT_EQ(std::int64_t(records.back().offset + records.back().TotalSize()), last.nFilePos);
    bool keyFound = false;
    for (const auto& record : records)
        if (std::int64_t(record.offset) == key.nFilePos)
            keyFound = record.header.IsKeyFrame() && record.header.timeMs == kStartMs + 2000;
    EXPECT_TRUE(keyFound);
}

// A footer that leaves out the first key frame is not the index: exact
// seeks into the first group show their own second, and the first key frame
// is where the file starts.
TEST_F(KvxPlayback, FooterLeavingOutTheFirstKeyFrameIsNotTheIndex)
{
    const std::string path = s_folder->File("first_left_out.kvx");
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(
        path, PLAY_MODULE_TEST::WithFooterEdit(PLAY_MODULE_TEST::ReadFileBytes(s_path),
                                               PLAY_MODULE_TEST::FooterEdit::FirstLeftOut)));
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    FRAME_POS key;
    ASSERT_EQ(1, module->GetKeyFramePos(unsigned(kStartMs / 1000), &key));
    EXPECT_EQ(0, key.nFilePos);
    EXPECT_EQ(kStartMs, key.nFrameTimeMs);
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    for (const unsigned second : {0u, 1u}) {
        SCOPED_TRACE(second);
        ASSERT_EQ(1, module->Seek(unsigned(kStartMs / 1000) + second, 1));
        EXPECT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == second * 1000; }));
        EXPECT_EQ(kStartMs + second * 1000, module->GetCurrentPlayTimeMs());
    }
}

TEST_F(KvxPlayback, IndexBytesComeBackAndSpareTheScanUnlessDamaged)
{
    ASSERT_EQ(1, module->Open(s_path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    EXPECT_EQ(1, module->GetIndexOrigin());
    std::vector<std::uint8_t> bytes = IndexBytes(*module);
    ASSERT_FALSE(bytes.empty());
    unsigned shortLength = 4;
    std::uint8_t tiny[4];
    EXPECT_EQ(0, module->GetRefValue(tiny, &shortLength));
    EXPECT_EQ(bytes.size(), shortLength);
    module->Close();

    RecordingListener second;
    CPlayModule reopened(&second);
    ASSERT_EQ(1, reopened.SetRefValue(bytes.data(), unsigned(bytes.size())));
    ASSERT_EQ(1, reopened.Open(s_path.c_str()));
    ASSERT_TRUE(second.WaitFor([&] { return second.refFinished > 0; }));
    EXPECT_EQ(2, reopened.GetIndexOrigin());
    EXPECT_EQ(bytes, IndexBytes(reopened));

    std::vector<std::uint8_t> damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x40;
    RecordingListener third;
    CPlayModule rescanned(&third);
    EXPECT_EQ(0, rescanned.SetRefValue(damaged.data(), unsigned(damaged.size())));
    ASSERT_EQ(1, rescanned.Open(s_path.c_str()));
    ASSERT_TRUE(third.WaitFor([&] { return third.refFinished > 0; }));
    EXPECT_EQ(1, rescanned.GetIndexOrigin());
}

TEST_F(KvxPlayback, ForeignIndexBytesAreIgnored)
{
    const std::string other = s_folder->MakeKvx(SmallRecording(3), true, "Cam02", 2);
    {
        RecordingListener first;
        CPlayModule module(&first);
        ASSERT_EQ(1, module.Open(other.c_str()));
        ASSERT_TRUE(first.WaitFor([&] { return first.refFinished > 0; }));
        const auto bytes = IndexBytes(module);
        ASSERT_EQ(1, this->module->SetRefValue(const_cast<std::uint8_t*>(bytes.data()),
                                               unsigned(bytes.size())));
    }
    ASSERT_EQ(1, module->Open(s_path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    EXPECT_EQ(1, module->GetIndexOrigin());
}

TEST_F(KvxPlayback, AKeyFrameToKeyFrameByteRangePlays)
{
    ASSERT_EQ(1, module->Open(s_path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    FRAME_POS from, to;
    ASSERT_EQ(1, module->GetKeyFramePos(unsigned(kStartMs / 1000) + 2, &from));
    ASSERT_EQ(1, module->GetNextKeyFramePos(unsigned(kStartMs / 1000) + 2, &to));
    const auto all = PLAY_MODULE_TEST::ReadFileBytes(s_path);
    const std::string range = s_folder->File("range.kvx");
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(
        range, std::vector<std::uint8_t>(all.begin() + from.nFilePos, all.begin() + to.nFilePos)));

    RecordingListener rangeListener;
    CPlayModule rangeModule(&rangeListener);
    rangeModule.SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, rangeModule.Open(range.c_str()));
    ASSERT_EQ(1, rangeModule.Play(nullptr));
    ASSERT_TRUE(rangeListener.WaitForEnd());
    EXPECT_EQ(50u, rangeListener.FrameCount());
    EXPECT_EQ(unsigned(kStartMs / 1000) + 2, rangeModule.GetFileStartTime());
}

TEST_F(KvxPlayback, ANativeRecordingPlaysBackAndKeepsItsWatermark)
{
    const std::string copy = s_folder->File("copy.kvx");
    ASSERT_TRUE(OpenFast(s_path));
    ASSERT_EQ(1, module->StartDataRecord(copy.c_str(), 0));
    EXPECT_EQ(0, module->StartDataRecord(copy.c_str(), 0));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd());
    ASSERT_EQ(1, module->StopDataRecord());
    EXPECT_EQ(0, module->StopDataRecord());

    const auto records = PLAY_MODULE_TEST::ReadAllRecords(copy);
    ASSERT_GT(records.size(), 150u);
    CKvxChainVerifier verifier;
    int signatures = 0;
    for (const auto& record : records) {
        const auto result = verifier.Check(record);
        EXPECT_TRUE(result == CKvxChainVerifier::Result::Ok ||
                    result == CKvxChainVerifier::Result::SignatureValid)
            << int(result) << " at " << record.offset;
        signatures += result == CKvxChainVerifier::Result::SignatureValid;
    }
    EXPECT_GE(signatures, 3);

    RecordingListener playback;
    CPlayModule copyModule(&playback);
    copyModule.SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, copyModule.Open(copy.c_str()));
    ASSERT_EQ(1, copyModule.Play(nullptr));
    ASSERT_TRUE(playback.WaitForEnd());
    EXPECT_EQ(150u, playback.FrameCount());
}

TEST_F(KvxPlayback, DamagedRecordingPlaysUpToTheDamageAndPastIt)
{
    auto bytes = PLAY_MODULE_TEST::ReadFileBytes(s_path);
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 3000; ++i)
        bytes[i] = std::uint8_t(i * 7);
    const std::string damaged = s_folder->File("damaged.kvx");
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(damaged, bytes));
    ASSERT_TRUE(OpenFast(damaged));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd());
    const auto frames = listener.Frames();
    ASSERT_GT(frames.size(), 100u);
    EXPECT_LT(frames.size(), 150u);
    EXPECT_EQ(0, frames.front().stampMs);
    EXPECT_EQ(149 * 40, frames.back().stampMs);
}

TEST_F(KvxPlayback, StepsAndReversePlayAcrossKeyFrames)
{
    ASSERT_TRUE(OpenFast(s_path));
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    const unsigned start = unsigned(kStartMs / 1000);
    ASSERT_EQ(1, module->Seek(start + 4, 1));
    EXPECT_EQ(4000, listener.LastFrame().stampMs);
    ASSERT_EQ(1, module->StepBackward());
    EXPECT_EQ(3960, listener.LastFrame().stampMs);
    ASSERT_EQ(1, module->StepForward());
    ASSERT_EQ(1, module->StepForward());
    EXPECT_EQ(4040, listener.LastFrame().stampMs);

    listener.ClearFrames();
    ASSERT_EQ(1, module->PlayBackward());
    module->Resume();
    ASSERT_TRUE(listener.WaitForEnd());
    const auto frames = listener.Frames();
    ASSERT_EQ(101u, frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(4000 - std::int64_t(i) * 40, frames[i].stampMs) << i;
}

TEST_F(KvxPlayback, SeekToTheStartSecondOfARecordingStartingMidSecond)
{
    KVX_WRITER::SyntheticOptions options = SmallRecording(3);
    options.startUtcMs = kStartMs + 600;
    const std::string path = s_folder->MakeKvx(options, true, "MidSecond");
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(unsigned(kStartMs / 1000), module->GetFileStartTime());
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(unsigned(kStartMs / 1000) + 2, 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1400; }));
    // The start second holds the first frame: seeking to it shows that frame.
    ASSERT_EQ(1, module->Seek(module->GetFileStartTime(), 1));
    EXPECT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 0; }));
    EXPECT_EQ(kStartMs + 600, module->GetCurrentPlayTimeMs());
    // A second before the start is outside the file.
    EXPECT_EQ(0, module->Seek(module->GetFileStartTime() - 1, 1));
}
