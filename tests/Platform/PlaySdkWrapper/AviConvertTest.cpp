#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <thread>

#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "StreamFeeding.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;
using namespace STREAM_TEST;

namespace {

constexpr std::size_t kMiB = 1u << 20;

// Names further files "<folder>/part<N>.avi", as the export engine would.
class CNameGiver : public IAVIConvertListener {
public:
    explicit CNameGiver(std::string folder) : m_folder(std::move(folder)) {}
    void OnAVINextFile(unsigned int part, int* goOn, char* name) override
    {
        *goOn = 1;
        std::snprintf(name, kAviNameBufferSize, "%s/part%u.avi", m_folder.c_str(), part);
        names.push_back(name);
    }
    std::vector<std::string> names;

private:
    std::string m_folder;
};

class AviConvert : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new CSampleFolder;
        KVX_WRITER::SyntheticOptions options = ShortRecordingOptions();
        s_small = ReadFileBytes(s_folder->MakeKvx(options));
        options.width = 320;
        options.height = 240;
        options.seconds = 2;
        s_large = ReadFileBytes(s_folder->MakeKvx(options, true, "Large"));
    }
    static void TearDownTestSuite() { delete s_folder; }

    void SetUp() override
    {
        m_player.SetAVIConvertListener(&m_names);
        m_player.SetStreamOpenMode(1);
        m_player.OpenStream(0x100000);
    }

    // The local recorder's order of calls; the result of StopAVIConvert.
    int Convert(std::span<const std::uint8_t> bytes, const std::string& path)
    {
        EXPECT_EQ(m_player.StartAVIConvert(const_cast<char*>(path.c_str())), 1);
        EXPECT_EQ(m_player.Play(nullptr), 1);
        m_player.SetSpeed(64);
        EXPECT_TRUE(Feed(m_player, bytes, kMiB));
        EXPECT_TRUE(Drain(m_player));
        const int stopped = m_player.StopAVIConvert();
        m_player.Stop();
        m_player.CloseStream();
        return stopped;
    }

    static bool NoTemporaryFiles()
    {
        // Temporaries are named "<file>.avi.~XXXXXX" beside the file.
        for (const auto& entry : std::filesystem::directory_iterator(s_folder->Path()))
            if (entry.path().filename().string().find(".avi.") != std::string::npos) return false;
        return true;
    }

    static CSampleFolder* s_folder;
    static std::vector<std::uint8_t> s_small;
    static std::vector<std::uint8_t> s_large;
    CNameGiver m_names{s_folder->Path()};
    CPlaySdkWrapper m_player;
};

CSampleFolder* AviConvert::s_folder = nullptr;
std::vector<std::uint8_t> AviConvert::s_small;
std::vector<std::uint8_t> AviConvert::s_large;

}  // namespace

TEST_F(AviConvert, KvxStreamBecomesAnAviWithEveryVideoFrameAndTheAudio)
{
    const std::string path = s_folder->File("whole.avi");
    ASSERT_EQ(Convert(s_small, path), 1);
    std::string codec;
    bool hasAudio = false;
    EXPECT_EQ(CountVideoPackets(path, &codec, &hasAudio), CountVideo(Records(s_small)));
    EXPECT_EQ(codec, "h264");
    EXPECT_TRUE(hasAudio);
    EXPECT_TRUE(m_names.names.empty());
    EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(AviConvert, KeyFrameToKeyFrameRangeConverts)
{
    const auto records = Records(s_small);
    std::vector<std::size_t> keys;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].header.IsKeyFrame()) keys.push_back(i);
    ASSERT_GE(keys.size(), 3u);
    const std::vector<KvxRecord> range(records.begin() + std::ptrdiff_t(keys[1]),
                                       records.begin() + std::ptrdiff_t(keys[2]));
    const std::string path = s_folder->File("range.avi");
    ASSERT_EQ(Convert(Serialize(range), path), 1);
    EXPECT_EQ(CountVideoPackets(path), CountVideo(range));
}

TEST_F(AviConvert, LargeOutputIsSplitAtKeyFramesIntoNamedFiles)
{
    m_player.SetAVISplitSize(20000);
    const std::string path = s_folder->File("split.avi");
    ASSERT_EQ(Convert(s_small, path), 1);
    ASSERT_EQ(m_names.names.size(), 2u);  // three groups, three files
    int frames = CountVideoPackets(path);
    for (const std::string& name : m_names.names) {
        const int count = CountVideoPackets(name);
        EXPECT_GT(count, 0) << name;
        frames += count;
    }
    EXPECT_EQ(frames, CountVideo(Records(s_small)));
    EXPECT_EQ(m_names.names[0], s_folder->File("part2.avi"));
}

