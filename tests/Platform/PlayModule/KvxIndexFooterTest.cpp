#include <cstdint>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Format/KvxFileWriter.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "KvxSampleFixture.h"
#include "Platform/PlayModule/Support/FooterEdits.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

class KvxFooter : public CKvxSampleFixture {
protected:
    void SetUp() override
    {
        MakeSample(6, 40);
        for (const auto& record : m_records)
            if (record.header.IsKeyFrame()) m_keyOffsets.push_back(record.offset);
        ASSERT_EQ(m_keyOffsets.size(), 6u);
        m_recordsEnd = m_records.back().offset + m_records.back().TotalSize();
    }

    // The sample with the header of its second key frame damaged: a scan
    // misses that key frame, the footer still names it.
    std::vector<std::uint8_t> WithSecondKeyDamaged() const
    {
        auto bytes = m_bytes;
        bytes[m_keyOffsets[1] + 9] ^= 0x5A;
        return bytes;
    }

    CKeyFrameIndex Scanned(const std::string& path) const
    {
        CKeyFrameIndex index;
        EXPECT_TRUE(CKvxIndexScanner::Scan(path, index, nullptr, UINT64_MAX));
        return index;
    }

    std::vector<std::uint64_t> m_keyOffsets;
    std::uint64_t m_recordsEnd = 0;
};

std::optional<CKvxIndexFooter::Contents> ReadFooter(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    auto footer = CKvxIndexFooter::ReadFrom(fd, std::uint64_t(::lseek(fd, 0, SEEK_END)));
    ::close(fd);
    return footer;
}

}  // namespace

// The writer's footer names what a walk of the headers finds; a parser that
// does not know footers still takes every record and the chain holds.
TEST_F(KvxFooter, NamesWhatAScanFindsAndLeavesTheRecordsAsTheyWere)
{
    CKeyFrameIndex fromFooter;
    ASSERT_TRUE(CKvxIndexScanner::Index(m_path, fromFooter));
    EXPECT_EQ(fromFooter, Scanned(m_path));

    CKvxRecordParser parser;
    parser.Feed(m_bytes);
    CKvxChainVerifier verifier;
    KvxRecord record;
    std::size_t count = 0;
    while (parser.Next(record) == CKvxRecordParser::Status::Record) {
        const auto result = verifier.Check(record);
        EXPECT_TRUE(result == CKvxChainVerifier::Result::Ok || result == CKvxChainVerifier::Result::SignatureValid);
        ++count;
    }
    EXPECT_EQ(count, m_records.size());
    EXPECT_EQ(parser.SkippedBytes() + parser.PendingBytes(), m_bytes.size() - m_recordsEnd);
}

// A footer that does not hold for the file it ends is not used: the index
// then is the scan's.
TEST_F(KvxFooter, FooterThatDoesNotHoldIsPassedOver)
{
    const std::string path = m_folder.File("footer.kvx");
    const auto damaged = WithSecondKeyDamaged();
    ASSERT_TRUE(WriteFileBytes(path, damaged));
    CKeyFrameIndex index;
    ASSERT_TRUE(CKvxIndexScanner::Index(path, index));
    EXPECT_EQ(Scanned(path).entries.size(), 5u);
    EXPECT_EQ(index, Scanned(path)) << "the footer names a key frame the file no longer holds";

    using Change = std::function<void(std::vector<std::uint8_t>&)>;
    const std::vector<std::pair<const char*, Change>> changes = {
        {"table byte changed", [&](auto& b) { b[m_recordsEnd + 3] ^= 1; }},
        {"bytes after the footer", [](auto& b) { b.insert(b.end(), 16, 0); }},
        {"footer cut short", [](auto& b) { b.resize(b.size() - 10); }},
        {"footer moved with a cut of the file",
         [&](auto& b) { b.erase(b.begin() + std::ptrdiff_t(m_keyOffsets[1] + 100), b.begin() + std::ptrdiff_t(m_keyOffsets[2])); }},
        {"sound checksum over wrong positions",
         [&](auto& b) {
             CKvxIndexFooter forged;
             forged.NoteRecords({m_bytes.data(), m_recordsEnd}, 100);
             const auto footer = forged.Encode(m_recordsEnd);
             b.resize(m_recordsEnd);
             b.insert(b.end(), footer.begin(), footer.end());
         }},
    };
    for (const auto& [name, change] : changes) {
        auto bytes = damaged;
        change(bytes);
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        CKeyFrameIndex passedOver;
        ASSERT_TRUE(CKvxIndexScanner::Index(path, passedOver)) << name;
        EXPECT_EQ(passedOver, Scanned(path)) << name;
    }
}

