#include <algorithm>
#include <random>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <filesystem>

extern "C" {
#include <libavformat/avformat.h>
}

#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Source/RecordingIndexScanner.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/FullDecode.h"
#include "Platform/PlayModule/Support/PlainDemux.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "Platform/PlayModule/Support/ThreadIo.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

CKeyFrameIndex SampleIndex()
{
    CKeyFrameIndex index;
    index.container = CKeyFrameIndex::Container::Kvx;
    index.absoluteTimes = true;
    index.fileSize = 1000000;
    index.startTimeMs = 1700000000000;
    index.endTimeMs = 1700000060000;
    for (int i = 0; i < 30; ++i) index.entries.push_back({1700000000000 + i * 2000, std::uint64_t(i) * 30000 + 7});
    return index;
}

// The number of the video sample at a position, counted as demuxed.
int SampleNumberAt(const std::string& path, std::int64_t position)
{
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return -1;
    AVPacket* packet = av_packet_alloc();
    int number = 0;
    int found = -1;
    while (found < 0 && av_read_frame(in, packet) >= 0) {
        if (packet->pos == position) found = number;
        ++number;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&in);
    return found;
}

// Writes one sample's size into an ".mp4"'s table of sample sizes.
bool SetSampleSize(std::vector<std::uint8_t>& bytes, int sample, std::uint32_t size)
{
    const std::string tag = "stsz";
    const auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    const std::size_t entry = std::size_t(at - bytes.begin()) + 16 + 4 * std::size_t(sample);
    if (at == bytes.end() || entry + 4 > bytes.size()) return false;
    for (int i = 0; i < 4; ++i) bytes[entry + i] = std::uint8_t(size >> (24 - 8 * i));
    return true;
}

// Two seconds of B-frame groups, closed or open in each joined part.
ContainerSampleOptions BFrameMp4Options(kvx::VideoCodec codec, const std::vector<bool>& partsOpen)
{
    ContainerSampleOptions options;
    options.seconds = 2;
    options.width = 96;
    options.height = 64;
    options.gopSeconds = 0.5;
    options.bFrames = 2;
    options.codec = codec;
    options.joinedPartsOpen = partsOpen;
    return options;
}

// An ".avi" has no shown times to demux: a full decode times its key frames,
// from its first picture on.
void ExpectIndexMatchesAFullDecode(const std::string& path)
{
    const auto decoded = DecodeContainerKeyFrames(path);
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    ASSERT_EQ(index.entries.size(), decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "key frame " << i);
        EXPECT_EQ(index.entries[i].timeMs, decoded[i].timeMs - decoded.front().timeMs);
        EXPECT_EQ(std::int64_t(index.entries[i].position), decoded[i].position);
    }
}

void ExpectIndexMatchesAPlainDemux(const std::string& path)
{
    const auto demuxed = DemuxContainerKeyFrames(path);
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    ASSERT_EQ(index.entries.size(), demuxed.size());
    for (std::size_t i = 0; i < demuxed.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "key frame " << i);
        EXPECT_EQ(index.entries[i].timeMs, demuxed[i].timeMs);
        EXPECT_EQ(std::int64_t(index.entries[i].position), demuxed[i].position);
    }
}

}  // namespace

TEST(KeyFrameIndexBytes, RoundTrip)
{
    const auto index = SampleIndex();
    const auto back = CKeyFrameIndex::FromBytes(index.ToBytes());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, index);
    CKeyFrameIndex empty;
    empty.fileSize = 10;
    EXPECT_EQ(CKeyFrameIndex::FromBytes(empty.ToBytes()), empty);
}