TEST_F(AviConvert, FormatChangeStartsANewFile)
{
    std::vector<std::uint8_t> both = s_small;
    both.insert(both.end(), s_large.begin(), s_large.end());
    const std::string path = s_folder->File("change.avi");
    ASSERT_EQ(Convert(both, path), 1);
    ASSERT_EQ(m_names.names.size(), 1u);
    EXPECT_EQ(CountVideoPackets(path), CountVideo(Records(s_small)));
    EXPECT_EQ(CountVideoPackets(m_names.names[0]), CountVideo(Records(s_large)));
}

TEST_F(AviConvert, StopWhileDataAreQueuedLeavesACompleteFile)
{
    const std::string path = s_folder->File("stopped.avi");
    ASSERT_EQ(m_player.StartAVIConvert(const_cast<char*>(path.c_str())), 1);
    m_player.SetAVISplitSize(1);
    m_player.Play(nullptr);
    ASSERT_TRUE(Feed(m_player, std::span(s_small).first(60000), kMiB));
    ASSERT_TRUE(Drain(m_player));
    ASSERT_TRUE(Feed(m_player, std::span(s_small).subspan(60000), kMiB));
    EXPECT_EQ(m_player.StopAVIConvert(), 1);
    const auto namesAtStop = m_names.names.size();
    EXPECT_TRUE(Drain(m_player));
    EXPECT_EQ(m_names.names.size(), namesAtStop);
    EXPECT_GT(CountVideoPackets(path), 0);
    EXPECT_TRUE(NoTemporaryFiles());
}

