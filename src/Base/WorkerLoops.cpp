#include "Base/WorkerLoops.h"

#include <QDebug>

#include <utility>
#include <vector>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFThreadEx_Qt.h"
#include "Base/SFThreadHandle.h"

namespace LumivexBase {

void RegisterGuiLoop()
{
    boost::shared_ptr<CSFMessageLoop> loop = CSFMessageLoop::Create(CSFMessageLoop::kQtLoop);
    loop->SetThreadId(SF_SOFT_BASE::CurrentThreadId());
    CSFMessageLoopManager::GetInstance()->RegisterMessageLoop(loop, ML_MAIN);
}

bool StartWorkerLoop(int loopId, int stackSize)
{
    return StartWorkerLoops({loopId}, stackSize);
}

bool StartWorkerLoops(std::initializer_list<int> loopIds, int stackSize)
{
    std::vector<std::pair<int, boost::shared_ptr<CSFThreadEx_Qt>>> launched;
    bool all = true;
    for (int loopId : loopIds) {
        boost::shared_ptr<CSFThreadEx_Qt> thread =
            CSFThreadEx_Qt::Create({CSFMessageLoop::kWorkerLoop, stackSize});
        if (thread->Launch() != 0) {
            qWarning("Cannot start the thread of message loop %d", loopId);
            all = false;
            break;
        }
        launched.emplace_back(loopId, thread);
    }
    for (const auto& [loopId, thread] : launched) {
        thread->WaitUntilRunning();
        CSFMessageLoopManager::GetInstance()->RegisterMessageLoop(thread->GetMessageLoop(), loopId);
    }
    return all;
}

}  // namespace LumivexBase
