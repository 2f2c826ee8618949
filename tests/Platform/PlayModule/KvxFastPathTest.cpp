#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Format/KvxFileWriter.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Source/KvxMediaSource.h"
#include "Platform/PlayModule/Support/KvxReferenceWalk.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

constexpr std::int64_t kStart = 1700000000000;

struct Plan {
    std::size_t pictureBytes = 10000;
    int frames = 50;
    int fps = 25;
    int gop = 25;  // frames from key frame to key frame
    bool sound = false;
    std::int64_t startMs = kStart;
};

std::int64_t FrameTime(const Plan& plan, int frame) { return plan.startMs + frame * 1000 / plan.fps; }

// A recording of our writer: pictures of random bytes, with sound and the
// device text when asked.
void WriteRecording(const std::string& path, const Plan& plan)
{
    CKvxFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    std::mt19937 random(unsigned(plan.pictureBytes + plan.frames));
    std::vector<std::uint8_t> picture(plan.pictureBytes);
    const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4};
    const std::vector<std::uint8_t> samples(320, 0xD5);
    for (int i = 0; i < plan.frames; ++i) {
        for (std::size_t at = 0; at < picture.size(); at += 4096) picture[at] = std::uint8_t(random());
        KvxVideoFrame video;
        video.keyFrame = i % plan.gop == 0;
        video.width = 1280;
        video.height = 720;
        video.frameRateMilli = std::uint32_t(plan.fps * 1000);
        video.timeMs = FrameTime(plan, i);
        video.parameterSets = params;
        video.data = picture;
        ASSERT_TRUE(writer.WriteVideo(video));
        if (video.keyFrame && plan.sound) {
            ASSERT_TRUE(writer.WriteWatermark(video.timeMs, "Cam 3"));
        }
        if (!plan.sound) continue;
        KvxAudioPayload audio;
        audio.data = samples;
        ASSERT_TRUE(writer.WriteAudio(audio, video.timeMs));
    }
    ASSERT_TRUE(writer.Close());
}

std::uint64_t RecordsEnd(const std::string& path)
{
    CKvxFileReader reader;
    return reader.Open(path) ? reader.RecordsEnd() : 0;
}

// Cuts the footer off, then makes the file size bytes long with zeros
// (sparse: nothing is written).
void ZerosAfterRecords(const std::string& path, std::uint64_t size)
{
    std::filesystem::resize_file(path, RecordsEnd(path));
    std::filesystem::resize_file(path, size);
}

// Cuts the file in the middle of its record at about fraction of its records.
void CutInsideRecord(const std::string& path, double fraction)
{
    const auto records = ReadAllRecords(path);
    const auto& record = records[std::size_t(double(records.size()) * fraction)];
    std::filesystem::resize_file(path, record.offset + record.TotalSize() / 2);
}

// A record whose length field reaches two bytes into the next record's
// header (its checksum mended): the next record cut it off.
void LengthIntoNextHeader(const std::string& path, double fraction)
{
    const auto records = ReadAllRecords(path);
    const std::size_t at = std::size_t(double(records.size()) * fraction);
    auto bytes = ReadFileBytes(path);
    std::uint8_t* header = &bytes[records[at].offset];
    StoreU32(header + 8, std::uint32_t(records[at].payload.size() + 2));
    StoreU32(header + 44, Crc32(header, 44));
    ASSERT_TRUE(WriteFileBytes(path, bytes));
}

void Append(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::app).write(reinterpret_cast<const char*>(bytes.data()),
                                                               std::streamsize(bytes.size()));
}

// Appends the footer that names every record of the file, also those the
// reader does not reach (after apart, where a second recording begins).
void AppendFooterNamingEveryRecord(const std::string& path, std::uint64_t apart)
{
    CKvxIndexFooter footer;
    for (const auto& record : ReadAllRecords(path))
        if (record.offset < apart) footer.Note(record.header, record.offset);
    const auto bytes = ReadFileBytes(path);
    for (std::uint64_t at = apart; at < bytes.size();) {
        KvxRecordHeader header;
        ASSERT_TRUE(header.Decode(&bytes[at]));
        footer.NoteApart(header, at);
        at += kvx::kHeaderSize + header.payloadSize;
    }
    const auto encoded = footer.Encode(bytes.size());
    ASSERT_FALSE(encoded.empty());
    Append(path, encoded);
}

std::int64_t OpenedLengthMs(const std::string& path)
{
    CKvxMediaSource source(nullptr);
    return source.Open(path) ? source.DurationMs() : -1;
}

std::uint64_t ProcessReadBytes()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

class KvxFastPaths : public ::testing::Test {
protected:
    CSampleFolder m_folder;
};

}  // namespace

