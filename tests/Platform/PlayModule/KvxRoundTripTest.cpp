#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Format/KvxFileWriter.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxOverlayRules.h"
#include "Platform/PlayModule/Format/KvxOverlayTargets.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"
#include "Platform/PlayModule/Support/FullDecode.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

struct Expected {
    kvx::RecordKind kind;
    std::int64_t timeMs;
    std::vector<std::uint8_t> data;  // frame, audio data or block as written
    bool key = false;
};

std::vector<std::uint8_t> Pattern(std::size_t size, int seed)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
    return bytes;
}

// Writes a mix of every record kind, unsigned, and returns what was written.
std::vector<Expected> WriteMixedFile(const std::string& path)
{
    std::vector<Expected> expected;
    CKvxFileWriter writer;
    EXPECT_TRUE(writer.Open(path));
    const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4};
    for (int i = 0; i < 12; ++i) {
        const std::int64_t t = 1700000000000 + i * 40;
        const auto frame = Pattern(100 + i * 13, i);
        KvxVideoFrame video;
        video.keyFrame = i % 4 == 0;
        video.width = 704;
        video.height = 576;
        video.timeMs = t;
        video.parameterSets = params;
        video.data = frame;
        writer.WriteVideo(video);
        expected.push_back({kvx::RecordKind::Video, t, frame, video.keyFrame});
        const auto samples = Pattern(320, 100 + i);
        KvxAudioPayload audio;
        audio.codec = i % 2 ? kvx::AudioCodec::G711MuLaw : kvx::AudioCodec::G711ALaw;
        audio.data = samples;
        writer.WriteAudio(audio, t + 5);
        expected.push_back({kvx::RecordKind::Audio, t + 5, samples});
    }
    KvxOverlayRules rules;
    rules.rules.push_back({3, KvxOverlayRules::Polygon, true, {{1, 2}, {300, 400}, {8191, 0}}, "Tür"});
    writer.WriteOverlay(kvx::RecordKind::OverlayRules, 1700000000500, rules.Encode());
    expected.push_back({kvx::RecordKind::OverlayRules, 1700000000500, rules.Encode()});
    writer.WriteWatermark(1700000000600, "Recorder 7 — Halle");
    const std::string text = "Recorder 7 — Halle";
    expected.push_back({kvx::RecordKind::Watermark, 1700000000600, {text.begin(), text.end()}});
    EXPECT_TRUE(writer.Close());
    return expected;
}

std::vector<std::uint8_t> ContentOf(const KvxRecord& record)
{
    if (record.header.kind == kvx::RecordKind::Video) {
        KvxVideoPayload video;
        EXPECT_TRUE(video.Decode(record.payload, record.header.IsKeyFrame()));
        return {video.frame.begin(), video.frame.end()};
    }
    if (record.header.kind == kvx::RecordKind::Audio) {
        KvxAudioPayload audio;
        EXPECT_TRUE(audio.Decode(record.payload));
        return {audio.data.begin(), audio.data.end()};
    }
    return record.payload;
}

}  // namespace

TEST(KvxRoundTrip, RecordsReadBackWithTheirTimesKindsAndPayloads)
{
    CSampleFolder folder;
    const auto path = folder.File("mixed.kvx");
    const auto expected = WriteMixedFile(path);
    const auto records = ReadAllRecords(path);
    ASSERT_EQ(records.size(), expected.size());
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].header.kind, expected[i].kind);
        EXPECT_EQ(records[i].header.timeMs, expected[i].timeMs);
        EXPECT_EQ(records[i].header.IsKeyFrame(), expected[i].key);
        EXPECT_EQ(records[i].header.sequence, i);
        EXPECT_EQ(records[i].offset, offset);
        EXPECT_EQ(ContentOf(records[i]), expected[i].data);
        offset += records[i].TotalSize();
    }
    // Only the key-frame footer follows the records.
    const auto keyFrames = std::count_if(records.begin(), records.end(), [](const auto& r) { return r.header.IsKeyFrame(); });
    EXPECT_EQ(offset + std::uint64_t(keyFrames) * CKvxIndexFooter::kEntrySize + CKvxIndexFooter::kTrailerSize,
              ReadFileBytes(path).size());
}

TEST(KvxRoundTrip, KeyFramesCarryCodecSizeRateAndParameterSets)
{
    CSampleFolder folder;
    const auto path = folder.File("mixed.kvx");
    WriteMixedFile(path);
    int keys = 0;
    for (const auto& record : ReadAllRecords(path)) {
        if (!record.header.IsKeyFrame()) continue;
        KvxVideoPayload video;
        ASSERT_TRUE(video.Decode(record.payload, true));
        EXPECT_EQ(video.codec, kvx::VideoCodec::H264);
        EXPECT_EQ(video.width, 704);
        EXPECT_EQ(video.height, 576);
        EXPECT_EQ(video.frameRateMilli, 25000u);
        EXPECT_EQ(video.parameterSets.size(), 14u);
        ++keys;
    }
    EXPECT_EQ(keys, 3);
}