TEST(KeyFrameIndexBytes, DamagedTruncatedOrForeignBytesAreRefused)
{
    const auto bytes = SampleIndex().ToBytes();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto damaged = bytes;
        damaged[i] ^= 0x10;
        EXPECT_FALSE(CKeyFrameIndex::FromBytes(damaged).has_value()) << i;
    }
    for (std::size_t keep : {std::size_t(0), std::size_t(3), std::size_t(43), bytes.size() - 1})
        EXPECT_FALSE(CKeyFrameIndex::FromBytes({bytes.data(), keep}).has_value()) << keep;
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(CKeyFrameIndex::FromBytes(longer).has_value());
    std::mt19937 random(3);
    std::vector<std::uint8_t> noise(bytes.size());
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    EXPECT_FALSE(CKeyFrameIndex::FromBytes(noise).has_value());
}

TEST(KeyFrameIndexBytes, InconsistentEntriesAreRefusedEvenWithAGoodChecksum)
{
    auto beyondFile = SampleIndex();
    beyondFile.entries.back().position = beyondFile.fileSize;
    EXPECT_FALSE(CKeyFrameIndex::FromBytes(beyondFile.ToBytes()).has_value());
    auto unordered = SampleIndex();
    std::swap(unordered.entries[3], unordered.entries[4]);
    EXPECT_FALSE(CKeyFrameIndex::FromBytes(unordered.ToBytes()).has_value());
    for (std::int64_t timeMs : {INT64_MAX, INT64_MIN}) {
        auto farEntry = SampleIndex();
        farEntry.entries[2].timeMs = timeMs;
        EXPECT_FALSE(CKeyFrameIndex::FromBytes(farEntry.ToBytes()).has_value()) << timeMs;
        auto farEnd = SampleIndex();
        farEnd.endTimeMs = timeMs;
        EXPECT_FALSE(CKeyFrameIndex::FromBytes(farEnd.ToBytes()).has_value()) << timeMs;
    }
}

TEST(KvxIndexScan, ListsEveryKeyFrameRecordWithItsTimeAndPosition)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 4;
    options.width = 160;
    options.height = 120;
    options.gopSeconds = 1;
    const auto path = folder.MakeKvx(options);
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    EXPECT_EQ(index.container, CKeyFrameIndex::Container::Kvx);
    EXPECT_TRUE(index.absoluteTimes);
    EXPECT_EQ(index.fileSize, ReadFileBytes(path).size());
    EXPECT_EQ(index.startTimeMs, options.startUtcMs);
    EXPECT_GE(index.endTimeMs, options.startUtcMs + 3960);

    std::vector<CKeyFrameIndex::Entry> expected;
    for (const auto& r : ReadAllRecords(path))
        if (r.header.IsKeyFrame()) expected.push_back({r.header.timeMs, r.offset});
    EXPECT_EQ(index.entries, expected);
    ASSERT_EQ(index.entries.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(index.entries[i].timeMs, options.startUtcMs + std::int64_t(i) * 1000);

    // Each listed position starts a range that decodes from its first frame.
    const auto bytes = ReadFileBytes(path);
    EXPECT_EQ(DecodeKvxVideo({bytes.data() + index.entries[2].position, bytes.size() - index.entries[2].position}), 50);
    EXPECT_EQ(CKeyFrameIndex::FromBytes(index.ToBytes()), index);
}

TEST(KvxIndexScan, H265RecordingIsIndexedAndDecodes)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 2;
    options.width = 160;
    options.height = 128;
    options.gopSeconds = 1;
    options.codec = kvx::VideoCodec::H265;
    options.audio = kvx::AudioCodec::AacAdts;
    const auto path = folder.MakeKvx(options);
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    EXPECT_EQ(index.entries.size(), 2u);
    EXPECT_EQ(DecodeKvxVideo(ReadFileBytes(path)), 50);
}

TEST(KvxIndexScan, CancelStopsTheScan)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 1;
    options.width = 160;
    options.height = 120;
    const auto path = folder.MakeKvx(options);
    std::atomic<bool> cancel{true};
    CKeyFrameIndex index;
    EXPECT_FALSE(ScanRecordingIndex(path, index, &cancel));
}

class ContainerIndexScan : public ::testing::TestWithParam<ContainerKind> {};

