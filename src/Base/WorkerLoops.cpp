#include "Base/WorkerLoops.h"

#include <QDebug>

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
    boost::shared_ptr<CSFThreadEx_Qt> thread =
        CSFThreadEx_Qt::Create({CSFMessageLoop::kWorkerLoop, stackSize});
    if (thread->Start() != 0) {
        qWarning("Cannot start the thread of message loop %d", loopId);
        return false;
    }
    CSFMessageLoopManager::GetInstance()->RegisterMessageLoop(thread->GetMessageLoop(), loopId);
    return true;
}

}  // namespace LumivexBase
