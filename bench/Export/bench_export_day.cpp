// The export page over a recorder's day of one-minute recordings: tick the
// whole day, untick it, tick it again, begin an export of the whole day and
// of 5 minutes and stop each once its first clip is written (the "begin" row
// times "Begin Export" to that clip; the analysis of the span's recordings
// is timed to its end, in files a second), and close the page's files, at a
// small and a large number of files a channel. For each step: wall time,
// GUI-thread CPU time, the longest the GUI loop went unanswered, and the
// cost per file; then the ratio of the large day's cost per file to the
// small one's (goal: under 1.2) and resident memory per file ticked.
// "--full" (or EXPORT_DAY_FULL=1) takes the user's day, 16 channels at 100
// and at 1,440 files a channel; without it a smoke run of 2 channels at 10
// and 100.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFDateTime.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Base/WorkerLoops.h"
#include "Export/ExportSimplePlayerViewEventImp.h"
#include "Export/ExportViewEventImp.h"
#include "Export/ExportViewUILogic.h"
#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/FileManager.h"
#include "Support/DayOfRecordings.h"
#include "Support/PageBench.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFView.h"

using namespace LumivexBase;
using BENCH::WaitFor;
using Clock = std::chrono::steady_clock;

namespace {

struct StepCost {
    double wall = 0;
    double guiCpu = 0;
    double longestStall = 0;
};

// Runs a step and the GUI loop until done(), noting the longest gap
// between two ticks of a 5 ms timer (the step's own call included).
StepCost Measure(const std::function<void()>& step, const std::function<bool()>& done)
{
    StepCost cost;
    auto last = Clock::now();
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        cost.longestStall = std::max(cost.longestStall, std::chrono::duration<double>(now - last).count());
        last = now;
    });
    ticks.start(5);
    const auto start = Clock::now();
    const double cpu = BenchSupport::ThreadCpuSeconds();
    step();
    WaitFor(done, 1800);
    cost.wall = std::chrono::duration<double>(Clock::now() - start).count();
    cost.guiCpu = BenchSupport::ThreadCpuSeconds() - cpu;
    cost.longestStall = std::max(cost.longestStall, std::chrono::duration<double>(Clock::now() - last).count());
    return cost;
}

struct Analysis {
    int files = 0;
    double seconds = -1;
    double firstClip = -1;  // none written: the export ended without one
};

struct DayRun {
    int files = 0;
    double residentPerFileKb = 0;
    std::map<std::string, StepCost> steps;
    std::map<std::string, Analysis> analyses;
};

bool ButtonReads(CExportViewEventImp& page, const wchar_t* text)
{
    wchar_t shown[64] = {};
    page.GetSimplePlayerView()->GetExportButton()->GetWindowTextW(shown, 64);
    return std::wstring(shown) == GetLangString(text);
}

// A whole clip is in the folder (not a temporary being written).
bool HasClip(const QTemporaryDir& out)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(out.path().toStdString(), error))
        if (entry.path().extension() == ".kvx")
            return true;
    return false;
}

// The span's recordings are analysed: the bar read "Preparing 100%", or the
// engine reports its progress.
bool AnalysisOver(CExportViewEventImp& page)
{
    return !page.IsPreparingExport() || page.GetSimplePlayerView()->GetProgressCtrl()->GetPos() == 100;
}

int FilesInSpan(CExportViewUILogic& ui, std::uint32_t start, std::uint32_t end)
{
    int files = 0;
    for (const auto& [handle, entry] : ui.GetHandleTable())
        files += entry.startTime <= end && entry.endTime >= start ? 1 : 0;
    return files;
}

// Begins a KVX export of [start, end] over every file ticked and stops it
// when its first clip is written (or the export ended without one: the
// bench's recordings all hold the day's first seconds, so a span after them
// writes nothing); the stop ends when the button offers to begin again.
void MeasureExport(CExportViewEventImp& page, const std::string& span, std::uint32_t start, std::uint32_t end,
                   DayRun& run)
{
    QTemporaryDir out;
    auto ui = page.GetUILogic();
    const std::wstring folder = out.path().toStdWString();
    Analysis& analysis = run.analyses[span];
    analysis.files = FilesInSpan(*ui, start, end);
    Clock::time_point begun;
    const auto since = [&] { return std::chrono::duration<double>(Clock::now() - begun).count(); };
    run.steps["begin " + span] = Measure(
        [&] {
            begun = Clock::now();
            ui->StartExport(2, folder, start, end, 6);
        },
        [&] {
            if (analysis.seconds < 0 && AnalysisOver(page))
                analysis.seconds = since();
            if (analysis.firstClip < 0 && HasClip(out))
                analysis.firstClip = since();
            return analysis.seconds >= 0 && (analysis.firstClip >= 0 || ButtonReads(page, L"Begin Export"));
        });
    run.steps["stop " + span] = Measure([&] { ui->StopExport(); },
                                        [&] { return ButtonReads(page, L"Begin Export"); });
}

