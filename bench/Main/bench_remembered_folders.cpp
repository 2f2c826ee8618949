// The start with many remembered folders of long names: the settings load,
// the list handed to the file index and every folder scanned, as the main
// window does it. Counters: the settings file, the process's resident growth
// after the scan and its peak, in MiB. The folders are missing or exist
// empty. Size: --folders=19303 (near the settings file's bound; default 300).
// Run it without sanitizers: their allocator keeps what is freed.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>


#include "Common/ConfigManager.h"
#include "Support/BenchRun.h"
#include "Main/MainFrameHelpLogic.h"

namespace {

constexpr std::size_t kNameLength = 3400;
int g_folders = 300;

// A name component of about kNameLength characters in parts a folder name may have.
std::string LongPart()
{
    std::string part;
    while (part.size() + 40 < kNameLength)
        part += "/" + std::string(240, 'd');
    return part;
}

// A program folder whose settings remember g_folders folders under it,
// made as empty folders when wanted.
std::string MakeProgramFolder(bool makeFolders)
{
    char pattern[] = "/tmp/lumivex-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    std::filesystem::create_directory(folder + "/Config");
    const std::string base = folder + "/rec" + LongPart();
    std::ofstream out(folder + "/Config/config.xml");
    out << "<Setting><UIConfig><OldPath value=\"";
    for (int i = 0; i < g_folders; ++i) {
        const std::string remembered = base + "/" + std::to_string(i) + "/";
        if (makeFolders)
            std::filesystem::create_directories(remembered);
        out << remembered << ";";
    }
    out << "\" /></UIConfig></Setting>";
    return folder;
}

void BM_StartWithRememberedFolders(benchmark::State& state)
{
    const std::string folder = MakeProgramFolder(state.range(0) != 0);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const double fileMiB = double(std::filesystem::file_size("Config/config.xml")) / (1 << 20);
    const double before = BENCH::StatusMiB("VmRSS");
    double after = 0;
    for (auto _ : state) {
        CConfigManager config;
        config.Init();
        boost::shared_ptr<CMainFrameHelpLogic> logic = CMainFrameHelpLogic::Create({});
        logic->Task_BuildFileLists(CMainFrameHelpLogic::PackPaths(config.GetOpenedPaths()));
        after = BENCH::StatusMiB("VmRSS");
        benchmark::DoNotOptimize(config.GetOpenedPaths().size());
    }
    state.counters["file_MiB"] = fileMiB;
    state.counters["resident_after_scan_MiB"] = after - before;
    state.counters["peak_MiB"] = BENCH::StatusMiB("VmHWM");
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_StartWithRememberedFolders)->ArgName("existing")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// Takes "--folders=N" out of the arguments.
void TakeFolderCount(int& argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--folders=", 10) != 0)
            continue;
        g_folders = std::stoi(argv[i] + 10);
        for (int j = i; j + 1 < argc; ++j)
            argv[j] = argv[j + 1];
        --argc;
        return;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    TakeFolderCount(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
