#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "StreamFeeding.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;
using namespace STREAM_TEST;

namespace {

std::int64_t LocalSeconds(const __DATETIME_INFO& t)
{
    std::tm fields{};
    fields.tm_year = t.nYear - 1900;
    fields.tm_mon = t.nMonth - 1;
    fields.tm_mday = t.nDay;
    fields.tm_hour = t.nHour;
    fields.tm_min = t.nMinute;
    fields.tm_sec = t.nSecond;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

// Writes one image per new played second, named by the played time, as the
// export engine does for a series at a one-second interval.
class CSeriesWriter : public IImageSnapshotListener {
public:
    CSeriesWriter(CPlaySdkWrapper& player, std::string folder, bool jpeg)
        : m_player(player), m_folder(std::move(folder)), m_jpeg(jpeg)
    {
    }

    void OnSnapshot(char* frame, long size, long width, long height, long timeStamp, long format) override
    {
        ++frames;
        __DATETIME_INFO played;
        if (!m_player.GetPlayedAbsoluteTime(&played) || LocalSeconds(played) != timeStamp) ++wrongTimes;
        if (size != width * height * 3 / 2 || format != kSnapshotFormatYuv420) ++wrongSizes;
        if (timeStamp == m_lastSecond) return;
        m_lastSecond = timeStamp;
        char path[512];
        std::snprintf(path, sizeof path, "%s/%04d%02d%02d%02d%02d%02d.%s", m_folder.c_str(), played.nYear,
                      played.nMonth, played.nDay, played.nHour, played.nMinute, played.nSecond,
                      m_jpeg ? "jpg" : "bmp");
        const int written = m_jpeg ? m_player.ConvertToJpegFile(frame, width, height, int(format), 100, path)
                                   : m_player.ConvertToBmpFile(frame, size, width, height, format, path);
        if (written) images.push_back(path);
        else ++failures;
    }

    int frames = 0;
    int wrongTimes = 0;
    int wrongSizes = 0;
    int failures = 0;
    std::vector<std::string> images;

private:
    CPlaySdkWrapper& m_player;
    std::string m_folder;
    bool m_jpeg;
    long m_lastSecond = -1;
};

std::string NameOf(std::int64_t seconds, const char* extension)
{
    const std::time_t time = seconds;
    std::tm local{};
    localtime_r(&time, &local);
    char name[64];
    std::strftime(name, sizeof name, "%Y%m%d%H%M%S", &local);
    return std::string(name) + extension;
}

class SnapshotStream : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new CSampleFolder;
        s_recording = ReadFileBytes(s_folder->MakeKvx(ShortRecordingOptions()));
    }
    static void TearDownTestSuite() { delete s_folder; }

    void Run(std::span<const std::uint8_t> bytes)
    {
        m_player.SetImageSnapShotListener(&m_writer);
        m_player.SetStreamOpenMode(1);
        m_player.OpenStream(0x100000);
        ASSERT_EQ(m_player.EnableDisplayCallBack(1), 1);
        m_player.Play(nullptr);
        m_player.SetSpeed(64);
        ASSERT_TRUE(Feed(m_player, bytes, 1u << 20));
        ASSERT_TRUE(Drain(m_player));
        m_player.EnableDisplayCallBack(0);
        m_player.Stop();
        m_player.CloseStream();
    }

    static CSampleFolder* s_folder;
    static std::vector<std::uint8_t> s_recording;
    CPlaySdkWrapper m_player;
    CSeriesWriter m_writer{m_player, s_folder->Path(), true};
};

CSampleFolder* SnapshotStream::s_folder = nullptr;
std::vector<std::uint8_t> SnapshotStream::s_recording;

}  // namespace

TEST_F(SnapshotStream, EveryDecodedFrameReachesOnSnapshotWithItsTime)
{
    Run(s_recording);
    EXPECT_EQ(m_writer.frames, CountVideo(Records(s_recording)));
    EXPECT_EQ(m_writer.wrongTimes, 0);
    EXPECT_EQ(m_writer.wrongSizes, 0);
}

