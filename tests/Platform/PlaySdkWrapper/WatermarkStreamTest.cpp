#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordEncoder.h"
#include "Platform/PlayModule/Format/KvxSigner.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/FooterEdits.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "StreamFeeding.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;
using namespace STREAM_TEST;

namespace {

constexpr std::size_t kBlock = 131072;

class WatermarkStream : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new CSampleFolder;
        s_signed = ReadFileBytes(s_folder->MakeKvx(ShortRecordingOptions()));
    }
    static void TearDownTestSuite() { delete s_folder; }

    // Feeds the bytes as the watermark page does and collects the reports.
    std::vector<Report> Check(std::span<const std::uint8_t> bytes, std::size_t block = kBlock)
    {
        CReportCollector collector;
        {
            CPlaySdkWrapper player;
            player.SetWatermarkListener(&collector);
            player.SetStreamOpenMode(1);
            player.OpenStream(921600);
            player.EnableWaterMarkCallBackEx();
            player.Play(nullptr);
            EXPECT_TRUE(Feed(player, bytes, block));
            EXPECT_TRUE(Drain(player));
            const auto atDrain = collector.Reports().size();
            player.Stop();
            player.CloseStream();
            EXPECT_EQ(collector.Reports().size(), atDrain) << "reports after the drain";
            if (atDrain > 0) {
                EXPECT_EQ(collector.sender, &player);
            }
        }
        return collector.Reports();
    }

    static std::vector<KvxRecord> SignedRecords() { return Records(s_signed); }

    static std::size_t IndexOfVideo(const std::vector<KvxRecord>& records, int nth, bool key)
    {
        for (std::size_t i = 0; i < records.size(); ++i)
            if (records[i].header.kind == kvx::RecordKind::Video &&
                records[i].header.IsKeyFrame() == key && nth-- == 0)
                return i;
        return records.size();
    }

    static std::vector<Report> ErrorsOf(const std::vector<Report>& reports)
    {
        std::vector<Report> errors;
        for (const Report& report : reports)
            if (report.result != kWatermarkResultOk) errors.push_back(report);
        return errors;
    }

    static long Seconds(const KvxRecord& record) { return long(record.header.timeMs / 1000); }

    // Signed bytes of a recording that begins 12 s after the first one.
    static std::vector<std::uint8_t> LaterRecording()
    {
        KVX_WRITER::SyntheticOptions options = ShortRecordingOptions();
        options.startUtcMs += 12000;
        return ReadFileBytes(s_folder->MakeKvx(options, true, "Later"));
    }

    static CSampleFolder* s_folder;
    static std::vector<std::uint8_t> s_signed;
};

CSampleFolder* WatermarkStream::s_folder = nullptr;
std::vector<std::uint8_t> WatermarkStream::s_signed;

}  // namespace

TEST_F(WatermarkStream, UntouchedRecordingGivesOnlyTextReportsOfResultOne)
{
    ASSERT_FALSE(s_signed.empty());
    const auto reports = Check(s_signed);
    ASSERT_EQ(reports.size(), 3u);  // one watermark text per group
    for (const Report& report : reports) {
        EXPECT_EQ(report.kind, kWatermarkKindText);
        EXPECT_EQ(report.result, kWatermarkResultOk);
        EXPECT_EQ(report.text, "Lumivex test recorder");
    }
    EXPECT_EQ(reports.front().time, 1451703845);
}

TEST_F(WatermarkStream, OneChangedByteFailsThatRecordsDataAtItsTime)
{
    auto records = SignedRecords();
    const std::size_t changed = IndexOfVideo(records, 30, false);
    ASSERT_LT(changed, records.size());
    records[changed].payload[records[changed].payload.size() / 2] ^= 0x40;
    const auto errors = ErrorsOf(Check(Serialize(records)));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].result, kWatermarkResultData);
    EXPECT_EQ(errors[0].time, Seconds(records[changed]));
}

