// The watermark check of one channel of a recorder's day of one-minute
// recordings (signed, with a watermark), through the page's logics: time
// per file and resident memory before, at its peak during the check, after
// it, and after the page closed; at a small and a large number of files and
// the ratio of the large channel's cost per file to the small one's (goal:
// under 1.2 for time and memory; memory back within 50 MB after the check).
// "--full" (or WATERMARK_DAY_FULL=1) checks 100 and 1,440 files; without
// it a smoke run of 10 and 100.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <boost/make_shared.hpp>

#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "PageServices/PageHost.h"
#include "Support/DayOfRecordings.h"
#include "Support/PageBench.h"
#include "Watermark/WaterMarkUILogic.h"
#include "Watermark/WatermarkEventImp.h"
#include "Widgets/SFDialogEvent.h"

namespace {

using Clock = std::chrono::steady_clock;

using BenchHost = BENCH::CDialogPageHost;

struct CheckRun {
    int files = 0;
    double seconds = 0;
    double before = 0;
    double peak = 0;
    double after = 0;
    double closed = 0;
};

CheckRun Check(int files)
{
    CheckRun run;
    run.files = files;
    BenchSupport::DayOfRecordings day(1, files);
    if (!day.IsValid())
        return run;
    auto host = boost::make_shared<BenchHost>();
    auto page = CWatermarkEventImp::Create(host);
    auto logic = page->GetUILogic();
    run.before = run.peak = BenchSupport::ResidentMb();
    const auto start = Clock::now();
    for (int minute = 0; minute < files; ++minute)
        logic->AddTask(SF_SOFT_BASE::Utf8ToWide(day.FileOf(1, minute)), minute);
    logic->Start();
    // The GUI loop runs as under the program's exec until the run ends.
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        run.peak = std::max(run.peak, BenchSupport::ResidentMb());
        if (!logic->IsRunning())
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.after = BenchSupport::ResidentMb();
    page->ClosePage(0);
    logic.reset();
    host->window.reset();
    page.reset();
    run.closed = BenchSupport::ResidentMb();
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool full = BenchSupport::WantsFullDay(argc, argv, "WATERMARK_DAY_FULL");
    LumivexBase::RegisterGuiLoop();
    std::vector<CheckRun> runs;
    for (int files : full ? std::vector<int>{100, 1440} : std::vector<int>{10, 100}) {
        runs.push_back(Check(files));
        const CheckRun& run = runs.back();
        std::printf("%5d files: %8.2f s  %7.2f ms/file  resident %.1f MB before, %.1f MB at peak, %.1f MB after, "
                    "%.1f MB with the page closed; %.3f MB/file at peak\n",
                    run.files, run.seconds, run.seconds * 1000 / run.files, run.before, run.peak, run.after,
                    run.closed, (run.peak - run.before) / run.files);
    }
    const CheckRun& small = runs.front();
    const CheckRun& large = runs.back();
    const double timeRatio = (large.seconds / large.files) / (small.seconds / small.files);
    const double memoryRatio = ((large.peak - large.before) / large.files) /
                               std::max(1e-9, (small.peak - small.before) / small.files);
    std::printf("per-file ratio %d/%d: time %.2f  memory %.2f; after the large check %+.1f MB\n", large.files,
                small.files, timeRatio, memoryRatio, large.after - large.before);
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    const bool met = timeRatio < 1.2 && memoryRatio < 1.2 && large.after - large.before < 50;
    return full && !met ? 1 : 0;
}