TEST_F(SnapshotStream, OneSecondSeriesGivesOneJpegPerSecondNamedByTheFrameTime)
{
    Run(s_recording);
    EXPECT_EQ(m_writer.failures, 0);
    ASSERT_EQ(m_writer.images.size(), 6u);
    for (int second = 0; second < 6; ++second) {
        const std::string expected = s_folder->File(NameOf(1451703845 + second, ".jpg"));
        EXPECT_EQ(m_writer.images[std::size_t(second)], expected);
        std::string codec;
        EXPECT_EQ(CountVideoPackets(expected, &codec), 1);
        EXPECT_EQ(codec, "mjpeg");
    }
}

TEST_F(SnapshotStream, BmpSnapshotsAre24BitPictures)
{
    CSeriesWriter bmp(m_player, s_folder->Path(), false);
    m_player.SetImageSnapShotListener(&bmp);
    m_player.OpenStream(0x100000);
    m_player.EnableDisplayCallBack(1);
    m_player.Play(nullptr);
    ASSERT_TRUE(Feed(m_player, std::span(s_recording).first(s_recording.size() / 3), 1u << 20));
    ASSERT_TRUE(Drain(m_player));
    ASSERT_FALSE(bmp.images.empty());
    const auto bytes = ReadFileBytes(bmp.images[0]);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[18] | bytes[19] << 8, 160);
    EXPECT_EQ(bytes[28], 24);
}

TEST_F(SnapshotStream, DisablingWaitsForARunningSnapshotAndStopsTheCalls)
{
    struct CSlowListener : IImageSnapshotListener {
        void OnSnapshot(char*, long, long, long, long, long) override
        {
            inside = true;
            ++calls;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            inside = false;
        }
        std::atomic<bool> inside{false};
        std::atomic<int> calls{0};
    } slow;
    m_player.SetImageSnapShotListener(&slow);
    m_player.OpenStream(0x100000);
    m_player.EnableDisplayCallBack(1);
    m_player.Play(nullptr);
    ASSERT_TRUE(Feed(m_player, s_recording, 1u << 20));
    while (!slow.inside) std::this_thread::yield();
    m_player.EnableDisplayCallBack(0);
    EXPECT_FALSE(slow.inside);
    const int callsAtDisable = slow.calls;
    ASSERT_TRUE(Drain(m_player));
    EXPECT_EQ(slow.calls, callsAtDisable);
}

TEST_F(SnapshotStream, ConversionsRefuseUnsoundFrames)
{
    std::vector<char> frame(160 * 120 * 3 / 2, 0);
    std::string path = s_folder->File("refused.jpg");
    EXPECT_EQ(m_player.ConvertToJpegFile(nullptr, 160, 120, 1, 90, path.data()), 0);
    EXPECT_EQ(m_player.ConvertToJpegFile(frame.data(), 160, 120, 7, 90, path.data()), 0);
    EXPECT_EQ(m_player.ConvertToJpegFile(frame.data(), 1, 120, 1, 90, path.data()), 0);
    EXPECT_EQ(m_player.ConvertToJpegFile(frame.data(), 160, 120, 1, 90, nullptr), 0);
    EXPECT_EQ(m_player.ConvertToBmpFile(frame.data(), long(frame.size()) - 1, 160, 120, 1, path.data()), 0);
    EXPECT_EQ(m_player.ConvertToBmpFile(frame.data(), 100, 100000, 100000, 1, path.data()), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    std::string missing = s_folder->File("no/such/folder.jpg");
    EXPECT_EQ(m_player.ConvertToJpegFile(frame.data(), 160, 120, 1, 90, missing.data()), 0);
    EXPECT_EQ(m_player.ConvertToJpegFile(frame.data(), 160, 120, 1, 90, path.data()), 1);
}

TEST_F(SnapshotStream, DisplayCallbackNeedsAListenerAndPlayedTimeNeedsAFrame)
{
    CPlaySdkWrapper player;
    EXPECT_EQ(player.EnableDisplayCallBack(1), 0);
    __DATETIME_INFO time;
    EXPECT_EQ(player.GetPlayedAbsoluteTime(&time), 0);
    EXPECT_EQ(player.GetPlayedAbsoluteTime(nullptr), 0);
}

TEST_F(SnapshotStream, H265RecordingDecodesAndConvertsToAvi)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 2;
    options.width = 160;
    options.height = 120;
    options.codec = kvx::VideoCodec::H265;
    const auto bytes = ReadFileBytes(s_folder->MakeKvx(options, true, "Hevc"));
    ASSERT_FALSE(bytes.empty());
    std::string avi = s_folder->File("hevc.avi");
    ASSERT_EQ(m_player.StartAVIConvert(avi.data()), 1);
    Run(bytes);
    EXPECT_EQ(m_player.StopAVIConvert(), 1);
    EXPECT_EQ(m_writer.frames, CountVideo(Records(bytes)));
    EXPECT_EQ(m_writer.images.size(), 2u);
    std::string codec;
    EXPECT_EQ(CountVideoPackets(avi, &codec), CountVideo(Records(bytes)));
    EXPECT_EQ(codec, "hevc");
}