// Written bytes that are no whole records leave the file without a footer.
TEST_F(KvxFooter, WriterLeavesNoFooterAfterBytesThatAreNoRecords)
{
    const std::string path = m_folder.File("raw.kvx");
    CKvxFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    ASSERT_TRUE(writer.WriteRaw({m_bytes.data(), m_recordsEnd - 7}));
    ASSERT_TRUE(writer.Close());
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(CKvxIndexFooter::ReadFrom(fd, std::uint64_t(::lseek(fd, 0, SEEK_END))));
    ::close(fd);
}

// A recorder's clock set back: key frames before the first record's time.
TEST_F(KvxFooter, ReaderTakesTheWritersFooterWhenTimesGoBack)
{
    const std::string path = m_folder.File("clock_back.kvx");
    const std::int64_t start = 1700000000000;
    const std::int64_t times[] = {start, start + 40, start - 60000, start - 59960, start - 30000, start - 29960};
    const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4};
    const std::vector<std::uint8_t> picture(100, 0x42);
    {
        CKvxFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        for (std::size_t i = 0; i < std::size(times); ++i) {
            KvxVideoFrame video;
            video.keyFrame = i % 2 == 0;
            video.width = 320;
            video.height = 240;
            video.timeMs = times[i];
            video.parameterSets = params;
            video.data = picture;
            ASSERT_TRUE(writer.WriteVideo(video));
        }
        ASSERT_TRUE(writer.Close());
    }
    const auto footer = ReadFooter(path);
    ASSERT_TRUE(footer);
    ASSERT_EQ(3u, footer->keyFrames.size());
    EXPECT_EQ(start - 60000, footer->keyFrames[1].timeMs);
    CKeyFrameIndex index;
    ASSERT_TRUE(CKvxIndexScanner::Index(path, index));
    EXPECT_EQ(index, Scanned(path));
    EXPECT_TRUE(CKeyFrameIndex::FromBytes(index.ToBytes()));
}

// A footer whose checksum holds but whose times no index may hold is passed
// over: the index then is the scan's, and its bytes come back.
TEST_F(KvxFooter, FooterWithTimesNoIndexHoldsIsPassedOver)
{
    const std::string path = m_folder.File("wild.kvx");
    const std::int64_t wild = std::int64_t(1) << 60;
    const std::size_t trailerAt = m_bytes.size() - CKvxIndexFooter::kTrailerSize;
    using Change = std::function<void(std::vector<std::uint8_t>&)>;
    const std::vector<std::pair<const char*, Change>> changes = {
        {"wild first and latest times",
         [&](auto& b) {
             StoreU64(b.data() + trailerAt + 16, std::uint64_t(-wild));
             StoreU64(b.data() + trailerAt + 24, std::uint64_t(wild));
         }},
        {"wild key-frame time between wild times",
         [&](auto& b) {
             StoreU64(b.data() + trailerAt + 16, std::uint64_t(-wild));
             StoreU64(b.data() + trailerAt + 24, std::uint64_t(wild));
             StoreU64(b.data() + m_recordsEnd + CKvxIndexFooter::kEntrySize, std::uint64_t(wild - 1));
         }},
    };
    for (const auto& [name, change] : changes) {
        auto bytes = m_bytes;
        change(bytes);
        ResealFooter(bytes);
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        EXPECT_FALSE(ReadFooter(path)) << name;
        CKeyFrameIndex index;
        ASSERT_TRUE(CKvxIndexScanner::Index(path, index)) << name;
        EXPECT_EQ(index, Scanned(path)) << name;
        EXPECT_TRUE(CKeyFrameIndex::FromBytes(index.ToBytes())) << name;
    }
    // Resealed unchanged, the footer holds.
    auto same = m_bytes;
    ResealFooter(same);
    EXPECT_EQ(same, m_bytes);
}

