#include "Base/SFTask.h"

#include <cstdio>

#include "Base/TaskTrace.h"

namespace LumivexBase {
namespace {

constexpr std::size_t kLongLine = 512;

std::string FormatMs(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%-.2f ms", ms);
    return text;
}

}  // namespace

CSFTask::~CSFTask()
{
    if (IsTraced(2))
        WriteColumns("Destroy", "", "<" + m_taskName + ">.\n");
}

const char* CSFTask::GetLoopName() const { return GetLoopNameById(m_loopId); }

bool CSFTask::IsTraced(int minimumGlobalLevel) const
{
    int global = GetTaskTraceLevel();
    return GetTaskTraceEnabled() != 0 && global >= minimumGlobalLevel && m_traceLevel <= global;
}

void CSFTask::WriteColumns(const char* column, const char* cost, const std::string& tail) const
{
    char line[kLongLine];
    std::snprintf(line, sizeof line, "[TaskInfo--%p]--|【%-15.15s】|【%-15.15s】|%13.13s|%s",
                  static_cast<const void*>(this), GetLoopName(), column, cost, tail.c_str());
    WriteTaskTraceLine(line);
}

void CSFTask::TracePost() const
{
    if (!IsTraced(1))
        return;
    WriteColumns("PostMessage", "",
                 "<" + m_taskName + "> called by <" + m_callerName + "> at file " + m_fileName +
                     ", line " + std::to_string(m_line) + ".\n");
}

void CSFTask::TraceExecution(std::int64_t start) const
{
    if (!IsTraced(1))
        return;
    std::int64_t end = GetPerformanceCounter();
    double frequency = GetPerformanceFrequency();
    std::string tail = "<" + m_taskName + ">.\n";
    if (GetTaskTraceLevel() >= 2)
        WriteColumns("Queue Cost", FormatMs((start - m_createCounter) / frequency * 1000).c_str(),
                     tail);
    WriteColumns("Execute Cost", FormatMs((end - start) / frequency * 1000).c_str(), tail);
}

}  // namespace LumivexBase
