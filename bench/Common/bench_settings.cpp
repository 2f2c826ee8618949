// Loading a settings file near its 64 MiB bound (19,303 remembered folders
// of long names) and saving it again, also with more folders than fit; the
// counters give the heap the loaded settings hold, the process's resident
// growth and its peaks, in MiB. Run it without sanitizers: their allocator
// keeps what is freed.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Common/ConfigManager.h"
#include "Support/BenchRun.h"

namespace {

constexpr int kFolders = 19303;
constexpr std::size_t kNameLength = 3400;

// Bytes the heap hands out now (live allocations), in MiB.
double LiveHeapMiB()
{
    const struct mallinfo2 info = ::mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1 << 20);
}

// A program folder with a settings file of kFolders long folder names.
std::string MakeProgramFolder()
{
    char pattern[] = "/tmp/lumivex-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    std::filesystem::create_directory(folder + "/Config");
    std::ofstream out(folder + "/Config/config.xml");
    out << "<Setting><UIConfig><OldPath value=\"";
    for (int i = 0; i < kFolders; ++i)
        out << "/rec/" << i << "/" << std::string(kNameLength, 'd') << "/;";
    out << "\" /></UIConfig></Setting>";
    return folder;
}

void BM_LoadLargeSettings(benchmark::State& state)
{
    const std::string folder = MakeProgramFolder();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const double fileMiB = double(std::filesystem::file_size("Config/config.xml")) / (1 << 20);
    const double before = BENCH::StatusMiB("VmRSS");
    const double liveBefore = LiveHeapMiB();
    double after = 0;
    double live = 0;
    for (auto _ : state) {
        CConfigManager config;
        config.Init();
        benchmark::DoNotOptimize(config.GetOpenedPaths().size());
        after = BENCH::StatusMiB("VmRSS");
        live = LiveHeapMiB();
    }
    state.counters["file_MiB"] = fileMiB;
    state.counters["resident_after_load_MiB"] = after - before;
    state.counters["held_after_load_MiB"] = live - liveBefore;
    state.counters["peak_MiB"] = BENCH::StatusMiB("VmHWM");
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadLargeSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

// Starts the process's resident peak (VmHWM) anew.
void ResetResidentPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Saves the loaded settings; with extra folders beyond the bound, which
// the save leaves out. peak_above_loaded_MiB: the resident peak of the
// saves above what the loaded settings held.
void BM_SaveLargeSettings(benchmark::State& state)
{
    const std::string folder = MakeProgramFolder();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    CConfigManager config;
    config.Init();
    std::vector<std::wstring> remembered = config.GetOpenedPaths();
    for (std::int64_t i = 0; i < state.range(0); ++i)
        remembered.push_back(L"/more/" + std::to_wstring(i) + L"/" + std::wstring(kNameLength, L'd'));
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        config.GetOpenedPaths() = remembered;
        ::malloc_trim(0);
        const double loaded = BENCH::StatusMiB("VmRSS");
        ResetResidentPeak();
        state.ResumeTiming();
        benchmark::DoNotOptimize(config.Save());
        peak = std::max(peak, BENCH::StatusMiB("VmHWM") - loaded);
    }
    state.counters["peak_above_loaded_MiB"] = peak;
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveLargeSettings)->ArgName("past_bound")->Arg(0)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