// A footer whose checksum was redone after a change is taken only when it
// still names this file's key frames, first and latest times, and has its
// reserved bytes 0; otherwise the index is the walk's.
TEST_F(KvxFooter, ChangedFooterIsTakenOnlyWhenItNamesTheFile)
{
    const std::string path = m_folder.File("changed.kvx");
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 6;
    options.width = 160;
    options.height = 120;
    options.gopSeconds = 1;
    options.startUtcMs += 3600000;
    const auto other = ReadFileBytes(m_folder.MakeKvx(options, true, "Other"));
    for (const FooterEdit edit : {FooterEdit::FromOtherRecording, FooterEdit::PositionsMoved, FooterEdit::TimesMoved,
                                  FooterEdit::ReservedSet, FooterEdit::MadeUpTable, FooterEdit::FirstLeftOut}) {
        SCOPED_TRACE(int(edit));
        ASSERT_TRUE(WriteFileBytes(path, WithFooterEdit(m_bytes, edit, other)));
        CKeyFrameIndex index;
        ASSERT_TRUE(CKvxIndexScanner::Index(path, index));
        EXPECT_EQ(index, Scanned(path));
        EXPECT_EQ(CKvxIndexScanner::FindKeyFrame(path, m_records.front().header.timeMs), 0u);
    }
    ASSERT_TRUE(WriteFileBytes(path, WithFooterEdit(m_bytes, FooterEdit::ReservedSet)));
    EXPECT_FALSE(ReadFooter(path)) << "reserved bytes not 0";
}

// A walk steps from record to record: a key-frame header planted inside a
// record's payload is never taken, neither after the last record (where the
// footer's table lies) nor after damage to the next record's header. The writer's own footer is not
// the index here, as the latest time lies in the first group.
TEST_F(KvxFooter, WalkTakesNoKeyFramePlantedInsideARecord)
{
    const std::string written = m_folder.File("planted_written.kvx");
    const std::int64_t start = 1700000000000;
    KvxRecordHeader planted;
    planted.flags = kvx::kFlagKeyFrame;
    planted.timeMs = start + 100;
    const std::vector<std::uint8_t> picture(200, 0x42);
    std::vector<std::uint8_t> plantedPicture = picture;
    planted.Encode(plantedPicture.data() + 100);
    const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4};
    {
        CKvxFileWriter writer;
        ASSERT_TRUE(writer.Open(written));
        for (int i = 0; i < 8; ++i) {
            KvxVideoFrame video;
            video.keyFrame = i % 3 == 0;
            video.width = 320;
            video.height = 240;
            video.timeMs = i == 1 ? start + 60000 : start + i * 40;
            video.parameterSets = params;
            video.data = i == 4 || i == 7 ? plantedPicture : picture;
            ASSERT_TRUE(writer.WriteVideo(video));
        }
        ASSERT_TRUE(writer.Close());
    }
    const auto footer = ReadFooter(written);
    ASSERT_TRUE(footer);
    ASSERT_EQ(footer->keyFrames.size(), 3u);
    const auto records = ReadAllRecords(written);
    ASSERT_EQ(records.size(), 8u);
    const auto clip = ReadFileBytes(written);
    auto damaged = clip;
    damaged[records[5].offset + 9] ^= 0x5A;
    const std::string path = m_folder.File("planted.kvx");
    for (const auto& [name, file] : {std::pair{"planted in the last record", clip}, {"damage after it", damaged}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteFileBytes(path, file));
        CKeyFrameIndex index;
        ASSERT_TRUE(CKvxIndexScanner::Index(path, index));
        ASSERT_EQ(index.entries.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(index.entries[i].position, footer->keyFrames[i].position);
    }
}
