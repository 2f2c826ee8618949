#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Format/KvxFileWriter.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Source/KvxMediaSource.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "KvxSampleFixture.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

class KvxDamage : public CKvxSampleFixture {
protected:
    void SetUp() override { MakeSample(2, 20); }

    std::vector<std::uint64_t> OffsetsOf(const std::vector<std::uint8_t>& bytes)
    {
        const auto path = m_folder.File("damaged.kvx");
        WriteFileBytes(path, bytes);
        std::vector<std::uint64_t> offsets;
        for (const auto& r : ReadAllRecords(path)) offsets.push_back(r.offset);
        return offsets;
    }

    // Sets a record's length field and makes its header checksum hold again.
    static void ForgeLength(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint32_t length)
    {
        StoreU32(&bytes[at + 8], length);
        StoreU32(&bytes[at + 44], Crc32(&bytes[at], 44));
    }

    // Sets a record's time field and makes its header checksum hold again.
    static void ForgeTime(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::int64_t timeMs)
    {
        StoreU64(&bytes[at + 16], static_cast<std::uint64_t>(timeMs));
        StoreU32(&bytes[at + 44], Crc32(&bytes[at], 44));
    }
};

}  // namespace

TEST_F(KvxDamage, DamagedHeaderIsSkippedAndTheNextRecordFound)
{
    for (std::size_t field : {0u, 5u, 9u, 13u, 20u, 45u}) {
        auto bytes = m_bytes;
        const std::size_t victim = 10;
        bytes[m_records[victim].offset + field] ^= 0x5A;
        const auto offsets = OffsetsOf(bytes);
        ASSERT_EQ(offsets.size(), m_records.size() - 1) << field;
        EXPECT_EQ(offsets[victim], m_records[victim + 1].offset) << field;
        EXPECT_EQ(offsets.back(), m_records.back().offset);
    }
}

TEST_F(KvxDamage, RecordCutOffByTheNextIsDroppedAndTheRestIsFound)
{
    // Record 10 loses its second half; everything after it follows at once.
    const auto& cut = m_records[10];
    ASSERT_GT(cut.payload.size(), 8u);
    std::vector<std::uint8_t> bytes(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(cut.offset + 48 + cut.payload.size() / 2));
    bytes.insert(bytes.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_records[11].offset), m_bytes.end());
    const auto offsets = OffsetsOf(bytes);
    ASSERT_EQ(offsets.size(), m_records.size() - 1);
    EXPECT_EQ(offsets[10], cut.offset + 48 + cut.payload.size() / 2);

    CKeyFrameIndex index;
    WriteFileBytes(m_folder.File("cut.kvx"), bytes);
    ASSERT_TRUE(CKvxIndexScanner::Scan(m_folder.File("cut.kvx"), index));
    EXPECT_EQ(index.entries.size(), 2u);
}

TEST_F(KvxDamage, HugeLengthFieldIsNotTrusted)
{
    for (std::uint32_t length : {0xFFFFFFFFu, kvx::kMaxPayloadSize, 5000000u}) {
        auto bytes = m_bytes;
        ForgeLength(bytes, m_records[5].offset, length);
        const auto offsets = OffsetsOf(bytes);
        // Record 5 is lost; the records after it are all found.
        ASSERT_EQ(offsets.size(), m_records.size() - 1) << length;
        EXPECT_EQ(offsets[5], m_records[6].offset);

        CKeyFrameIndex index;
        ASSERT_TRUE(CKvxIndexScanner::Scan(m_folder.File("damaged.kvx"), index));
        EXPECT_EQ(index.entries.size(), 2u) << length;
    }
}

TEST_F(KvxDamage, TimeBeyondAnyCalendarIsDamage)
{
    for (std::int64_t timeMs : {INT64_MAX, INT64_MIN, kvx::kMaxTimeMs + 1, -kvx::kMaxTimeMs - 1}) {
        auto bytes = m_bytes;
        ForgeTime(bytes, m_records[5].offset, timeMs);
        const auto offsets = OffsetsOf(bytes);
        ASSERT_EQ(offsets.size(), m_records.size() - 1) << timeMs;
        EXPECT_EQ(offsets[5], m_records[6].offset) << timeMs;
    }
    auto bytes = m_bytes;
    ForgeTime(bytes, m_records[5].offset, kvx::kMaxTimeMs);
    EXPECT_EQ(OffsetsOf(bytes).size(), m_records.size());
}

