// Preview speed on a 10-minute 704x576 recording of the synthetic pattern,
// all in one run:
//   preview/indexed:  LoadFile until all 4 slices are paused on their frames,
//                     with the recording's index file present;
//   preview/scanned:  the same after deleting the index file;
//   open_exact_seek:  one play object from Open to its first frame after an
//                     exact seek into the middle of the file.
// Goals: indexed <= 5 x open_exact_seek; indexed < scanned.
// The recording is made once and kept in the temporary folder;
// PREVIEW_BENCH_SECONDS sets its length (default 600).
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Common/IndexFileStore.h"
#include "KvxWriter/RecordingName.h"
#include "KvxWriter/SyntheticRecording.h"
#include "PageServices/PageHost.h"
#include "Platform/PlayModule/PlayModule.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/RenderSetup.h"
#include "Support/DayOfRecordings.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Preview/PreviewSimplePlayerUILogic.h"
#include "Widgets/SFComboBox.h"
#include "Support/ProcessUntil.h"
#include "Widgets/SFView.h"

namespace {

constexpr std::int64_t kStartMs = 1704096000000;

class BenchHost : public IPageHost {
public:
    void Task_OnCloseSuccess(int) override { closed = true; }
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return 0; }
    bool closed = false;
};

void RunOnPlayLoop(const std::function<void()>& work)
{
    std::atomic<bool> finished{false};
    LumivexBase::PostTaskToLoop(LumivexBase::ML_PLAY,
                                LumivexBase::MakeTask<int>([&] {
                                    work();
                                    finished = true;
                                }),
                                __FILE__, __LINE__, "work", "RunOnPlayLoop");
    ProcessUntil([&] { return finished.load(); }, 300000);
}

double RecordingSeconds()
{
    const char* text = std::getenv("PREVIEW_BENCH_SECONDS");
    return text ? std::atof(text) : 600.0;
}

const std::string& Recording()
{
    static const std::string path = [] {
        const double seconds = RecordingSeconds();
        const auto endMs = kStartMs + std::int64_t(seconds * 1000);
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("lumivex-preview-bench-" + std::to_string(int(seconds)));
        std::filesystem::create_directories(folder);
        const std::string file =
            (folder / KVX_WRITER::RecordingFileName("Bench", 1, 0, kStartMs, endMs)).string();
        if (!std::filesystem::exists(file)) {
            KVX_WRITER::SyntheticOptions options;
            options.startUtcMs = kStartMs;
            options.seconds = seconds;
            options.bitrateKbps = 512;
            options.audio.reset();
            options.overlays = false;
            const std::string partial = file + ".part";
            if (!KVX_WRITER::WriteSyntheticRecording(options, partial))
                std::abort();
            std::filesystem::rename(partial, file);
        }
        return file;
    }();
    return path;
}

std::wstring WideRecording() { return SF_SOFT_BASE::Utf8ToWide(Recording()); }

struct Page {
    Page()
    {
        page = CPreviewPageEventImp::Create(host);
        player = page->GetSimplePlayerView();
        player->GetSlicesComboBox()->SetCurSel(2);
        QWidget* view = static_cast<QWidget*>(page->GetUIWnd());
        view->resize(1280, 800);
        view->show();
    }
    ~Page()
    {
        page->ProcDestroy();
        ProcessUntil([this] { return host->closed; });
        player.reset();
        page.reset();
    }
    void Stop()
    {
        player->GetUILogic()->StopPlay();
        ProcessUntil([this] { return !player->GetUILogic()->IsLoading(); }, 300000);
    }
    bool Preview(std::size_t slices = 4)
    {
        player->GetSlicesComboBox()->SetCurSel(int(slices) - 2);
        player->GetUILogic()->LoadFile(WideRecording());
        return ProcessUntil([this] { return !player->GetUILogic()->IsLoading(); }, 300000) &&
               player->GetUILogic()->GetOpenSlices().size() == slices;
    }
    boost::shared_ptr<BenchHost> host = boost::make_shared<BenchHost>();
    boost::shared_ptr<CPreviewPageEventImp> page;
    boost::shared_ptr<CPreviewSimplePlayerEventImp> player;
};

