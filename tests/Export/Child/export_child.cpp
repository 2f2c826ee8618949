// Runs one raw export in a process of its own: "limit BYTES" under a file-size
// limit (exit 0 when the export failed and stopped), or "kill" (killed by
// SIGKILL once the first block was written).
#include <csignal>
#include <cstdlib>
#include <string>

#include <sys/resource.h>

#include <QCoreApplication>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/WorkerLoops.h"
#include "Export/ExportObject.h"
#include "Export/ExportTarget.h"
#include "Export/IExportObjectListener.h"
#include "Support/ProcessUntil.h"

using namespace LumivexBase;

namespace {

// Kills the process on the export loop after a number of the engine's
// steps: it re-posts itself behind each step (after the first block).
struct StepKiller {
    void Run()
    {
        if (--steps > 0)
            SF_POST_TASK(ML_EXPORT, &StepKiller::Run, self.lock());
        else
            std::raise(SIGKILL);
    }
    int steps = 4;
    boost::weak_ptr<StepKiller> self;
};

class Listener : public IExportObjectListener {
public:
    void OnExportEnd() override { events += "end "; }
    void OnExportProgress(int) override {}
    void OnExportStop() override { events += "stop "; }
    void OnExportFailed(int) override { events += "failed "; }
    std::string events;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return 2;
    const std::string mode = argv[1];
    if (mode == "limit") {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(std::atoll(argv[5])), rlim_t(std::atoll(argv[5]))};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    QCoreApplication app(argc, argv);
    RegisterGuiLoop();
    StartWorkerLoop(ML_EXPORT);
    auto engine = boost::make_shared<ExportObject>();
    auto listener = boost::make_shared<Listener>();
    engine->SetListener(listener);
    const std::string source = argv[2];
    const std::string target = argv[3];
    const auto size = std::uint64_t(std::atoll(argv[4]));
    PostTaskToLoop(ML_EXPORT,
                   MakeTask<int>([=] { engine->AddFile(int(EXPORT_TYPE_RAW), source, target, 0, size, 0, 0u, 0u, 0u); }),
                   __FILE__, __LINE__, "&ExportObject::AddFile", "export_child");
    // The killer goes first: from then on only the export loop posts, so the
    // kill comes after the same steps however this thread is scheduled.
    auto killer = boost::make_shared<StepKiller>();
    killer->self = killer;
    if (mode == "kill")
        SF_POST_TASK(ML_EXPORT, &StepKiller::Run, killer);
    SF_POST_TASK(ML_EXPORT, &ExportObject::Export, engine);
    ProcessUntil([&] { return listener->events.find("end") != std::string::npos ||
                              listener->events.find("stop") != std::string::npos; },
                 60000);
    ProcessUntil([] { return false; }, 200);  // reports still queued
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return listener->events == "stop failed " ? 0 : 1;
}
