#pragma once

#include <boost/shared_ptr.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFConcreteTask.h"

namespace LumivexBase {

class CSFTask;

// Annotates the task with its post site and hands it to the loop registered
// under loopId. A task for an id without a loop is dropped with a debug line;
// returns whether the task was queued.
bool PostTaskToLoop(int loopId, const boost::shared_ptr<CSFTask>& task, const char* file, int line,
                    const char* taskName, const char* callerName, int level = 1);

}  // namespace LumivexBase

// Posts target->method(args...) to a loop, recording the post site.
#define SF_POST_TASK(loopId, method, target, ...)                                               \
    ::LumivexBase::PostTaskToLoop((loopId), ::LumivexBase::MakeTask((method), (target), ##__VA_ARGS__), \
                                  __FILE__, __LINE__, #method, __PRETTY_FUNCTION__)
