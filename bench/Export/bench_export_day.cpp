// The export page with one channel of a day of one-minute recordings
// ticked (1,440 hard links to one short 704x576 recording, named for the
// minutes of the day): recordings open, threads and resident memory before,
// while it plays, and after the page closed its files. Goal: under 1 GB.
// EXPORT_DAY_FILES sets the files of the day (default 1440).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <malloc.h>
#include <unistd.h>

#include <QApplication>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFDateTime.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Export/ExportViewEventImp.h"
#include "Export/ExportViewUILogic.h"
#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/FileManager.h"
#include "KvxWriter/RecordingName.h"
#include "KvxWriter/SyntheticRecording.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Support/PageBench.h"
#include "Widgets/SFView.h"

using namespace LumivexBase;
using BENCH::WaitFor;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::int64_t kDayStartMs = 1451692800000;  // 2016-01-02 00:00:00 UTC

struct Usage {
    double residentMb = 0;
    int threads = 0;
    int recordingsOpen = 0;  // descriptors on ".kvx" files
};

Usage Measure()
{
    Usage usage;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            usage.residentMb = std::atof(line.c_str() + 6) / 1024;
        if (line.rfind("Threads:", 0) == 0)
            usage.threads = std::atoi(line.c_str() + 8);
    }
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.size() > 4 && target.compare(target.size() - 4, 4, ".kvx") == 0)
            ++usage.recordingsOpen;
    }
    return usage;
}

std::string MakeDay(const std::string& folder, int files)
{
    const std::string recording = folder + "/source.bin";
    KVX_WRITER::SyntheticOptions options;
    options.startUtcMs = kDayStartMs;
    options.seconds = 2;
    options.signer = KVX_WRITER::TestRecorderSigner();
    if (!KVX_WRITER::WriteSyntheticRecording(options, recording))
        return {};
    const std::string day = folder + "/day";
    std::filesystem::create_directories(day);
    for (int i = 0; i < files; ++i) {
        const std::int64_t start = kDayStartMs + std::int64_t(i) * 60000;
        std::error_code error;
        const std::string name = KVX_WRITER::RecordingFileName("REC", 1, 0, start, start + 60000);
        std::filesystem::create_hard_link(recording, day + "/" + name, error);
    }
    return day;
}

void Print(const char* when, const Usage& usage)
{
    std::printf("%-34s %8.1f MB %6d threads %6d recordings open\n", when, usage.residentMb, usage.threads,
                usage.recordingsOpen);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char* filesText = std::getenv("EXPORT_DAY_FILES");
    const int files = filesText ? std::atoi(filesText) : 1440;
    std::string folder = (std::filesystem::temp_directory_path() / "exportday-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    const std::string day = MakeDay(folder, files);
    if (day.empty())
        return 1;
    RegisterGuiLoop();
    StartWorkerLoop(ML_EXPORT);
    StartWorkerLoop(ML_PLAY);

    Usage peak;
    {
        auto host = boost::make_shared<BENCH::CIdlePageHost>();
        auto page = CExportViewEventImp::Create(host);
        page->GetView()->MoveWindow(0, 0, 1200, 800);
        page->GetView()->ShowWindow(1);
        auto manager = boost::make_shared<CFileManager>(nullptr);
        int noMatch = 1;
        manager->LoadPath((SF_SOFT_BASE::Utf8ToWide(day) + L"/*.*").c_str(), &noMatch);
        page->SetFileManager(manager);
        WaitFor([] { return false; }, 1);
        Print("before", Measure());

        SF_SOFT_BASE::CSFDateTime date;
        date.FromTime(std::uint32_t(kDayStartMs / 1000));
        auto uiLogic = page->GetUILogic();
        const auto start = Clock::now();
        uiLogic->OpenChannel(L"REC", GetDayKey(date), 1);
        WaitFor([&] {
            const Usage now = Measure();
            peak.residentMb = std::max(peak.residentMb, now.residentMb);
            peak.threads = std::max(peak.threads, now.threads);
            peak.recordingsOpen = std::max(peak.recordingsOpen, now.recordingsOpen);
            return uiLogic->GetBusyState() == 0 && int(uiLogic->GetHandleTable().size()) == files;
        }, 600);
        std::printf("channel ticked and idle after %.2f s\n",
                    std::chrono::duration<double>(Clock::now() - start).count());
        WaitFor([] { return false; }, 2);
        Print("one channel ticked, playing", Measure());
        Print("peak while ticking", peak);

        page->CloseAll();
        WaitFor([&] { return uiLogic->HasNoPlayHandle(); }, 60);
        WaitFor([] { return false; }, 1);
        Print("after the page closed its files", Measure());
        malloc_trim(0);
        Print("... and the heap trimmed", Measure());
    }
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return peak.residentMb < 1024 ? 0 : 1;
}