TEST(KvxRoundTrip, OverlayBlocksDecodeToWhatWasEncoded)
{
    KvxOverlayTargets targets;
    targets.targets.push_back({9, KvxOverlayTargets::Vehicle, true, {10, 20}, {300, 400}, {{1, 1}, {2, 2}}});
    targets.targets.push_back({10, KvxOverlayTargets::Person, false, {0, 0}, {8191, 8191}, {}});
    KvxOverlayTargets back;
    ASSERT_TRUE(back.Decode(targets.Encode()));
    EXPECT_EQ(back.targets, targets.targets);

    KvxOverlayRules rules;
    rules.rules.push_back({1, KvxOverlayRules::Line, false, {{0, 4096}, {8191, 4096}}, "Line"});
    KvxOverlayRules rulesBack;
    ASSERT_TRUE(rulesBack.Decode(rules.Encode()));
    EXPECT_EQ(rulesBack.rules, rules.rules);
}

TEST(KvxRoundTrip, OverlayBlocksWithMoreItemsThanACountHoldsKeepTheFirstOnes)
{
    KvxOverlayRules rules;
    for (std::uint32_t id = 0; id < 70000; ++id)
        rules.rules.push_back({id, KvxOverlayRules::Line, false, {}, ""});
    rules.rules[0].points.assign(70000, KvxOverlayPoint{7, 8});
    KvxOverlayRules back;
    ASSERT_TRUE(back.Decode(rules.Encode()));
    ASSERT_EQ(back.rules.size(), 0xFFFFu);
    EXPECT_EQ(back.rules[0].points.size(), 0xFFFFu);
    EXPECT_EQ(back.rules.back().id, 0xFFFEu);

    KvxOverlayTargets targets;
    targets.targets.resize(70000);
    targets.targets[1].track.assign(70000, KvxOverlayPoint{1, 2});
    KvxOverlayTargets targetsBack;
    ASSERT_TRUE(targetsBack.Decode(targets.Encode()));
    EXPECT_EQ(targetsBack.targets.size(), 0xFFFFu);
    EXPECT_EQ(targetsBack.targets[1].track.size(), 0xFFFFu);
}

TEST(KvxRoundTrip, TruncatedOrPaddedOverlayBlocksAreRefused)
{
    KvxOverlayRules rules;
    rules.rules.push_back({1, KvxOverlayRules::Polygon, false, {{1, 2}, {3, 4}, {5, 6}}, "Zone"});
    const auto bytes = rules.Encode();
    KvxOverlayRules back;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(back.Decode({bytes.data(), cut})) << cut;
    auto padded = bytes;
    padded.push_back(0);
    EXPECT_FALSE(back.Decode(padded));
    auto hugeCount = bytes;
    hugeCount[2] = hugeCount[3] = 0xFF;
    EXPECT_FALSE(back.Decode(hugeCount));
}

TEST(KvxRoundTrip, SyntheticRecordingHoldsEveryKindInTimeOrderAndDecodes)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 2;
    options.width = 320;
    options.height = 240;
    options.gopSeconds = 1;
    const auto path = folder.MakeKvx(options);
    ASSERT_FALSE(path.empty());
    const auto records = ReadAllRecords(path);
    std::map<kvx::RecordKind, int> counts;
    for (const auto& r : records) {
        ++counts[r.header.kind];
        EXPECT_GE(r.header.timeMs, options.startUtcMs);
        EXPECT_LT(r.header.timeMs, options.startUtcMs + 2000);
    }
    EXPECT_EQ(counts[kvx::RecordKind::Video], 50);
    EXPECT_GT(counts[kvx::RecordKind::Audio], 40);
    EXPECT_EQ(counts[kvx::RecordKind::OverlayRules], 2);
    EXPECT_EQ(counts[kvx::RecordKind::OverlayTargets], 10);
    EXPECT_EQ(counts[kvx::RecordKind::Watermark], 2);
    EXPECT_EQ(counts[kvx::RecordKind::Signature], 2);  // before the second key frame, and at the end
    EXPECT_TRUE(records.front().header.IsKeyFrame());
    EXPECT_EQ(DecodeKvxVideo(ReadFileBytes(path)), 50);
}