// Pictures of hundreds of kilobytes, then megabytes without any (zeros
// after a crash): the length still runs to the last picture, though a
// probe of the search may lie inside one picture.
TEST_F(KvxFastPaths, LargePicturesBeforeMegabytesOfZerosKeepTheirLength)
{
    for (const std::size_t pictureBytes : {387000u, 575000u}) {
        SCOPED_TRACE(pictureBytes);
        const std::string path = m_folder.File("large.kvx");
        Plan plan{pictureBytes, 60, 10, 10};
        WriteRecording(path, plan);
        ZerosAfterRecords(path, RecordsEnd(path) + (8u << 20));
        CKvxMediaSource source(nullptr);
        ASSERT_TRUE(source.Open(path));
        EXPECT_EQ(6000, source.DurationMs());
        EXPECT_EQ("", FastPathDisagreement(path));
    }
}

// A recording cut inside a record, then a second one written on into the
// same file: the index names the second one's first key frame, which the
// reader plays, and a seek there shows it.
TEST_F(KvxFastPaths, RecordingResumedAfterACutRecordKeepsItsFirstKeyFrame)
{
    const std::string path = m_folder.File("resumed.kvx");
    const std::string second = m_folder.File("second.kvx");
    WriteRecording(path, {100000, 96, 10, 40});
    const auto first = ReadAllRecords(path);
    const auto cut = std::find_if(first.begin(), first.end(), [](const KvxRecord& record) {
        return record.header.timeMs == kStart + 9500;
    });
    ASSERT_NE(cut, first.end());
    std::filesystem::resize_file(path, cut->offset + cut->TotalSize() / 2);
    WriteRecording(second, {100000, 20, 10, 10, false, kStart + 12000});
    Append(path, ReadFileBytes(second));

    CKeyFrameIndex index;
    ASSERT_TRUE(CKvxIndexScanner::Index(path, index));
    std::vector<std::int64_t> keyTimes;
    for (const auto& entry : index.entries) keyTimes.push_back(entry.timeMs - kStart);
    EXPECT_EQ((std::vector<std::int64_t>{0, 4000, 8000, 12000, 13000}), keyTimes);

    auto shared = std::make_shared<CSharedKeyFrameIndex>();
    shared->Set(std::make_shared<const CKeyFrameIndex>(index));
    CKvxMediaSource source(shared);
    ASSERT_TRUE(source.Open(path));
    for (const std::int64_t seek : {12000, 12500}) {
        ASSERT_TRUE(source.SeekKeyFrame(seek));
        MediaPacket packet;
        ASSERT_EQ(1, source.ReadPacket(packet));
        EXPECT_EQ(12000, packet.timeMs);
    }
    EXPECT_EQ("", FastPathDisagreement(path));
}

// A minute followed by gigabytes of zeros: the index and the reader pass
// the zeros within a bounded read and end at the minute's last record.
TEST_F(KvxFastPaths, MinuteFollowedByGigabytesOfZerosIsIndexedAndReadFromABoundedRead)
{
    const std::string path = m_folder.File("minute.kvx");
    const Plan plan{10000, 300, 5, 10, true};
    WriteRecording(path, plan);
    const std::uint64_t records = RecordsEnd(path);
    ZerosAfterRecords(path, std::uint64_t(4) << 30);
    const std::uint64_t bound = records + 2 * kvx::kMaxGapBytes + (4u << 20);

    std::uint64_t before = ProcessReadBytes();
    CKeyFrameIndex index;
    ASSERT_TRUE(CKvxIndexScanner::Index(path, index));
    EXPECT_LT(ProcessReadBytes() - before, bound);
    EXPECT_EQ(FrameTime(plan, plan.frames - 1), index.endTimeMs);
    EXPECT_EQ(std::size_t(plan.frames / plan.gop), index.entries.size());

    before = ProcessReadBytes();
    CKvxMediaSource source(nullptr);
    ASSERT_TRUE(source.Open(path));
    MediaPacket packet;
    int video = 0;
    while (source.ReadPacket(packet) == 1) video += packet.kind == PacketKind::Video;
    EXPECT_EQ(plan.frames, video);
    EXPECT_LT(ProcessReadBytes() - before, bound + records);
}

