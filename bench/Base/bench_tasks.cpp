// Posting and running tasks across threads: throughput to a worker loop and
// to the GUI loop, and the post-to-run latency.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFEvent.h"
#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TaskTrace.h"
#include "Base/WorkerLoops.h"

using namespace LumivexBase;

namespace {

constexpr int kWorker = ML_HELPER;

class Sink {
public:
    void Task_Count() { ++count; }
    void Task_Done(SF_SOFT_BASE::CSFEvent* done) { done->Set(); }
    void Task_Stamp(std::int64_t postedAt)
    {
        latencyNs += GetPerformanceCounter() - postedAt;
        ++count;
    }
    std::atomic<long> count{0};
    std::atomic<std::int64_t> latencyNs{0};
};

void WaitForWorker(const boost::shared_ptr<Sink>& sink)
{
    SF_SOFT_BASE::CSFEvent done;
    done.Create(0, 1);
    SF_POST_TASK(kWorker, &Sink::Task_Done, sink, &done);
    done.Wait(SF_SOFT_BASE::CSFEvent::kInfinite);
}

// A worker that found its queue empty sleeps 5 ms before it blocks, so a
// lone post waits that long; throughput is measured on large batches.
void BM_PostToWorker(benchmark::State& state)
{
    auto sink = boost::make_shared<Sink>();
    const int batch = 100000;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i)
            SF_POST_TASK(kWorker, &Sink::Task_Count, sink);
        WaitForWorker(sink);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostToWorker)->UseRealTime();

void BM_WorkerLatency(benchmark::State& state)
{
    auto sink = boost::make_shared<Sink>();
    for (auto _ : state) {
        SF_POST_TASK(kWorker, &Sink::Task_Stamp, sink, GetPerformanceCounter());
        WaitForWorker(sink);
    }
    state.counters["post_to_run_us"] =
        sink->count ? double(sink->latencyNs) / double(sink->count) / 1000.0 : 0.0;
}
BENCHMARK(BM_WorkerLatency)->UseRealTime();

void BM_PostToGuiLoop(benchmark::State& state)
{
    auto sink = boost::make_shared<Sink>();
    const int batch = 1000;
    for (auto _ : state) {
        long target = sink->count + batch;
        for (int i = 0; i < batch; ++i)
            SF_POST_TASK(ML_MAIN, &Sink::Task_Stamp, sink, GetPerformanceCounter());
        while (sink->count < target)
            QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["post_to_run_us"] =
        sink->count ? double(sink->latencyNs) / double(sink->count) / 1000.0 : 0.0;
}
BENCHMARK(BM_PostToGuiLoop)->UseRealTime();

void BM_GuiLoopLatency(benchmark::State& state)
{
    auto sink = boost::make_shared<Sink>();
    for (auto _ : state) {
        long target = sink->count + 1;
        SF_POST_TASK(ML_MAIN, &Sink::Task_Stamp, sink, GetPerformanceCounter());
        while (sink->count < target)
            QCoreApplication::processEvents();
    }
    state.counters["post_to_run_us"] =
        sink->count ? double(sink->latencyNs) / double(sink->count) / 1000.0 : 0.0;
}
BENCHMARK(BM_GuiLoopLatency)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RegisterGuiLoop();
    if (!StartWorkerLoop(kWorker))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return 0;
}
