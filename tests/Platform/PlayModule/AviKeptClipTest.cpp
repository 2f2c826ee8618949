#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "Platform/PlayModule/Source/AviWholeChunks.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/PlainDemux.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

std::size_t Find(const std::vector<std::uint8_t>& bytes, const char* id)
{
    return std::size_t(std::search(bytes.begin(), bytes.end(), id, id + 4) - bytes.begin());
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(value >> (8 * i));
}

// A clip as its writer leaves it when killed: the sizes of its RIFF part and
// movie list and its frame counts unset, no index, its last chunk cut short.
std::vector<std::uint8_t> KilledClip(const CSampleFolder& folder, int* frames)
{
    const std::string path = folder.File("finished.avi");
    ContainerSampleOptions options;
    options.seconds = 2;
    options.width = 64;
    options.height = 48;
    EXPECT_TRUE(MakeContainerSample(path, ContainerKind::Avi, options));
    *frames = 50;
    std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    const std::size_t movie = Find(bytes, "movi") - 8;
    const char* picture = "00dc";
    const char* index = "idx1";
    if (movie >= bytes.size()) return {};
    const auto indexStart = std::search(bytes.begin() + std::ptrdiff_t(movie), bytes.end(), index, index + 4);
    const auto last = std::find_end(bytes.begin() + std::ptrdiff_t(movie), indexStart, picture, picture + 4);
    if (last == indexStart) return {};
    bytes.resize(std::size_t(last - bytes.begin()) + 20);  // the last picture cut short
    PutU32(bytes, 4, 0xFFFFFFFF);
    PutU32(bytes, movie + 4, 0xFFFFFFFF);
    PutU32(bytes, Find(bytes, "avih") + 8 + 16, 0);
    PutU32(bytes, Find(bytes, "strh") + 8 + 32, 0);
    PutU32(bytes, Find(bytes, "dmlh") + 8, 0);
    return bytes;
}

int VideoPackets(const std::string& path)
{
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return -1;
    int packets = 0;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(in, packet) >= 0) {
        packets += in->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? 1 : 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&in);
    return packets;
}

// An output that leaves blocks of zeros as holes in the file.
class CSparseOutput {
public:
    explicit CSparseOutput(const std::string& path)
        : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600))
    {
        constexpr int kBlock = 1 << 20;
        auto* buffer = static_cast<unsigned char*>(av_malloc(kBlock));
        m_io = avio_alloc_context(buffer, kBlock, 1, this, nullptr, &Write, &Seek);
        if (m_io) m_io->seekable = AVIO_SEEKABLE_NORMAL;
    }
    ~CSparseOutput()
    {
        if (m_io) {
            avio_flush(m_io);
            av_freep(&m_io->buffer);
            avio_context_free(&m_io);
        }
        if (m_fd >= 0) {
            EXPECT_EQ(::ftruncate(m_fd, off_t(m_end)), 0);
            ::close(m_fd);
        }
    }
    AVIOContext* Io() const { return m_fd >= 0 ? m_io : nullptr; }

private:
    static int Write(void* opaque, std::uint8_t* data, int size)
    {
        auto& self = *static_cast<CSparseOutput*>(opaque);
        const bool zeros = size > 0 && data[0] == 0 && std::memcmp(data, data + 1, std::size_t(size) - 1) == 0;
        if (!zeros && ::pwrite(self.m_fd, data, std::size_t(size), off_t(self.m_at)) != size) return AVERROR(EIO);
        self.m_at += size;
        self.m_end = std::max(self.m_end, self.m_at);
        return size;
    }
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence)
    {
        auto& self = *static_cast<CSparseOutput*>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return self.m_end;
        case SEEK_SET: return self.m_at = offset;
        case SEEK_CUR: return self.m_at += offset;
        case SEEK_END: return self.m_at = self.m_end + offset;
        }
        return -1;
    }

    int m_fd;
    AVIOContext* m_io = nullptr;
    std::int64_t m_at = 0;
    std::int64_t m_end = 0;
};

// A clip of three RIFF parts from FFmpeg's AVI writer: 40 pictures of 60 MB
// (holes) with sound after each. Unfinished, it is as the writer leaves it
// when killed after its last packet.
bool WriteThreePartClip(const std::string& path, bool finished)
{
    constexpr int kPictures = 40;
    constexpr int kPictureBytes = 60 << 20;
    constexpr int kSoundBytes = 320;
    CSparseOutput output(path);
    AVFormatContext* context = nullptr;
    if (!output.Io() || avformat_alloc_output_context2(&context, nullptr, "avi", nullptr) < 0) return false;
    context->pb = output.Io();
    AVStream* video = avformat_new_stream(context, nullptr);
    video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    video->codecpar->codec_id = AV_CODEC_ID_MPEG4;
    video->codecpar->width = 64;
    video->codecpar->height = 48;
    video->time_base = {1, 25};
    AVStream* sound = avformat_new_stream(context, nullptr);
    sound->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    sound->codecpar->codec_id = AV_CODEC_ID_PCM_ALAW;
    sound->codecpar->sample_rate = 8000;
    sound->codecpar->ch_layout = AV_CHANNEL_LAYOUT_MONO;
    sound->codecpar->block_align = 1;
    sound->codecpar->bits_per_coded_sample = 8;
    bool ok = avformat_write_header(context, nullptr) >= 0;
    AVBufferRef* zeros = av_buffer_allocz(kPictureBytes);
    AVPacket* packet = av_packet_alloc();
    for (int i = 0; ok && i < kPictures; ++i) {
        for (const AVStream* stream : {video, sound}) {
            packet->buf = av_buffer_ref(zeros);
            packet->data = zeros->data;
            packet->size = stream == video ? kPictureBytes : kSoundBytes;
            packet->stream_index = stream->index;
            packet->pts = packet->dts = stream == video ? i : std::int64_t(i) * kSoundBytes;
            packet->duration = stream == video ? 1 : kSoundBytes;
            packet->flags = stream == video && i % 25 == 0 ? AV_PKT_FLAG_KEY : 0;
            ok = av_write_frame(context, packet) >= 0;
            av_packet_unref(packet);
        }
    }
    av_packet_free(&packet);
    av_buffer_unref(&zeros);
    if (finished) ok = av_write_trailer(context) >= 0 && ok;
    context->pb = nullptr;
    avformat_free_context(context);
    return ok;
}