TEST_F(WatermarkStream, RemovedRecordIsAFrameLossWhereTheGapIs)
{
    auto records = SignedRecords();
    const std::size_t removed = IndexOfVideo(records, 70, false);
    ASSERT_LT(removed + 1, records.size());
    const long gapTime = Seconds(records[removed + 1]);
    records.erase(records.begin() + std::ptrdiff_t(removed));
    const auto errors = ErrorsOf(Check(Serialize(records)));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].result, kWatermarkResultFrameLoss);
    EXPECT_EQ(errors[0].time, gapTime);
    for (const Report& error : errors) EXPECT_EQ(error.result, kWatermarkResultFrameLoss);
}

TEST_F(WatermarkStream, SwappedRecordsAreAFrameLoss)
{
    auto records = SignedRecords();
    const std::size_t first = IndexOfVideo(records, 100, false);
    ASSERT_LT(first + 1, records.size());
    std::swap(records[first], records[first + 1]);
    const auto errors = ErrorsOf(Check(Serialize(records)));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].result, kWatermarkResultFrameLoss);
    EXPECT_EQ(errors[0].time, Seconds(records[first]));
}

// A recording that holds no signature of our key, or no watermark text, is
// reported once, for what it lacks, at its first record's time.
TEST_F(WatermarkStream, RecordingWithoutOurWatermarkIsReportedOnceForWhatItLacks)
{
    auto foreign = ShortRecordingOptions();
    foreign.signer = CKvxSigner::Generate();
    auto plain = ShortRecordingOptions();
    plain.watermark.clear();
    const struct {
        const char* name;
        std::string path;
        long result;
    } cases[] = {
        {"another key", s_folder->MakeKvx(foreign, true, "Forged"), kWatermarkResultUnknownKey},
        {"unsigned", s_folder->MakeKvx(ShortRecordingOptions(), false, "Unsigned"), kWatermarkResultNoWatermark},
        {"unsigned, no text", s_folder->MakeKvx(plain, false, "Plain"), kWatermarkResultNoWatermark},
        {"signed, no text", s_folder->MakeKvx(plain, true, "NoText"), kWatermarkResultNoWatermark},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = ReadFileBytes(c.path);
        const auto errors = ErrorsOf(Check(bytes));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].kind, kWatermarkKindRecord);
        EXPECT_EQ(errors[0].result, c.result);
        EXPECT_EQ(errors[0].time, Seconds(Records(bytes).front()));
    }
}

TEST_F(WatermarkStream, KeyFrameToKeyFrameRangeChecksClean)
{
    const auto records = SignedRecords();
    const std::size_t from = IndexOfVideo(records, 1, true);
    const std::size_t to = IndexOfVideo(records, 2, true);
    ASSERT_LT(to, records.size());
    const auto range = Serialize({records.begin() + std::ptrdiff_t(from), records.begin() + std::ptrdiff_t(to)});
    const auto reports = Check(range);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].result, kWatermarkResultOk);
    EXPECT_EQ(reports[0].time, Seconds(records[from]));
}

TEST_F(WatermarkStream, RecordingCutInsideARecordReportsTheUnsignedTailAndTheLeftOver)
{
    std::vector<std::uint8_t> cut(s_signed.begin(), s_signed.begin() + std::ptrdiff_t(s_signed.size() * 2 / 3));
    const auto errors = ErrorsOf(Check(cut));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].result, kWatermarkResultSignature);
    EXPECT_EQ(errors[1].result, kWatermarkResultData);
    EXPECT_EQ(errors[1].time, Seconds(Records(cut).back()));
}

