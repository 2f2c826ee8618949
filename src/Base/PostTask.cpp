#include "Base/PostTask.h"

#include "Base/BaseLog.h"

#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TaskTrace.h"

namespace LumivexBase {

bool PostTaskToLoop(int loopId, const boost::shared_ptr<CSFTask>& task, const char* file, int line,
                    const char* taskName, const char* callerName, int level)
{
    SetTaskTraceInfo(task, loopId, file, line, taskName, callerName, level);
    boost::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::GetInstance()->GetMessageLoop(loopId);
    if (!loop) {
        qCDebug(lcBase, "Task %s dropped: no message loop %d is registered", taskName, loopId);
        return false;
    }
    loop->PostTask(task);
    return true;
}

}  // namespace LumivexBase