// Every fast path against the reference walk, over recordings cut, resumed,
// joined, followed by zeros or junk, of pictures from 10 kB to 2 MB.
TEST_F(KvxFastPaths, ZooOfRecordingsAgreesWithAFullWalk)
{
    const std::string path = m_folder.File("zoo.kvx");
    const std::string other = m_folder.File("other.kvx");
    const std::vector<Plan> plans{{10000, 150, 25, 25, true}, {575000, 12, 5, 4, true}, {2000000, 6, 2, 2}};
    const std::uint64_t zeros[] = {2u << 20, 20u << 20, 8u << 20};
    std::mt19937 random(7);
    for (std::size_t p = 0; p < plans.size(); ++p) {
        const Plan& plan = plans[p];
        Plan later = plan;
        later.frames = std::max(plan.frames / 3, plan.gop + 1);
        later.startMs = FrameTime(plan, plan.frames) + 2000;
        WriteRecording(other, later);
        const auto laterBytes = ReadFileBytes(other);
        WriteRecording(path, plan);
        const auto bytes = ReadFileBytes(path);
        const std::vector<std::pair<const char*, std::function<void()>>> damages{
            {"clean", [] {}},
            {"cut inside a record", [&] { CutInsideRecord(path, 0.7); }},
            {"cut off at its last bytes", [&] { LengthIntoNextHeader(path, 0.4); }},
            {"resumed after a cut",
             [&] {
                 CutInsideRecord(path, 0.5);
                 Append(path, laterBytes);
             }},
            {"zeros after the records", [&] { ZerosAfterRecords(path, RecordsEnd(path) + zeros[p]); }},
            {"junk after the records",
             [&] {
                 std::filesystem::resize_file(path, RecordsEnd(path));
                 std::vector<std::uint8_t> junk(2u << 20);
                 for (auto& byte : junk) byte = std::uint8_t(random());
                 Append(path, junk);
             }},
            {"two recordings joined", [&] { Append(path, laterBytes); }},
            {"zeros between two recordings",
             [&] {
                 ZerosAfterRecords(path, RecordsEnd(path) + zeros[p]);
                 Append(path, laterBytes);
             }},
        };
        for (const auto& [name, damage] : damages) {
            SCOPED_TRACE(std::to_string(plan.pictureBytes) + " " + name);
            ASSERT_TRUE(WriteFileBytes(path, bytes));
            damage();
            EXPECT_EQ("", FastPathDisagreement(path));
        }
    }
    SCOPED_TRACE("past 1 GiB");
    WriteRecording(path, plans[0]);
    ZerosAfterRecords(path, (std::uint64_t(1) << 30) + 4097);
    EXPECT_EQ("", FastPathDisagreement(path));
}

// A recording, zeros, then a second one: with zeros just below the bound
// the file plays on into the second; just above it, the open, the index
// (also from a footer that names the second one's key frames), the key
// frames found without an index and an export's cut all end with the first.
TEST_F(KvxFastPaths, ZerosBetweenTwoRecordingsEndTheFirstOnEveryRoadFromTheBoundOn)
{
    const std::string path = m_folder.File("gap.kvx");
    const std::string second = m_folder.File("second.kvx");
    const Plan first{10000, 150, 25, 25, true};
    WriteRecording(second, {10000, 100, 25, 25, true, kStart + 12000});
    std::filesystem::resize_file(second, RecordsEnd(second));
    for (const bool footer : {false, true}) {
        for (const std::int64_t beside : {-4096, 0, 4096}) {
            SCOPED_TRACE(std::to_string(beside) + (footer ? " with a footer" : ""));
            WriteRecording(path, first);
            const std::uint64_t gapFrom = RecordsEnd(path);
            const std::uint64_t apart = gapFrom + kvx::kMaxGapBytes + std::uint64_t(beside);
            ZerosAfterRecords(path, apart);
            Append(path, ReadFileBytes(second));
            if (footer) AppendFooterNamingEveryRecord(path, apart);
            EXPECT_EQ(beside < 0 ? 16000 : 6000, OpenedLengthMs(path));
            const std::uint64_t size = std::filesystem::file_size(path);
            EXPECT_EQ(beside < 0 ? size : gapFrom, CKvxIndexScanner::CutEnd(path, 0, size));
            EXPECT_EQ("", FastPathDisagreement(path));
        }
    }
}