TEST_F(WatermarkStream, BytesThatAreNoRecordsFailAtTheRecordBesideThem)
{
    const auto records = SignedRecords();
    const std::size_t secondKey = IndexOfVideo(records, 1, true);
    ASSERT_LT(secondKey, records.size());
    std::mt19937 random(11);
    auto junk = [&](std::size_t size) {
        std::vector<std::uint8_t> bytes(size);
        for (auto& byte : bytes) byte = std::uint8_t(random());
        return bytes;
    };
    struct Case {
        const char* name;
        std::size_t at;
        std::size_t size;
        long time;
        bool movesKeyFrames;  // the footer no longer names where they are
    };
    const std::vector<Case> cases = {
        {"between two groups", std::size_t(records[secondKey].offset), 4096, Seconds(records[secondKey]), true},
        {"prepended", 0, 8192, Seconds(records.front()), true},
        {"appended", s_signed.size(), 20, Seconds(records.back()), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bytes = s_signed;
        const auto inserted = junk(c.size);
        bytes.insert(bytes.begin() + std::ptrdiff_t(c.at), inserted.begin(), inserted.end());
        const auto errors = ErrorsOf(Check(bytes));
        ASSERT_EQ(errors.size(), c.movesKeyFrames ? 2u : 1u);
        EXPECT_EQ(errors[0].kind, kWatermarkKindRecord);
        EXPECT_EQ(errors[0].result, kWatermarkResultData);
        EXPECT_EQ(errors[0].time, c.time);
        EXPECT_EQ(errors.back().time, Seconds(records.back()));
    }
}

TEST_F(WatermarkStream, WholeGroupsTrimmedAtEitherEndCheckClean)
{
    // A trim of the end loses the writer's key-frame footer; a clip from the
    // middle to the end gets its own, as the export writes it.
    const auto records = SignedRecords();
    const std::size_t secondKey = IndexOfVideo(records, 1, true);
    const std::size_t thirdKey = IndexOfVideo(records, 2, true);
    ASSERT_LT(thirdKey, records.size());
    ASSERT_GT(s_signed.size(), records.back().offset + records.back().TotalSize());
    const auto from = s_signed.begin() + std::ptrdiff_t(records[secondKey].offset);
    const auto to = s_signed.begin() + std::ptrdiff_t(records[thirdKey].offset);
    const auto recordsEnd = s_signed.begin() + std::ptrdiff_t(records.back().offset + records.back().TotalSize());
    const std::vector<std::vector<std::uint8_t>> clips = {
        s_signed, {s_signed.begin(), to}, {from, to}, WithOwnFooter({from, recordsEnd})};
    for (std::size_t i = 0; i < clips.size(); ++i) {
        SCOPED_TRACE(i);
        const auto reports = Check(clips[i]);
        EXPECT_FALSE(reports.empty());
        EXPECT_TRUE(ErrorsOf(reports).empty());
    }
}

TEST_F(WatermarkStream, RandomBytesAndOtherContainersGiveErrors)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(300000);
    for (auto& byte : noise) byte = std::uint8_t(random());
    EXPECT_FALSE(Check(noise).empty());
    EXPECT_FALSE(Check(std::vector<std::uint8_t>(10, 0)).empty());

    const std::string ts = s_folder->File("sample.ts");
    ContainerSampleOptions options;
    options.seconds = 1;
    ASSERT_TRUE(MakeContainerSample(ts, ContainerKind::Ts, options));
    const auto reports = Check(ReadFileBytes(ts));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].result, kWatermarkResultNoWatermark);
    EXPECT_EQ(reports[0].time, kWatermarkTimeUnknown) << "no record dates it";
}

TEST_F(WatermarkStream, ReportsOfOneByteBlocksMatchThoseOfWholeBlocks)
{
    auto records = SignedRecords();
    records[IndexOfVideo(records, 10, false)].payload[3] ^= 1;
    const auto bytes = Serialize(records);
    const auto whole = Check(bytes);
    CReportCollector collector;
    CPlaySdkWrapper player;
    player.SetWatermarkListener(&collector);
    player.OpenStream(4096);
    player.EnableWaterMarkCallBackEx();
    player.Play(nullptr);
    ASSERT_TRUE(Feed(player, bytes, 997));
    ASSERT_TRUE(Drain(player));
    const auto small = collector.Reports();
    ASSERT_EQ(small.size(), whole.size());
    for (std::size_t i = 0; i < small.size(); ++i) {
        EXPECT_EQ(small[i].result, whole[i].result);
        EXPECT_EQ(small[i].time, whole[i].time);
    }
}

TEST_F(WatermarkStream, ChangedWatermarkTextIsReportedWithItsError)
{
    auto records = SignedRecords();
    auto text = std::find_if(records.begin(), records.end(), [](const KvxRecord& record) {
        return record.header.kind == kvx::RecordKind::Watermark;
    });
    ASSERT_NE(text, records.end());
    text->payload[0] = 'X';
    const auto reports = Check(Serialize(records));
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].kind, kWatermarkKindText);
    EXPECT_EQ(reports[0].text, "Xumivex test recorder");
    EXPECT_EQ(reports[0].result, kWatermarkResultData);
    EXPECT_EQ(reports[1].result, kWatermarkResultOk);
}