TEST_F(SnapshotStream, ExportJobsOfDifferentRecordingsShareOneStream)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 2;
    options.width = 176;
    options.height = 144;
    options.startUtcMs = 1500000000000;
    const auto other = ReadFileBytes(s_folder->MakeKvx(options, true, "Second"));
    m_player.SetImageSnapShotListener(&m_writer);
    m_player.SetStreamOpenMode(1);
    m_player.OpenStream(0x100000);
    // Job 1: an AVI clip of the first recording.
    std::string avi = s_folder->File("job1.avi");
    ASSERT_EQ(m_player.StartAVIConvert(avi.data()), 1);
    m_player.Play(nullptr);
    m_player.SetSpeed(64);
    ASSERT_TRUE(Feed(m_player, s_recording, 1u << 20));
    ASSERT_TRUE(Drain(m_player));
    EXPECT_EQ(m_player.StopAVIConvert(), 1);
    // Job 2: snapshots of the second one, fed into the same stream.
    ASSERT_EQ(m_player.EnableDisplayCallBack(1), 1);
    m_player.Play(nullptr);
    ASSERT_TRUE(Feed(m_player, other, 1u << 20));
    ASSERT_TRUE(Drain(m_player));
    m_player.EnableDisplayCallBack(0);
    m_player.Stop();
    m_player.CloseStream();
    EXPECT_EQ(CountVideoPackets(avi), CountVideo(Records(s_recording)));
    EXPECT_EQ(m_writer.frames, CountVideo(Records(other)));
    EXPECT_EQ(m_writer.wrongTimes, 0);
    ASSERT_EQ(m_writer.images.size(), 2u);
    EXPECT_EQ(m_writer.images[0], s_folder->File(NameOf(1500000000, ".jpg")));
}

TEST_F(SnapshotStream, StopFromInsideACallbackEndsTheCallsAndPlayResumes)
{
    struct CStoppingListener : IImageSnapshotListener {
        void OnSnapshot(char*, long, long, long, long, long) override
        {
            if (++calls == 1) player->Stop();
        }
        CPlaySdkWrapper* player = nullptr;
        std::atomic<int> calls{0};
    } stopping;
    stopping.player = &m_player;
    m_player.SetImageSnapShotListener(&stopping);
    m_player.OpenStream(0x100000);
    m_player.EnableDisplayCallBack(1);
    m_player.Play(nullptr);
    std::vector<std::uint8_t> head(s_recording.begin(), s_recording.begin() + 200000);
    ASSERT_EQ(m_player.InputData(head.data(), head.size()), 1);
    EXPECT_TRUE(Drain(m_player));  // the stop dropped what was left
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(stopping.calls, 1);
    ASSERT_EQ(m_player.Play(nullptr), 1);
    ASSERT_TRUE(Feed(m_player, s_recording, 1u << 20));
    ASSERT_TRUE(Drain(m_player));
    EXPECT_EQ(stopping.calls, 1 + CountVideo(Records(s_recording)));
}