void RemoveIndexFile() { std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(WideRecording()))); }

void BM_PreviewIndexed(benchmark::State& state)
{
    Page page;
    if (!IsIndexFileValid(WideRecording()) && !page.Preview())
        state.SkipWithError("preview failed");
    for (auto _ : state) {
        state.PauseTiming();
        page.Stop();
        state.ResumeTiming();
        if (!page.Preview())
            state.SkipWithError("preview failed");
    }
}

void BM_PreviewScanned(benchmark::State& state)
{
    Page page;
    for (auto _ : state) {
        state.PauseTiming();
        page.Stop();
        RemoveIndexFile();
        state.ResumeTiming();
        if (!page.Preview())
            state.SkipWithError("preview failed");
    }
    if (!IsIndexFileValid(WideRecording()))
        state.SkipWithError("no index file was written");
}

// Resident memory of the page before the slices, with 16 slices open, and
// after they were closed (goal: back near where it was before the slices).
void BM_PreviewMemory(benchmark::State& state)
{
    for (auto _ : state) {
        Page page;
        ProcessUntil([] { return false; }, 500);
        const double before = BenchSupport::ResidentMb();
        if (!page.Preview(16))
            state.SkipWithError("preview failed");
        const double open = BenchSupport::ResidentMb();
        page.Stop();
        ProcessUntil([] { return false; }, 500);
        state.counters["MB_before"] = before;
        state.counters["MB_16_slices"] = open;
        state.counters["MB_closed"] = BenchSupport::ResidentMb();
        if (!page.Preview(16))
            state.SkipWithError("preview failed");
        page.Stop();
        ProcessUntil([] { return false; }, 500);
        state.counters["MB_closed_again"] = BenchSupport::ResidentMb();
    }
}

class SeekListener : public IPlayObjectListener {
public:
    void OnSeekSuccess(void*) override { seekDone = true; }
    bool seekDone = false;
};

void BM_OpenToExactSeekFrame(benchmark::State& state)
{
    boost::shared_ptr<CPlayManager> manager = CPlayManager::Create();
    auto listener = boost::make_shared<SeekListener>();
    const std::string path = Recording();
    for (auto _ : state) {
        void* handle = nullptr;
        RunOnPlayLoop([&] {
            handle = manager->CreatePlayObject(1);
            manager->SetPlayObjectListener(handle, listener);
            manager->Open(handle, path.c_str());
            manager->Play(handle, nullptr);
            const unsigned start = manager->GetFileStartTime(handle);
            const unsigned end = manager->GetFileEndTime(handle);
            manager->SeekByTimeExact(handle, start + (end - start) / 2, 1);
        });
        if (!ProcessUntil([&] { return listener->seekDone; }, 60000))
            state.SkipWithError("no frame after the seek");
        state.PauseTiming();
        listener->seekDone = false;
        RunOnPlayLoop([&] { manager->DestroyPlayObject(handle); });
        state.ResumeTiming();
    }
    RunOnPlayLoop([&] { manager.reset(); });
}

BENCHMARK(BM_PreviewIndexed)->Name("preview/indexed")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewScanned)->Name("preview/scanned")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewMemory)->Name("preview/memory")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenToExactSeekFrame)->Name("open_exact_seek")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SF_SOFT_BASE::CSFSystem::ReturnFreedMemoryEagerly();  // as the program does
    QApplication app(argc, argv);
    LumivexBase::RegisterGuiLoop();
    LumivexBase::StartWorkerLoop(LumivexBase::ML_PLAY);
    InitRender();
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_DDRAW);
    Recording();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return 0;
}