TEST(KvxRoundTrip, EveryKeyFrameToKeyFrameRangeIsAValidRecordingOnItsOwn)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 3;
    options.width = 320;
    options.height = 240;
    options.gopSeconds = 1;
    const auto path = folder.MakeKvx(options);
    const auto bytes = ReadFileBytes(path);
    const auto records = ReadAllRecords(path);
    std::vector<std::uint64_t> cuts;
    for (const auto& r : records)
        if (r.header.IsKeyFrame()) cuts.push_back(r.offset);
    cuts.push_back(records.back().offset + records.back().TotalSize());  // the footer follows
    ASSERT_EQ(cuts.size(), 4u);
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        SCOPED_TRACE(i);
        const std::vector<std::uint8_t> range(bytes.begin() + static_cast<std::ptrdiff_t>(cuts[i]),
                                              bytes.begin() + static_cast<std::ptrdiff_t>(cuts[i + 1]));
        CKvxRecordParser parser;
        parser.Feed(range);
        CKvxChainVerifier verifier;
        KvxRecord record;
        int count = 0, signatures = 0;
        while (parser.Next(record) == CKvxRecordParser::Status::Record) {
            if (count++ == 0) {
                EXPECT_TRUE(record.header.IsKeyFrame());
            }
            const auto result = verifier.Check(record);
            EXPECT_TRUE(result == CKvxChainVerifier::Result::Ok ||
                        result == CKvxChainVerifier::Result::SignatureValid);
            signatures += result == CKvxChainVerifier::Result::SignatureValid;
        }
        EXPECT_EQ(parser.PendingBytes(), 0u);
        EXPECT_EQ(parser.SkippedBytes(), 0u);
        EXPECT_EQ(signatures, 1);  // the range ends with the signature over it
        EXPECT_EQ(DecodeKvxVideo(range), 25);
    }
}

TEST(KvxRoundTrip, ParserGivesTheSameRecordsForAnyBlockSize)
{
    CSampleFolder folder;
    const auto path = folder.File("mixed.kvx");
    WriteMixedFile(path);
    const auto bytes = ReadFileBytes(path);
    const auto whole = ReadAllRecords(path);
    for (std::size_t block : {1u, 7u, 48u, 1000u, 131072u}) {
        CKvxRecordParser parser;
        std::vector<KvxRecord> got;
        KvxRecord record;
        for (std::size_t done = 0; done < bytes.size(); done += block) {
            parser.Feed({bytes.data() + done, std::min(block, bytes.size() - done)});
            while (parser.Next(record) == CKvxRecordParser::Status::Record) got.push_back(record);
        }
        ASSERT_EQ(got.size(), whole.size()) << block;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].offset, whole[i].offset);
            EXPECT_EQ(got[i].payload, whole[i].payload);
        }
    }
}

TEST(KvxFileWriter, WritesUnderTheUnfinishedNameAndRenamesOnClose)
{
    CSampleFolder folder;
    const auto path = folder.File("rec.kvx");
    CKvxFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    EXPECT_EQ(writer.WorkingPath(), path + "_");
    writer.WriteWatermark(1, "x");
    EXPECT_TRUE(std::filesystem::exists(path + "_"));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(writer.Close());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(path + "_"));

    CKvxFileWriter dropped;
    ASSERT_TRUE(dropped.Open(folder.File("dropped.kvx")));
    dropped.Abort();
    EXPECT_FALSE(std::filesystem::exists(folder.File("dropped.kvx_")));

    CKvxFileWriter nowhere;
    EXPECT_FALSE(nowhere.Open(folder.File("missing/rec.kvx")));
    EXPECT_FALSE(nowhere.WriteWatermark(1, "x"));
    EXPECT_FALSE(nowhere.Close());
}

TEST(KvxFileWriter, RecordsNoReaderWouldTakeAreWriteFailures)
{
    CSampleFolder folder;
    const std::vector<std::uint8_t> huge(kvx::kMaxPayloadSize + 1, 0x11);
    KvxVideoFrame video;
    video.timeMs = 1700000000000;
    video.data = huge;
    KvxAudioPayload audio;
    audio.codec = kvx::AudioCodec::G711ALaw;
    audio.data = huge;
    const std::string text(kvx::kMaxPayloadSize + 1, 'w');
    const std::function<bool(CKvxFileWriter&)> writes[] = {
        [&](CKvxFileWriter& w) { return w.WriteVideo(video); },
        [&](CKvxFileWriter& w) { return w.WriteAudio(audio, video.timeMs); },
        [&](CKvxFileWriter& w) {
            return w.WriteOverlay(kvx::RecordKind::OverlayTargets, video.timeMs, huge);
        },
        [&](CKvxFileWriter& w) { return w.WriteWatermark(video.timeMs, text); },
        [&](CKvxFileWriter& w) { return w.WriteWatermark(kvx::kMaxTimeMs + 1, "late"); },
    };
    int n = 0;
    for (const auto& write : writes) {
        const std::string path = folder.File("refused" + std::to_string(n++) + ".kvx");
        CKvxFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        ASSERT_TRUE(writer.WriteWatermark(video.timeMs, "before"));
        EXPECT_FALSE(write(writer)) << n;
        EXPECT_FALSE(writer.Close()) << n;
        EXPECT_FALSE(std::filesystem::exists(path)) << n;
    }
}