TEST_P(ContainerIndexScan, KeyFramesMatchAFullDecode)
{
    CSampleFolder folder;
    const auto path = folder.File(std::string("sample") + ContainerExtension(GetParam()));
    ContainerSampleOptions options;
    options.seconds = 4;
    options.gopSeconds = 1;
    ASSERT_TRUE(MakeContainerSample(path, GetParam(), options));

    int frames = 0;
    const auto decoded = DecodeContainerKeyFrames(path, &frames);
    EXPECT_EQ(frames, 100);
    ASSERT_EQ(decoded.size(), 4u);

    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    EXPECT_NE(index.container, CKeyFrameIndex::Container::Kvx);
    EXPECT_FALSE(index.absoluteTimes);
    EXPECT_EQ(index.fileSize, ReadFileBytes(path).size());
    ASSERT_EQ(index.entries.size(), decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(index.entries[i].timeMs, decoded[i].timeMs);
        EXPECT_EQ(static_cast<std::int64_t>(index.entries[i].position), decoded[i].position);
        EXPECT_EQ(index.entries[i].timeMs, std::int64_t(i) * 1000);
    }
    EXPECT_EQ(index.endTimeMs, 4000);
    EXPECT_EQ(CKeyFrameIndex::FromBytes(index.ToBytes()), index);
}

// An ".mp4" lists its samples in the header: the scan takes the key frames
// from there rather than reading the file through.
TEST(Mp4IndexScan, ReadsTheHeaderNotThePackets)
{
    CSampleFolder folder;
    const auto path = folder.File("long.mp4");
    ContainerSampleOptions options;
    options.seconds = 30;
    options.gopSeconds = 2;
    ASSERT_TRUE(MakeContainerSample(path, ContainerKind::Mp4, options));
    const std::uint64_t size = ReadFileBytes(path).size();

    const std::uint64_t before = ThreadReadBytes();
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    EXPECT_LT(ThreadReadBytes() - before, size / 2);
    ASSERT_EQ(index.entries.size(), 15u);
    for (std::size_t i = 0; i < index.entries.size(); ++i)
        EXPECT_EQ(index.entries[i].timeMs, std::int64_t(i) * 2000);
    EXPECT_EQ(index.endTimeMs, 30000);
}

// Groups with B-frames: the key frames' shown times equal what a full decode
// shows, open groups (frames after a key frame shown before it) too. They
// are taken from the header and the key-frame packets without reading the
// file through.
TEST(Mp4IndexScan, BFrameGroupsMatchAFullDecode)
{
    struct Case {
        kvx::VideoCodec codec;
        bool openGroups;
    };
    CSampleFolder folder;
    for (const Case c : {Case{kvx::VideoCodec::H264, false}, Case{kvx::VideoCodec::H265, false},
                         Case{kvx::VideoCodec::H265, true}}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.codec)) + (c.openGroups ? " open" : " closed"));
        const auto path = folder.File("bframes.mp4");
        ContainerSampleOptions options;
        options.seconds = 8;
        options.gopSeconds = 2;
        options.bFrames = 2;
        options.openGroups = c.openGroups;
        options.codec = c.codec;
        ASSERT_TRUE(MakeContainerSample(path, ContainerKind::Mp4, options));
        int frames = 0;
        const auto decoded = DecodeContainerKeyFrames(path, &frames);
        EXPECT_EQ(frames, 200);
        ASSERT_EQ(decoded.size(), 4u);

        const std::uint64_t size = ReadFileBytes(path).size();
        const std::uint64_t before = ThreadReadBytes();
        CKeyFrameIndex index;
        ASSERT_TRUE(ScanRecordingIndex(path, index));
        EXPECT_LT(ThreadReadBytes() - before, size / 2);
        EXPECT_EQ(index.container, CKeyFrameIndex::Container::Mp4);
        ASSERT_EQ(index.entries.size(), decoded.size());
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            EXPECT_EQ(index.entries[i].timeMs, decoded[i].timeMs);
            EXPECT_EQ(std::int64_t(index.entries[i].position), decoded[i].position);
        }
        EXPECT_EQ(index.endTimeMs, 8000);
    }
}