TEST_F(KvxDamage, TruncatedFileGivesEveryWholeRecordAndStops)
{
    for (std::size_t keep : {std::size_t(0), std::size_t(30), m_bytes.size() / 2, m_bytes.size() - 1}) {
        std::vector<std::uint8_t> bytes(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(keep));
        const auto offsets = OffsetsOf(bytes);
        std::size_t whole = 0;
        while (whole < m_records.size() && m_records[whole].offset + m_records[whole].TotalSize() <= keep) ++whole;
        EXPECT_EQ(offsets.size(), whole) << keep;
        CKeyFrameIndex index;
        CKvxIndexScanner::Scan(m_folder.File("damaged.kvx"), index);
        for (const auto& e : index.entries) EXPECT_LT(e.position, keep);
    }
}

TEST_F(KvxDamage, GrowingRecordingIsReadAsItGrows)
{
    const auto path = m_folder.File("growing.kvx_");
    const std::size_t firstPart = static_cast<std::size_t>(m_records[7].offset + 20);  // inside record 7
    WriteFileBytes(path, {m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(firstPart)});
    CKvxFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    KvxRecord record;
    int count = 0;
    while (reader.ReadNext(record)) ++count;
    EXPECT_EQ(count, 7);
    WriteFileBytes(path, m_bytes);
    while (reader.ReadNext(record)) ++count;
    EXPECT_EQ(count, static_cast<int>(m_records.size()));
    EXPECT_EQ(reader.SkippedBytes(), 0u);
}

TEST_F(KvxDamage, RandomBytesGiveNoRecordsAndRandomDamageNeverBreaksReading)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(300000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    EXPECT_TRUE(OffsetsOf(noise).empty());
    CKeyFrameIndex index;
    EXPECT_FALSE(CKvxIndexScanner::Scan(m_folder.File("damaged.kvx"), index));

    for (int round = 0; round < 20; ++round) {
        auto bytes = m_bytes;
        for (int hit = 0; hit < 30; ++hit) bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        const auto offsets = OffsetsOf(bytes);
        EXPECT_GT(offsets.size(), m_records.size() / 2);
        CKvxIndexScanner::Scan(m_folder.File("damaged.kvx"), index);
    }
}

TEST_F(KvxDamage, StreamParserDropsAnUnfinishedTailOnRequest)
{
    CKvxRecordParser parser;
    const std::size_t end = static_cast<std::size_t>(m_records[3].offset + 10);
    parser.Feed({m_bytes.data(), end});
    KvxRecord record;
    int count = 0;
    while (parser.Next(record) == CKvxRecordParser::Status::Record) ++count;
    EXPECT_EQ(count, 3);
    EXPECT_EQ(parser.PendingBytes(), 10u);
    parser.DiscardPending();
    EXPECT_EQ(parser.PendingBytes(), 0u);
    // A new stream that starts at a key frame is read after the reset.
    parser.Reset();
    parser.Feed(m_bytes);
    ASSERT_EQ(parser.Next(record), CKvxRecordParser::Status::Record);
    EXPECT_EQ(record.offset, 0u);
}

TEST(KvxMediaSourceEnd, RecordingWhoseTailHoldsNoPictureKeepsItsLength)
{
    // Sound went on for megabytes after the last picture: the length still
    // runs to that picture.
    CSampleFolder folder;
    const std::string path = folder.File("sound_tail.kvx");
    const std::int64_t start = 1700000000000;
    {
        CKvxFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4};
        const std::vector<std::uint8_t> picture(1000, 0x42);
        for (int i = 0; i <= 250; ++i) {
            KvxVideoFrame video;
            video.keyFrame = i % 50 == 0;
            video.width = 320;
            video.height = 240;
            video.timeMs = start + i * 40;
            video.parameterSets = params;
            video.data = picture;
            ASSERT_TRUE(writer.WriteVideo(video));
        }
        const std::vector<std::uint8_t> samples(1u << 20, 0xD5);
        KvxAudioPayload audio;
        audio.codec = kvx::AudioCodec::G711ALaw;
        audio.data = samples;
        for (int i = 0; i < 6; ++i)
            ASSERT_TRUE(writer.WriteAudio(audio, start + 10040 + i * 131072));
        ASSERT_TRUE(writer.Close());
    }
    CKvxMediaSource source(nullptr);
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(start, source.OwnStartTimeMs());
    EXPECT_EQ(10040, source.DurationMs());
}