DayRun RunDay(int channels, int minutes)
{
    DayRun run;
    run.files = channels * minutes;
    BenchSupport::DayOfRecordings day(channels, minutes);
    if (!day.IsValid())
        return run;
    auto host = boost::make_shared<BENCH::CIdlePageHost>();
    auto page = CExportViewEventImp::Create(host);
    page->GetView()->MoveWindow(0, 0, 1200, 800);
    page->GetView()->ShowWindow(1);
    auto manager = boost::make_shared<CFileManager>(nullptr);
    int noMatch = 1;
    manager->LoadPath((SF_SOFT_BASE::Utf8ToWide(day.Folder()) + L"/*.*").c_str(), &noMatch);
    page->SetFileManager(manager);
    WaitFor([] { return false; }, 0.5);

    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(std::uint32_t(BenchSupport::DayOfRecordings::kDayStartMs / 1000));
    const int dayKey = GetDayKey(date);
    const auto dayStart = std::uint32_t(BenchSupport::DayOfRecordings::kDayStartMs / 1000);
    auto ui = page->GetUILogic();
    const auto allOpen = [&] {
        return ui->GetBusyState() == 0 && int(ui->GetHandleTable().size()) == run.files;
    };
    const double before = BenchSupport::ResidentMb();
    run.steps["tick all"] = Measure([&] { ui->OpenDay(L"REC", dayKey); }, allOpen);
    run.residentPerFileKb = (BenchSupport::ResidentMb() - before) * 1024 / run.files;
    run.steps["untick"] = Measure([&] { ui->CloseDay(L"REC", dayKey); }, [&] { return ui->GetBusyState() == 0; });
    ui->OpenDay(L"REC", dayKey);
    WaitFor(allOpen, 1800);
    MeasureExport(*page, "day", dayStart, dayStart + 86399, run);
    MeasureExport(*page, "5 min", dayStart + 60, dayStart + 360, run);
    run.steps["close"] = Measure([&] { page->CloseAll(); },
                                 [&] { return ui->HasNoPlayHandle() && ui->GetFileTable().empty(); });
    WaitFor([] { return false; }, 0.5);
    page.reset();
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool full = BenchSupport::WantsFullDay(argc, argv, "EXPORT_DAY_FULL");
    const int channels = full ? 16 : 2;
    const std::vector<int> sizes = full ? std::vector<int>{100, 1440} : std::vector<int>{10, 100};
    RegisterGuiLoop();
    StartWorkerLoop(ML_EXPORT);
    StartWorkerLoop(ML_PLAY);

    std::vector<DayRun> runs;
    for (int minutes : sizes) {
        runs.push_back(RunDay(channels, minutes));
        const DayRun& run = runs.back();
        std::printf("%d channels x %d files (%d):\n", channels, minutes, run.files);
        for (const auto& [name, cost] : run.steps)
            std::printf("  %-11s wall %8.3f s  gui cpu %8.3f s  longest stall %6.3f s  %7.4f ms/file wall  "
                        "%7.4f ms/file cpu\n",
                        name.c_str(), cost.wall, cost.guiCpu, cost.longestStall, cost.wall * 1000 / run.files,
                        cost.guiCpu * 1000 / run.files);
        for (const auto& [span, analysis] : run.analyses)
            std::printf("  analysis %-6s %6d files  %8.3f s  %9.1f files/s  first clip %8.3f s\n", span.c_str(),
                        analysis.files, analysis.seconds,
                        analysis.seconds > 0 ? analysis.files / analysis.seconds : 0.0, analysis.firstClip);
        std::printf("  resident memory per file ticked: %.2f KB\n", run.residentPerFileKb);
    }
    int result = 0;
    const DayRun& small = runs.front();
    const DayRun& large = runs.back();
    for (const auto& [name, cost] : large.steps) {
        const StepCost& base = small.steps.at(name);
        const double wallRatio = (cost.wall / large.files) / (base.wall / small.files);
        const double cpuRatio = (cost.guiCpu / large.files) / (base.guiCpu / small.files);
        std::printf("per-file ratio %d/%d %-11s wall %.2f  gui cpu %.2f\n", sizes.back(), sizes.front(),
                    name.c_str(), wallRatio, cpuRatio);
        if (full && (wallRatio >= 1.2 || cpuRatio >= 1.2))
            result = 1;
    }
    std::printf("per-file ratio %d/%d memory %.2f\n", sizes.back(), sizes.front(),
                small.residentPerFileKb > 0 ? large.residentPerFileKb / small.residentPerFileKb : 0.0);
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return result;
}