TEST_F(WatermarkStream, DamagedFirstRecordIsStillReadAsARecording)
{
    auto bytes = s_signed;
    bytes[5] ^= 0xFF;  // the first header fails its checks
    const auto reports = Check(bytes);
    const auto errors = ErrorsOf(reports);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].result, kWatermarkResultFrameLoss);
    EXPECT_GE(reports.size() - errors.size(), 2u);  // watermark texts of later groups
}

// The reserved header bytes lie outside the digest: a record whose reserved
// bytes are not 0 (its header checksum redone) is changed data, at its time.
TEST_F(WatermarkStream, ReservedHeaderBytesFailThatRecordAtItsTime)
{
    const auto records = SignedRecords();
    const std::size_t changed = IndexOfVideo(records, 40, false);
    ASSERT_LT(changed, records.size());
    auto bytes = s_signed;
    std::uint8_t* header = bytes.data() + records[changed].offset;
    StoreU32(header + 40, 0x20202020);
    StoreU32(header + 44, Crc32(header, kvx::kChecksummedHeaderSize));
    const auto errors = ErrorsOf(Check(bytes));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].result, kWatermarkResultData);
    EXPECT_EQ(errors[0].time, Seconds(records[changed]));
}

// A footer that agrees with itself but not with the records before it is
// changed data at the last record's time.
TEST_F(WatermarkStream, FooterThatDoesNotNameTheseRecordsFailsAtTheLastRecord)
{
    auto options = ShortRecordingOptions();
    options.startUtcMs += 3600000;
    const auto other = ReadFileBytes(s_folder->MakeKvx(options, true, "Other"));
    const long lastTime = Seconds(SignedRecords().back());
    for (const FooterEdit edit : {FooterEdit::FromOtherRecording, FooterEdit::PositionsMoved, FooterEdit::TableMovedToo,
                                  FooterEdit::TimesMoved, FooterEdit::ReservedSet, FooterEdit::MadeUpTable,
                                  FooterEdit::FirstLeftOut}) {
        SCOPED_TRACE(int(edit));
        const auto errors = ErrorsOf(Check(WithFooterEdit(s_signed, edit, other)));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].result, kWatermarkResultData);
        EXPECT_EQ(errors[0].time, lastTime);
    }
}

// A footer verifies only when it names every key frame checked and no
// other: one that claims a front cut (key frames before the first record,
// invented or of a part really cut off) is changed data at the last record.
TEST_F(WatermarkStream, FooterClaimingAFrontCutFailsAtTheLastRecord)
{
    using Entries = std::vector<std::pair<std::int64_t, std::uint64_t>>;
    constexpr std::int64_t kHour = 3600000;
    const auto records = SignedRecords();
    const std::uint64_t cut = records[IndexOfVideo(records, 1, true)].offset;
    const std::int64_t start = records.front().header.timeMs;
    const std::vector<std::uint8_t> frontCut(s_signed.begin() + std::ptrdiff_t(cut), s_signed.end());
    const std::string text = std::string(83, 'x').replace(0, 45, "Made up by hand: key frames before the start.");
    Entries textEntries;  // 83 bytes of text, five in each time
    for (std::size_t at = 0; at < text.size(); at += 5) {
        std::uint8_t time[8] = {};
        std::copy_n(text.begin() + std::ptrdiff_t(at), std::min<std::size_t>(5, text.size() - at), time);
        textEntries.emplace_back(std::int64_t(LoadU64(time)), at * 16);
    }
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"uncut, an hour earlier", WithClaimedFrontCut(s_signed, 4096, 4096, {{start - kHour, 0}, {start - kHour + 2000, 2048}})},
        {"uncut, a day earlier", WithClaimedFrontCut(s_signed, 1 << 20, 1 << 20, {{start - 24 * kHour, 0}})},
        {"uncut, 83 bytes of text", WithClaimedFrontCut(s_signed, 4096, 4096, textEntries)},
        {"cut, the whole file's footer", frontCut},
        {"cut, cut-off entries invented", WithClaimedFrontCut(frontCut, 0, cut, {{start - kHour, 0}, {start - 1000, 64}})},
    };
    const long lastTime = Seconds(records.back());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reports = Check(c.bytes);
        const auto errors = ErrorsOf(reports);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].result, kWatermarkResultData);
        EXPECT_EQ(errors[0].time, lastTime);
        EXPECT_GT(reports.size(), errors.size()) << "the watermark texts still verify";
    }
}

