#include "Base/TaskTrace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>

#include "Base/MessageLoopIds.h"
#include "Base/SFTask.h"

namespace LumivexBase {
namespace {

std::atomic<int> g_traceEnabled{0};
std::atomic<int> g_traceLevel{1};
std::mutex g_sinkMutex;
std::function<void(const std::string&)> g_sink;

}  // namespace

void SetTaskTraceEnabled(int enabled) { g_traceEnabled.store(enabled, std::memory_order_relaxed); }
int GetTaskTraceEnabled() { return g_traceEnabled.load(std::memory_order_relaxed); }
void SetTaskTraceLevel(int level) { g_traceLevel.store(level, std::memory_order_relaxed); }
int GetTaskTraceLevel() { return g_traceLevel.load(std::memory_order_relaxed); }

void SetTaskTraceSink(std::function<void(const std::string&)> sink)
{
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    g_sink = std::move(sink);
}

void WriteTaskTraceLine(const std::string& line)
{
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    if (g_sink)
        g_sink(line);
    else
        std::fputs(line.c_str(), stderr);
}

void SetTaskTraceInfo(const boost::shared_ptr<CSFTask>& task, int loopId, const std::string& file,
                      int line, const std::string& taskName, const std::string& callerName,
                      int level)
{
    if (GetTaskTraceEnabled() == 0 || !task)
        return;
    task->SetLoopId(loopId);
    task->SetFileName(file);
    task->SetLine(line);
    task->SetTaskName(taskName);
    task->SetCallerName(callerName);
    task->SetTraceLevel(level);
    task->TracePost();
}

std::int64_t GetPerformanceCounter()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double GetPerformanceFrequency() { return 1e9; }

const char* GetLoopNameById(int loopId)
{
    switch (loopId) {
    case ML_MAIN: return "ML_MAIN";
    case ML_HELPER: return "ML_HELPER";
    case ML_PLAY: return "ML_PLAY";
    case ML_WATERMARK: return "ML_WATERMARK";
    case ML_TEST: return "ML_TEST";
    case ML_EXPORT: return "ML_EXPORT";
    default: return "UNKNOWN";
    }
}

}  // namespace LumivexBase