struct HeaderCounts {
    std::string odmlId;
    std::uint32_t allFrames = 0;
    std::uint32_t firstPartFrames = 0;
    std::vector<std::uint32_t> streamLengths;
};

HeaderCounts CountsOf(const std::string& path)
{
    std::vector<std::uint8_t> head(64 << 10);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    head.resize(std::size_t(std::max<ssize_t>(0, ::pread(fd, head.data(), head.size(), 0))));
    ::close(fd);
    const auto u32 = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | head.at(at + std::size_t(i));
        return value;
    };
    HeaderCounts counts;
    const std::size_t odml = Find(head, "odml");
    counts.odmlId.assign(head.begin() + std::ptrdiff_t(odml - 8), head.begin() + std::ptrdiff_t(odml - 4));
    counts.allFrames = u32(Find(head, "dmlh") + 8);
    counts.firstPartFrames = u32(Find(head, "avih") + 8 + 16);
    const char* strh = "strh";
    for (auto at = std::search(head.begin(), head.end(), strh, strh + 4); at != head.end();
         at = std::search(at + 4, head.end(), strh, strh + 4))
        counts.streamLengths.push_back(u32(std::size_t(at - head.begin()) + 8 + 32));
    return counts;
}

}  // namespace

// Killed in its third part, a clip kept counts its frames in every header as
// the finished clip does, its OpenDML header a list as there.
TEST(AviKeptClip, AKeptClipOfThreePartsCountsItsFramesAsAFinishedOne)
{
    CSampleFolder folder;
    const std::string finished = folder.File("finished.avi");
    const std::string kept = folder.File("kept.avi");
    ASSERT_TRUE(WriteThreePartClip(finished, true));
    ASSERT_TRUE(WriteThreePartClip(kept, false));
    ASSERT_GT(CAviKeptClip::Keep(kept), 2ull << 30);

    const HeaderCounts want = CountsOf(finished);
    const HeaderCounts got = CountsOf(kept);
    EXPECT_EQ(want.odmlId, "LIST");
    EXPECT_EQ(got.odmlId, want.odmlId);
    EXPECT_EQ(want.allFrames, 40u);
    EXPECT_EQ(got.allFrames, want.allFrames);
    EXPECT_EQ(got.firstPartFrames, want.firstPartFrames);
    EXPECT_EQ(got.streamLengths, want.streamLengths);
}

TEST(AviKeptClip, AKeptClipSaysItsLength)
{
    CSampleFolder folder;
    int frames = 0;
    const std::vector<std::uint8_t> killed = KilledClip(folder, &frames);
    ASSERT_FALSE(killed.empty());
    const std::string path = folder.File("kept.avi");
    ASSERT_TRUE(WriteFileBytes(path, killed));

    const std::uint64_t kept = CAviKeptClip::Keep(path);
    EXPECT_EQ(kept, CAviWholeChunks::End(path));
    EXPECT_EQ(ReadFileBytes(path).size(), kept);
    EXPECT_EQ(VideoPackets(path), frames - 1);
    EXPECT_EQ(ContainerLengthMs(path), (frames - 1) * 40);
    // Kept again (a second start): nothing changes.
    const std::vector<std::uint8_t> once = ReadFileBytes(path);
    EXPECT_EQ(CAviKeptClip::Keep(path), kept);
    EXPECT_EQ(ReadFileBytes(path), once);
}

TEST(AviKeptClip, FilesThatAreNoAviAreLeftAsTheyAre)
{
    CSampleFolder folder;
    const std::string path = folder.File("text.avi");
    const std::vector<std::uint8_t> text(300, 'x');
    ASSERT_TRUE(WriteFileBytes(path, text));
    EXPECT_EQ(CAviKeptClip::Keep(path), text.size());
    EXPECT_EQ(ReadFileBytes(path), text);
}

// A header list that ends inside its extended header: the count of all
// frames would fall on the size of the chunk after it, which the cut is
// judged by.
TEST(AviKeptClip, CountsAreNeverWrittenPastTheHeaderList)
{
    CSampleFolder folder;
    int frames = 0;
    std::vector<std::uint8_t> clip = KilledClip(folder, &frames);
    ASSERT_FALSE(clip.empty());
    const std::size_t header = Find(clip, "hdrl");
    const std::size_t extended = Find(clip, "dmlh");
    ASSERT_LT(extended, clip.size());
    std::memcpy(&clip[extended - 12], "LIST", 4);
    PutU32(clip, header - 4, std::uint32_t(extended + 4 - header));
    // Past the list, its data reads as chunks: an empty one, then one to its end.
    const std::uint32_t dataSize = std::uint32_t(clip[extended + 4]) | std::uint32_t(clip[extended + 5]) << 8;
    PutU32(clip, extended + 16, dataSize - 12);
    const std::string path = folder.File("kept.avi");
    ASSERT_TRUE(WriteFileBytes(path, clip));
    const std::uint64_t whole = CAviWholeChunks::End(path);
    ASSERT_GT(whole, 0u);

    EXPECT_EQ(CAviKeptClip::Keep(path), whole);
    EXPECT_EQ(CAviWholeChunks::End(path), whole);
}