// The index from the sample table against a plain demux of every packet,
// over B-frame files with closed, open and mixed groups (recordings of
// different encoders joined), parts whose key frames show after different
// delays (".avi" too) and junk behind the last box: every key frame is timed
// as shown, whatever the groups around it.
TEST(Mp4IndexScan, SampleTableIndexMatchesAPlainDemux)
{
    struct Case {
        kvx::VideoCodec codec;
        std::vector<bool> partsOpen;
        bool junkTail;
        std::vector<int> partsBFrames = {};
        ContainerKind kind = ContainerKind::Mp4;
    };
    const auto h264 = kvx::VideoCodec::H264;
    const auto h265 = kvx::VideoCodec::H265;
    const std::vector<int> delays{3, 1, 0, 3};
    CSampleFolder folder;
    for (const Case& c : {Case{h264, {false}, false}, Case{h265, {true}, false}, Case{h264, {false, true}, true},
                          Case{h265, {true, false, true}, false}, Case{h265, {false, false}, true},
                          Case{h264, {}, false, delays}, Case{h265, {}, true, delays},
                          Case{h264, {}, false, delays, ContainerKind::Avi}}) {
        const auto path = folder.File(std::string("zoo") + ContainerExtension(c.kind));
        ContainerSampleOptions options = BFrameMp4Options(c.codec, c.partsOpen);
        options.joinedPartsBFrames = c.partsBFrames;
        ASSERT_TRUE(MakeContainerSample(path, c.kind, options));
        if (c.junkTail) {
            auto bytes = ReadFileBytes(path);
            bytes.insert(bytes.end(), 333, 0xA5);
            ASSERT_TRUE(WriteFileBytes(path, bytes));
        }
        SCOPED_TRACE(::testing::Message() << path << ": " << c.partsOpen.size() + c.partsBFrames.size() << " parts");
        if (c.kind == ContainerKind::Avi)
            ExpectIndexMatchesAFullDecode(path);
        else
            ExpectIndexMatchesAPlainDemux(path);
    }
}

// Damaged sample tables: an empty sample at a key frame's position, a key
// frame whose size cannot be read, samples past the file's end. The index
// lists what the demuxer reads, as it times it.
TEST(Mp4IndexScan, DamagedSampleTablesMatchAPlainDemux)
{
    CSampleFolder folder;
    const auto original = folder.File("whole.mp4");
    ASSERT_TRUE(MakeContainerSample(original, ContainerKind::Mp4, BFrameMp4Options(kvx::VideoCodec::H265, {true})));
    const auto keys = DemuxContainerKeyFrames(original);
    ASSERT_GE(keys.size(), 3u);
    const int second = SampleNumberAt(original, keys[1].position);
    const int third = SampleNumberAt(original, keys[2].position);
    ASSERT_GT(second, 0);
    struct Damage {
        int sample;
        std::uint32_t size;
    };
    for (const Damage& d : {Damage{second - 1, 0}, Damage{second, 0x30000000}, Damage{third, 0},
                            Damage{third - 1, 0x01000000}}) {
        SCOPED_TRACE(::testing::Message() << "sample " << d.sample << " of size " << d.size);
        const auto path = folder.File("damaged.mp4");
        auto bytes = ReadFileBytes(original);
        ASSERT_TRUE(SetSampleSize(bytes, d.sample, d.size));
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        ExpectIndexMatchesAPlainDemux(path);
    }
}

// A transport stream's packets are read straight from the file: H.265 too.
TEST(TsIndexScan, H265KeyFramesMatchAFullDecode)
{
    CSampleFolder folder;
    const auto path = folder.File("h265.ts");
    ContainerSampleOptions options;
    options.seconds = 6;
    options.gopSeconds = 2;
    options.codec = kvx::VideoCodec::H265;
    ASSERT_TRUE(MakeContainerSample(path, ContainerKind::Ts, options));
    const auto decoded = DecodeContainerKeyFrames(path);
    ASSERT_EQ(decoded.size(), 3u);
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    ASSERT_EQ(index.entries.size(), decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_EQ(index.entries[i].timeMs, decoded[i].timeMs);
        EXPECT_EQ(std::int64_t(index.entries[i].position), decoded[i].position);
    }
    EXPECT_EQ(index.endTimeMs, 6000);
}

