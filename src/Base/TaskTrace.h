#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <boost/shared_ptr.hpp>

namespace LumivexBase {

class CSFTask;

// Process-wide trace switch (off by default) and level (1 by default).
void SetTaskTraceEnabled(int enabled);
int GetTaskTraceEnabled();
void SetTaskTraceLevel(int level);
int GetTaskTraceLevel();

// Where trace lines go; stderr unless replaced (an empty sink restores it).
void SetTaskTraceSink(std::function<void(const std::string&)> sink);
void WriteTaskTraceLine(const std::string& line);

// Stores the post site in the task and writes its post line, only while
// tracing is on.
void SetTaskTraceInfo(const boost::shared_ptr<CSFTask>& task, int loopId, const std::string& file,
                      int line, const std::string& taskName, const std::string& callerName,
                      int level = 1);

// Monotonic counter and its ticks per second.
std::int64_t GetPerformanceCounter();
double GetPerformanceFrequency();

// Name of a loop id as trace lines show it ("UNKNOWN" for ids without one).
const char* GetLoopNameById(int loopId);

}  // namespace LumivexBase