TEST_F(SnapshotStream, PlayFromInsideTheCallbackThatStoppedIsRefused)
{
    // The stopped worker still runs the callback: it cannot start a second
    // one beside itself; Play works again once the callback has returned.
    struct CRestartingListener : IImageSnapshotListener {
        void OnSnapshot(char*, long, long, long, long, long) override
        {
            if (++calls != 1)
                return;
            player->Stop();
            restarted = player->Play(nullptr);
        }
        CPlaySdkWrapper* player = nullptr;
        std::atomic<int> calls{0};
        std::atomic<int> restarted{-1};
    } restarting;
    restarting.player = &m_player;
    m_player.SetImageSnapShotListener(&restarting);
    m_player.OpenStream(0x100000);
    m_player.EnableDisplayCallBack(1);
    ASSERT_EQ(m_player.Play(nullptr), 1);
    std::vector<std::uint8_t> head(s_recording.begin(), s_recording.begin() + 200000);
    ASSERT_EQ(m_player.InputData(head.data(), head.size()), 1);
    EXPECT_TRUE(Drain(m_player));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(restarting.restarted, 0);
    EXPECT_EQ(restarting.calls, 1);
    ASSERT_EQ(m_player.Play(nullptr), 1);
    ASSERT_TRUE(Feed(m_player, s_recording, 1u << 20));
    ASSERT_TRUE(Drain(m_player));
    EXPECT_EQ(restarting.calls, 1 + CountVideo(Records(s_recording)));
}

// The stream player times frames as the play module times the same file, so
// an export's series finds the times the user picked on the time line.
TEST(StreamTimes, AreThePlayModulesForTheSameFile)
{
    CSampleFolder folder;
    struct CFirstTime : IImageSnapshotListener {
        void OnSnapshot(char*, long, long, long, long timeStamp, long) override
        {
            if (first < 0)
                first = timeStamp;
        }
        long first = -1;
    };
    struct CQuiet : IPlayModuleListener {
        void OnFileRefFinished(CPlayModule*, int) override {}
        void OnFileEnd(CPlayModule*) override {}
        void OnStreamData(CPlayModule*, unsigned char*, int, PM_FRAME_INFO*, int) override {}
        void OnFrameVisible(CPlayModule*, int, unsigned char*, int, PM_FRAME_INFO*) override {}
        void OnFileTimeDone(CPlayModule*, unsigned, unsigned) override {}
        int OnOverlayData(CPlayModule*, unsigned char*, int, int, int, int) override { return 0; }
    } quiet;
    for (const bool mp4 : {false, true}) {
        SCOPED_TRACE(mp4 ? "mp4" : "ts");
        const ContainerKind kind = mp4 ? ContainerKind::Mp4 : ContainerKind::Ts;
        const std::string path = folder.File(std::string("times") + ContainerExtension(kind));
        ContainerSampleOptions options;
        options.seconds = 2;
        if (mp4)
            options.creationUtcMs = 1451703845000;
        ASSERT_TRUE(MakeContainerSample(path, kind, options));
        CPlayModule module(&quiet);  // its first frame is at its start time
        ASSERT_EQ(module.Open(path.c_str()), 1);
        const long moduleFirst = long(module.GetFileStartTime());
        module.Close();

        CFirstTime times;
        CPlaySdkWrapper player;
        player.SetImageSnapShotListener(&times);
        player.OpenStream(0x100000);
        ASSERT_EQ(player.EnableDisplayCallBack(1), 1);
        player.Play(nullptr);
        player.SetSpeed(64);
        ASSERT_TRUE(Feed(player, ReadFileBytes(path), 65536));
        ASSERT_TRUE(Drain(player));
        player.EnableDisplayCallBack(0);
        player.Stop();
        player.CloseStream();
        EXPECT_EQ(times.first, moduleFirst);
        EXPECT_EQ(moduleFirst, mp4 ? 1451703845 : 0);
    }
}