TEST(ContainerIndexScanNames, NamesThatLookLikeProtocolsAreLocalFiles)
{
    CSampleFolder folder;
    const auto clip = folder.File("clip.ts");
    ContainerSampleOptions options;
    options.seconds = 2;
    options.gopSeconds = 1;
    ASSERT_TRUE(MakeContainerSample(clip, ContainerKind::Ts, options));
    CKeyFrameIndex index;
    EXPECT_FALSE(ScanRecordingIndex("concat:" + clip + "|" + clip, index));
    const auto oddName = folder.File("a:b|c%20 \xff.ts");
    std::filesystem::copy_file(clip, oddName);
    ASSERT_TRUE(ScanRecordingIndex(oddName, index));
    EXPECT_EQ(index.entries.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Containers, ContainerIndexScan,
                         ::testing::Values(ContainerKind::Avi, ContainerKind::Mp4, ContainerKind::Ps, ContainerKind::Ts),
                         [](const auto& info) { return std::string(ContainerExtension(info.param) + 1); });

TEST(ContainerSamples, ProgramStreamIsProbedAsMpegWithItsVideoCodec)
{
    CSampleFolder folder;
    for (auto codec : {kvx::VideoCodec::H264, kvx::VideoCodec::H265}) {
        const auto path = folder.File("sample.ps");
        ContainerSampleOptions options;
        options.seconds = 1;
        options.codec = codec;
        ASSERT_TRUE(MakeContainerSample(path, ContainerKind::Ps, options));
        AVFormatContext* ctx = nullptr;
        ASSERT_GE(avformat_open_input(&ctx, path.c_str(), nullptr, nullptr), 0);
        avformat_find_stream_info(ctx, nullptr);
        EXPECT_STREQ(ctx->iformat->name, "mpeg");
        ASSERT_EQ(ctx->nb_streams, 1u);
        EXPECT_EQ(ctx->streams[0]->codecpar->codec_id,
                  codec == kvx::VideoCodec::H264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_HEVC);
        avformat_close_input(&ctx);
    }
}

TEST(ContainerSamples, CreationTimeGivesAbsoluteIndexTimes)
{
    CSampleFolder folder;
    const auto path = folder.File("dated.mp4");
    ContainerSampleOptions options;
    options.seconds = 2;
    options.creationUtcMs = 1600000000000;
    ASSERT_TRUE(MakeContainerSample(path, ContainerKind::Mp4, options));
    CKeyFrameIndex index;
    ASSERT_TRUE(ScanRecordingIndex(path, index));
    EXPECT_TRUE(index.absoluteTimes);
    ASSERT_EQ(index.entries.size(), 2u);
    EXPECT_EQ(index.entries[0].timeMs, 1600000000000);
    EXPECT_EQ(index.entries[1].timeMs, 1600000001000);
    EXPECT_EQ(index.startTimeMs, 1600000000000);
}

TEST(RecordingIndexScan, UnreadableFilesGiveNoIndex)
{
    CSampleFolder folder;
    CKeyFrameIndex index;
    EXPECT_FALSE(ScanRecordingIndex(folder.File("missing.kvx"), index));
    WriteFileBytes(folder.File("empty.ts"), {});
    EXPECT_FALSE(ScanRecordingIndex(folder.File("empty.ts"), index));
    std::vector<std::uint8_t> noise(100000);
    std::mt19937 random(5);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    WriteFileBytes(folder.File("noise.avi"), noise);
    EXPECT_FALSE(ScanRecordingIndex(folder.File("noise.avi"), index));
}