// Twelve hours at 25 fps, every picture a key frame (as MJPEG recorders
// write): the footer of our writer is over 16 MiB, and still no changed data.
TEST_F(WatermarkStream, FooterOfOverAMillionKeyFramesIsNoChangedData)
{
    constexpr int kKeyFrames = 1056000;  // 11 h 44 min
    const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1};
    const std::vector<std::uint8_t> picture{0, 0, 0, 1, 0x65, 2};
    KvxVideoFrame frame;
    frame.keyFrame = true;
    frame.width = frame.height = 32;
    frame.parameterSets = params;
    frame.data = picture;
    CKvxRecordEncoder encoder;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(kKeyFrames) * 96 + (17u << 20));
    for (int i = 0; i < kKeyFrames; ++i) {
        frame.timeMs = 1700000000000 + std::int64_t(i) * 40;
        encoder.AddVideo(frame, bytes);
    }
    CKvxIndexFooter footer;
    footer.NoteRecords(bytes, 0);
    const auto table = footer.Encode(bytes.size());
    ASSERT_GT(table.size(), 16u << 20);
    bytes.insert(bytes.end(), table.begin(), table.end());

    for (const Report& report : ErrorsOf(Check(bytes)))
        EXPECT_NE(report.result, kWatermarkResultData) << report.time;
}

// A record cut in half, then a recording written on: a block that ends just
// after the cut record's claimed end changes nothing of the details.
TEST_F(WatermarkStream, RecordingResumedAfterACutRecordGivesTheSameDetailsHoweverItIsFed)
{
    const auto records = SignedRecords();
    const KvxRecord& cut = records[IndexOfVideo(records, 60, false)];
    std::vector<std::uint8_t> bytes(s_signed.begin(), s_signed.begin() + std::ptrdiff_t(cut.offset + cut.TotalSize() / 2));
    const auto later = LaterRecording();
    bytes.insert(bytes.end(), later.begin(), later.end());
    const std::size_t claimedEnd = std::size_t(cut.offset + cut.TotalSize());
    ASSERT_LT(claimedEnd + 4, bytes.size());
    const auto reference = Check(bytes);
    EXPECT_FALSE(ErrorsOf(reference).empty());
    for (const std::size_t block : {claimedEnd + 1, claimedEnd + 3, std::size_t(997)}) {
        SCOPED_TRACE(block);
        const auto fed = Check(bytes, block);
        ASSERT_EQ(fed.size(), reference.size());
        for (std::size_t i = 0; i < fed.size(); ++i) {
            EXPECT_EQ(fed[i].result, reference[i].result);
            EXPECT_EQ(fed[i].time, reference[i].time);
        }
    }
}

// Records past a gap that the reader does not pass are bytes after the
// recording: changed data at its last record's time, not a loss of frames.
TEST_F(WatermarkStream, RecordingPastAGapOfZerosIsChangedDataAfterTheRecords)
{
    const auto records = SignedRecords();
    const auto recordsEnd = std::ptrdiff_t(records.back().offset + records.back().TotalSize());
    std::vector<std::uint8_t> bytes(s_signed.begin(), s_signed.begin() + recordsEnd);
    bytes.resize(bytes.size() + kvx::kMaxGapBytes + (100u << 10), 0);
    const auto later = LaterRecording();
    bytes.insert(bytes.end(), later.begin(), later.end());
    const auto errors = ErrorsOf(Check(bytes));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].kind, kWatermarkKindRecord);
    EXPECT_EQ(errors[0].result, kWatermarkResultData);
    EXPECT_EQ(errors[0].time, Seconds(records.back()));
}
