// Loading a settings file near its 64 MiB bound (19,303 remembered folders
// of long names) and saving it again; the counters give the process's
// resident memory after the load and its peak, in MiB.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Common/ConfigManager.h"

namespace {

constexpr int kFolders = 19303;
constexpr std::size_t kNameLength = 3400;

// "VmRSS" or "VmHWM" of this process, in MiB.
double StatusMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(line.find(':') + 1)) / 1024.0;
    return 0;
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
    const double before = StatusMiB("VmRSS");
    double after = 0;
    for (auto _ : state) {
        CConfigManager config;
        config.Init();
        benchmark::DoNotOptimize(config.GetOpenedPaths().size());
        after = StatusMiB("VmRSS");
    }
    state.counters["file_MiB"] = fileMiB;
    state.counters["held_after_load_MiB"] = after - before;
    state.counters["peak_MiB"] = StatusMiB("VmHWM");
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadLargeSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveLargeSettings(benchmark::State& state)
{
    const std::string folder = MakeProgramFolder();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    CConfigManager config;
    config.Init();
    for (auto _ : state)
        benchmark::DoNotOptimize(config.Save());
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveLargeSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