// The listener hears of the failure when it happens, and the whole packets
// before it stay in place, unfinished but playable.
TEST_F(AviConvert, FullDiskKeepsTheWholePacketsAndIsToldAtOnce)
{
    struct FailureListener : CNameGiver {
        using CNameGiver::CNameGiver;
        void OnAVIConvertFailed(const char* path, std::int64_t ms) override { failures.emplace_back(path, ms); }
        std::vector<std::pair<std::string, std::int64_t>> failures;
    } listener{s_folder->Path()};
    m_player.SetAVIConvertListener(&listener);
    const std::string path = s_folder->File("full.avi");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 100000;
    setrlimit(RLIMIT_FSIZE, &small);
    ASSERT_EQ(m_player.StartAVIConvert(const_cast<char*>(path.c_str())), 1);
    m_player.Play(nullptr);
    EXPECT_TRUE(Feed(m_player, s_small, kMiB));
    EXPECT_TRUE(Drain(m_player));
    setrlimit(RLIMIT_FSIZE, &saved);
    const auto toldBeforeStop = listener.failures;
    EXPECT_EQ(m_player.StopAVIConvert(), 0);
    m_player.SetAVIConvertListener(nullptr);
    ASSERT_EQ(toldBeforeStop.size(), 1u);
    EXPECT_EQ(toldBeforeStop[0].first, path);
    EXPECT_GT(toldBeforeStop[0].second, 0);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_LE(std::filesystem::file_size(path), 100000u);
    EXPECT_GT(CountVideoPackets(path), 0);
    EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(AviConvert, AFileNamedLikeATemporaryIsLeftAlone)
{
    const std::string path = s_folder->File("kept.avi");
    WriteFileBytes(path + ".tmp", {1, 2, 3});
    ASSERT_EQ(Convert(s_small, path), 1);
    EXPECT_GT(CountVideoPackets(path), 0);
    EXPECT_EQ(ReadFileBytes(path + ".tmp"), (std::vector<std::uint8_t>{1, 2, 3}));
    std::filesystem::remove(path + ".tmp");
    EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(AviConvert, AStreamWithNothingDecodableReportsFailureAndWritesNoFile)
{
    std::vector<std::uint8_t> noise(64 * 1024);
    std::uint32_t seed = 12345;
    for (auto& byte : noise) {
        seed = seed * 1103515245u + 12345u;
        byte = std::uint8_t(seed >> 16);
    }
    const std::string path = s_folder->File("noise.avi");
    EXPECT_EQ(Convert(noise, path), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(AviConvert, UnwritablePathIsRefusedAtStart)
{
    std::string path = s_folder->File("missing/clip.avi");
    EXPECT_EQ(m_player.StartAVIConvert(path.data()), 0);
    EXPECT_EQ(m_player.StartAVIConvert(nullptr), 0);
}

TEST_F(AviConvert, OtherContainersFedAsStreamsConvert)
{
    for (ContainerKind kind : {ContainerKind::Avi, ContainerKind::Mp4, ContainerKind::Ps, ContainerKind::Ts}) {
        SCOPED_TRACE(ContainerExtension(kind));
        const std::string source = s_folder->File(std::string("source") + ContainerExtension(kind));
        ContainerSampleOptions options;
        options.seconds = 2;
        ASSERT_TRUE(MakeContainerSample(source, kind, options));
        const std::string path = s_folder->File(std::string("from") + ContainerExtension(kind) + ".avi");
        CPlaySdkWrapper player;
        player.OpenStream(0x100000);
        ASSERT_EQ(player.StartAVIConvert(const_cast<char*>(path.c_str())), 1);
        player.Play(nullptr);
        ASSERT_TRUE(Feed(player, ReadFileBytes(source), 65536));
        ASSERT_TRUE(Drain(player));
        EXPECT_EQ(player.StopAVIConvert(), 1);
        EXPECT_EQ(CountVideoPackets(path), CountVideoPackets(source));
    }
}

TEST_F(AviConvert, StopWaitsForARunningNameRequestAndNoneFollows)
{
    struct CSlowNames : IAVIConvertListener {
        void OnAVINextFile(unsigned int, int* goOn, char* name) override
        {
            inside = true;
            ++calls;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            *goOn = 1;
            std::snprintf(name, kAviNameBufferSize, "%s", path.c_str());
            inside = false;
        }
        std::string path;
        std::atomic<bool> inside{false};
        std::atomic<int> calls{0};
    } slow;
    slow.path = s_folder->File("slow-next.avi");
    m_player.SetAVIConvertListener(&slow);
    m_player.SetAVISplitSize(1);
    const std::string path = s_folder->File("slow.avi");
    ASSERT_EQ(m_player.StartAVIConvert(const_cast<char*>(path.c_str())), 1);
    m_player.Play(nullptr);
    ASSERT_TRUE(Feed(m_player, s_small, kMiB));
    while (!slow.inside) std::this_thread::yield();
    EXPECT_EQ(m_player.StopAVIConvert(), 1);
    EXPECT_FALSE(slow.inside);
    const int calls = slow.calls;
    EXPECT_TRUE(Drain(m_player));
    EXPECT_EQ(slow.calls, calls);
    EXPECT_GT(CountVideoPackets(path), 0);
}

// One chunk per coded audio frame: a clip is about the size of its source.
TEST_F(AviConvert, AacAndMuLawAudioGoIntoTheFile)
{
    for (kvx::AudioCodec audio : {kvx::AudioCodec::AacAdts, kvx::AudioCodec::G711MuLaw}) {
        KVX_WRITER::SyntheticOptions options;
        options.seconds = 2;
        options.width = 160;
        options.height = 120;
        options.audio = audio;
        const auto bytes = ReadFileBytes(s_folder->MakeKvx(options, true, "Sound" + std::to_string(int(audio))));
        const std::string path = s_folder->File("sound" + std::to_string(int(audio)) + ".avi");
        CPlaySdkWrapper player;
        player.OpenStream(0x100000);
        ASSERT_EQ(player.StartAVIConvert(const_cast<char*>(path.c_str())), 1);
        player.Play(nullptr);
        ASSERT_TRUE(Feed(player, bytes, kMiB));
        ASSERT_TRUE(Drain(player));
        EXPECT_EQ(player.StopAVIConvert(), 1);
        bool hasAudio = false;
        int audioPackets = 0;
        const auto records = Records(bytes);
        EXPECT_EQ(CountVideoPackets(path, nullptr, &hasAudio, &audioPackets), CountVideo(records));
        EXPECT_TRUE(hasAudio) << int(audio);
        const auto audioRecords = std::count_if(records.begin(), records.end(), [](const KvxRecord& record) {
            return record.header.kind == kvx::RecordKind::Audio;
        });
        EXPECT_EQ(audioPackets, audioRecords) << int(audio);
        EXPECT_LE(double(std::filesystem::file_size(path)), 1.2 * double(bytes.size())) << int(audio);
    }
}
