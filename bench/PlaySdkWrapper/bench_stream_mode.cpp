// The stream player on a generated 704x576 ".kvx" recording:
//   AVI conversion of the whole recording against copying the file,
//   watermark verification in 128 KiB blocks (MB/s),
//   JPEG snapshots (quality 100) of every frame of a 4-second range.
// STREAM_BENCH_SECONDS sets the recording's length (default 60; 8 in
// sanitizer builds).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "KvxWriter/SyntheticRecording.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"

using namespace PLAY_MODULE;

namespace {

double RecordingSeconds()
{
    const char* seconds = std::getenv("STREAM_BENCH_SECONDS");
#ifdef __SANITIZE_ADDRESS__
    const double fallback = 8;
#else
    const double fallback = 60;
#endif
    return seconds ? std::atof(seconds) : fallback;
}

// A private folder, removed with everything in it at exit.
struct BenchFolder {
    BenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "streambench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

std::string Folder()
{
    static const BenchFolder folder;
    return folder.path;
}

const std::vector<std::uint8_t>& Recording()
{
    static const std::vector<std::uint8_t> bytes = [] {
        KVX_WRITER::SyntheticOptions options;
        options.seconds = RecordingSeconds();
        options.bitrateKbps = 4000;
        options.signer = KVX_WRITER::TestRecorderSigner();
        const std::string path = Folder() + "/bench.kvx";
        KVX_WRITER::WriteSyntheticRecording(options, path);
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

void Feed(CPlaySdkWrapper& player, const std::vector<std::uint8_t>& bytes, std::size_t block)
{
    for (std::size_t at = 0; at < bytes.size(); at += block) {
        auto* data = const_cast<std::uint8_t*>(bytes.data() + at);
        const std::size_t size = std::min(block, bytes.size() - at);
        while (!player.InputData(data, size))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    while (player.GetBufferValue(3) + player.GetSourceBufferRemain() != 0)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void BM_CopyFile(benchmark::State& state)
{
    const auto& bytes = Recording();
    const std::string path = Folder() + "/copy.kvx";
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (std::size_t at = 0; at < bytes.size(); at += 1u << 20)
            out.write(reinterpret_cast<const char*>(bytes.data() + at),
                      std::streamsize(std::min<std::size_t>(1u << 20, bytes.size() - at)));
        out.close();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes.size()));
}

void BM_AviConversion(benchmark::State& state)
{
    const auto& bytes = Recording();
    std::string path = Folder() + "/bench.avi";
    for (auto _ : state) {
        CPlaySdkWrapper player;
        player.SetStreamOpenMode(1);
        player.OpenStream(0x100000);
        player.StartAVIConvert(path.data());
        player.Play(nullptr);
        player.SetSpeed(64);
        Feed(player, bytes, 1u << 20);
        if (!player.StopAVIConvert())
            state.SkipWithError("AVI not written");
        player.Stop();
        player.CloseStream();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes.size()));
}

class CCountingChecker : public IWatermarkCheckListener {
public:
    void OnWatermarkCheckInfo(CPlaySdkWrapper*, const char*, long, long, long, long, long result) override
    {
        errors += result != kWatermarkResultOk ? 1 : 0;
    }
    int errors = 0;
};

void BM_WatermarkCheck(benchmark::State& state)
{
    const auto& bytes = Recording();
    for (auto _ : state) {
        CCountingChecker checker;
        CPlaySdkWrapper player;
        player.SetWatermarkListener(&checker);
        player.SetStreamOpenMode(1);
        player.OpenStream(921600);
        player.EnableWaterMarkCallBackEx();
        player.Play(nullptr);
        Feed(player, bytes, 131072);
        player.Stop();
        player.CloseStream();
        if (checker.errors)
            state.SkipWithError("watermark errors in an untouched recording");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes.size()));
}

class CJpegSeries : public IImageSnapshotListener {
public:
    explicit CJpegSeries(CPlaySdkWrapper& player) : m_player(player) {}
    void OnSnapshot(char* frame, long, long width, long height, long, long format) override
    {
        std::string path = Folder() + "/snap.jpg";
        written += m_player.ConvertToJpegFile(frame, width, height, int(format), 100, path.data());
    }
    int written = 0;

private:
    CPlaySdkWrapper& m_player;
};

// The first four seconds: two whole groups of pictures.
std::vector<std::uint8_t> FourSeconds()
{
    const auto& bytes = Recording();
    return {bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min<std::size_t>(bytes.size(), bytes.size() * 4 / RecordingSeconds()))};
}

void BM_JpegSnapshots704x576(benchmark::State& state)
{
    const auto range = FourSeconds();
    std::int64_t images = 0;
    for (auto _ : state) {
        CPlaySdkWrapper player;
        CJpegSeries series(player);
        player.SetImageSnapShotListener(&series);
        player.OpenStream(0x100000);
        player.EnableDisplayCallBack(1);
        player.Play(nullptr);
        player.SetSpeed(64);
        Feed(player, range, 1u << 20);
        player.EnableDisplayCallBack(0);
        images += series.written;
    }
    state.SetItemsProcessed(images);
}

}  // namespace

BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AviConversion)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WatermarkCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JpegSnapshots704x576)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
