// Watermark check of one large ".kvx" written by kvxwrite: through the
// watermark page's two logics (128 KiB blocks, each through the GUI loop)
// against the library's own verification fed as fast as it takes data.
// LUMIVEX_WATERMARK_BENCH_MB sets the recording's size (default 16; the
// figure asked for is taken at 500).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "PageServices/PageHost.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"
#include "Support/PageBench.h"
#include "Watermark/WaterMarkUILogic.h"
#include "Watermark/WatermarkEventImp.h"
#include "Widgets/SFDialogEvent.h"

namespace {

constexpr std::size_t kBlock = 131072;

using BenchHost = BENCH::CDialogPageHost;

class ReportCounter : public PLAY_MODULE::IWatermarkCheckListener {
public:
    void OnWatermarkCheckInfo(PLAY_MODULE::CPlaySdkWrapper*, const char*, long, long, long, long, long) override
    {
        ++reports;
    }
    std::atomic<long> reports{0};
};

bool Run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

// A recording of about mb MiB: random pictures coded losslessly by FFmpeg,
// then recorded (video copied) and signed by kvxwrite.
std::string MakeRecording(int mb)
{
    static std::string path;
    if (!path.empty())
        return path;
    const auto folder = std::filesystem::temp_directory_path() / ("lumivex-bench-watermark-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "out");
    const std::string noise = (folder / "noise.mp4").string();
    const int frames = std::max(25, int(std::int64_t(mb) * 1024 * 1024 / 930000));  // noise codes to ~930 KB a frame
    if (!Run("ffmpeg -v error -y -f rawvideo -pix_fmt yuv420p -s 704x576 -r 25 -i /dev/urandom -frames:v " +
             std::to_string(frames) + " -c:v libx264 -preset ultrafast -qp 0 -g 50 '" + noise + "'"))
        return {};
    const std::string list = (folder / "written.txt").string();
    if (!Run(std::string(KVXWRITE_PATH) + " --audio none --watermark CAM-7 --seconds " +
             std::to_string(frames / 25 + 1) + " --input '" + noise + "' '" +
             (folder / "out").string() + "' > '" + list + "'"))
        return {};
    std::ifstream(list) >> path;
    std::filesystem::remove(noise);
    return path;
}

std::int64_t FileSize(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : std::int64_t(size);
}

int SizeMb()
{
    const char* text = std::getenv("LUMIVEX_WATERMARK_BENCH_MB");
    return text && std::atoi(text) > 0 ? std::atoi(text) : 16;
}

double g_libraryBytesPerSecond = 0;

void BM_LibraryVerification(benchmark::State& state)
{
    const std::string path = MakeRecording(SizeMb());
    if (path.empty()) {
        state.SkipWithError("no recording");
        return;
    }
    std::vector<unsigned char> block(kBlock);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        ReportCounter counter;
        PLAY_MODULE::CPlaySdkWrapper player;
        player.SetWatermarkListener(&counter);
        player.SetStreamOpenMode(1);
        player.OpenStream(921600);
        player.EnableWaterMarkCallBackEx();
        player.Play(nullptr);
        std::ifstream in(path, std::ios::binary);
        while (in.read(reinterpret_cast<char*>(block.data()), std::streamsize(kBlock)) || in.gcount() > 0) {
            const auto count = static_cast<unsigned long>(in.gcount());
            while (!player.InputData(block.data(), count))
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        while (player.GetBufferValue(3) + player.GetSourceBufferRemain() != 0)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        player.Stop();
        player.CloseStream();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        g_libraryBytesPerSecond = double(FileSize(path)) / seconds;
        state.counters["reports"] = double(counter.reports);
        state.counters["MiB"] = double(FileSize(path)) / (1 << 20);
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
}

void BM_PageLogics(benchmark::State& state)
{
    const std::string path = MakeRecording(SizeMb());
    if (path.empty()) {
        state.SkipWithError("no recording");
        return;
    }
    LumivexBase::RegisterGuiLoop();
    auto host = boost::make_shared<BenchHost>();
    auto page = CWatermarkEventImp::Create(host);
    auto logic = page->GetUILogic();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        logic->AddTask(SF_SOFT_BASE::Utf8ToWide(path), 0);
        logic->Start();
        // The GUI loop runs as under the program's exec until the run ends.
        QEventLoop loop;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!logic->IsRunning())
                loop.quit();
        });
        watch.start(1);
        loop.exec();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (g_libraryBytesPerSecond > 0)
            state.counters["vs_library"] = double(FileSize(path)) / seconds / g_libraryBytesPerSecond;
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
    host->window.reset();
    page.reset();
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
}

}  // namespace

BENCHMARK(BM_LibraryVerification)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageLogics)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::string path = MakeRecording(SizeMb());
    if (!path.empty())
        std::filesystem::remove_all(std::filesystem::path(path).parent_path().parent_path());
    return 0;
}