// A record cut off by a crash, then a new recording written on, where the
// cut record's claimed length ends just where a record of the new one
// begins: the new recording's first picture is read with its own time.
TEST_F(KvxFastPaths, CutRecordWhoseLengthEndsAtARecordOfTheResumedRecordingGivesWayToIt)
{
    const std::string path = m_folder.File("resumed.kvx");
    const std::string second = m_folder.File("second.kvx");
    WriteRecording(path, {100000, 60, 10, 20});
    WriteRecording(second, {10000, 30, 10, 10, false, kStart + 12000});
    const auto later = ReadAllRecords(second);
    const auto records = ReadAllRecords(path);
    const auto cut = std::find_if(records.begin(), records.end(), [](const KvxRecord& record) {
        return record.header.timeMs == kStart + 3500;
    });
    ASSERT_NE(cut, records.end());
    const std::uint64_t landing = later[3].offset;  // the claimed end lands on this record
    ASSERT_LT(landing + kvx::kHeaderSize, cut->TotalSize());
    std::filesystem::resize_file(path, cut->offset + cut->TotalSize() - landing);
    Append(path, ReadFileBytes(second));

    CKvxMediaSource source(nullptr);
    ASSERT_TRUE(source.Open(path));
    std::vector<std::int64_t> times;
    for (MediaPacket packet; source.ReadPacket(packet) == 1;)
        if (packet.kind == PacketKind::Video && packet.timeMs > 3000) times.push_back(packet.timeMs);
    ASSERT_GE(times.size(), 3u);
    EXPECT_EQ((std::vector<std::int64_t>{3100, 3200, 3300, 3400, 12000, 12100}),
              std::vector<std::int64_t>(times.begin(), times.begin() + 6));
    EXPECT_EQ("", FastPathDisagreement(path));
}

// The format allows pictures of 16 MiB: a recording whose first picture is
// that large opens, also after 20 MiB of damage the reader passes.
TEST_F(KvxFastPaths, FirstPictureOfMoreThanEightMebibytesOpens)
{
    const std::string path = m_folder.File("large.kvx");
    const std::string recording = m_folder.File("recording.kvx");
    for (const std::size_t pictureBytes : {9u << 20, (16u << 20) - 64}) {
        for (const std::uint64_t damage : {0u, 20u << 20}) {
            SCOPED_TRACE(std::to_string(pictureBytes) + " after " + std::to_string(damage));
            WriteRecording(recording, {pictureBytes, 3, 1, 3});
            std::ofstream(path, std::ios::trunc).close();
            std::filesystem::resize_file(path, damage);
            Append(path, ReadFileBytes(recording));
            EXPECT_EQ(3000, OpenedLengthMs(path));
        }
    }
}

// Gaps of zeros between two recordings just below and above every bound of
// the fast paths (tails the open reads, index slices, strides of the search
// for where the records end, the reader's gap), and first pictures over
// 8 MiB: every fast path agrees with the full walk.
TEST_F(KvxFastPaths, ZooOfGapsAroundEveryBoundAgreesWithAFullWalk)
{
    const std::string path = m_folder.File("zoo.kvx");
    const std::string other = m_folder.File("other.kvx");
    const std::string large = m_folder.File("large.kvx");
    WriteRecording(other, {10000, 60, 25, 25, true, kStart + 60000});
    std::filesystem::resize_file(other, RecordsEnd(other));
    const auto laterBytes = ReadFileBytes(other);
    for (const std::uint64_t bound : {192u << 10, 4u << 20, 8u << 20, 16u << 20, 24u << 20}) {
        for (const std::int64_t beside : {-4096, 4096}) {
            SCOPED_TRACE(std::to_string(bound) + " " + std::to_string(beside));
            WriteRecording(path, {10000, 150, 25, 25, true});
            ZerosAfterRecords(path, RecordsEnd(path) + bound + std::uint64_t(beside));
            Append(path, laterBytes);
            EXPECT_EQ("", FastPathDisagreement(path));
        }
    }
    SCOPED_TRACE("first picture over 8 MiB");
    WriteRecording(large, {9u << 20, 4, 1, 2});
    EXPECT_EQ("", FastPathDisagreement(large));
    ZerosAfterRecords(large, RecordsEnd(large) + (1u << 20));
    Append(large, laterBytes);
    EXPECT_EQ("", FastPathDisagreement(large));
}

// A key-frame header planted in the first key frame's picture, with a time
// before the target: the key frame found without an index is the first one.
TEST_F(KvxFastPaths, KeyFrameFoundWithoutAnIndexIsNeverOnePlantedInAPicture)
{
    const std::string path = m_folder.File("planted.kvx");
    WriteRecording(path, {10000, 50, 25, 25});
    std::filesystem::resize_file(path, RecordsEnd(path));
    auto bytes = ReadFileBytes(path);
    KvxRecordHeader planted;
    planted.flags = kvx::kFlagKeyFrame;
    planted.sequence = 7;
    planted.timeMs = kStart + 100;
    planted.Encode(&bytes[kvx::kHeaderSize + 1000]);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    EXPECT_EQ(std::optional<std::uint64_t>(0), CKvxIndexScanner::FindKeyFrame(path, kStart + 500));
    EXPECT_EQ("", FastPathDisagreement(path));
}
