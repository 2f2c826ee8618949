#pragma once

#include <cstdint>
#include <string>

#include "Base/TaskBase.h"
#include "Base/TaskTrace.h"

namespace LumivexBase {

// A unit of work run once on a message loop's thread.
class CSFTask : public CTaskBase {
public:
    CSFTask() = default;
    ~CSFTask() override;
    CSFTask(const CSFTask&) = delete;
    CSFTask& operator=(const CSFTask&) = delete;

    virtual int Execute() = 0;

    std::string GetTaskName() const { return m_taskName; }
    std::string GetFileName() const { return m_fileName; }
    std::string GetCallerName() const { return m_callerName; }
    int GetLine() const { return m_line; }
    std::int64_t GetCreateCounter() const { return m_createCounter; }
    int GetTraceLevel() const { return m_traceLevel; }
    const char* GetLoopName() const;

    void SetLoopId(int loopId) { m_loopId = loopId; }
    void SetFileName(std::string name) { m_fileName = std::move(name); }
    void SetLine(int line) { m_line = line; }
    void SetTaskName(std::string name) { m_taskName = std::move(name); }
    void SetCallerName(std::string name) { m_callerName = std::move(name); }
    void SetTraceLevel(int level) { m_traceLevel = level; }

    // Writes the post line when tracing is on for this task.
    void TracePost() const;

protected:
    // Runs the call, then traces its costs when tracing is on; always 1.
    template <class Call>
    int RunTimed(Call& call) const
    {
        std::int64_t start = GetPerformanceCounter();
        call();
        TraceExecution(start);
        return 1;
    }
    // Writes the queue and execution cost lines after a run.
    void TraceExecution(std::int64_t start) const;
    bool IsTraced(int minimumGlobalLevel) const;
    void WriteColumns(const char* column, const char* cost, const std::string& tail) const;
};

}  // namespace LumivexBase
