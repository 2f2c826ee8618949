#include "Base/SFMessageLoopManager.h"

#include <utility>

#include <boost/make_shared.hpp>

#include "Base/SFAutoMutexLock.h"
#include "Base/SFMessageLoop.h"
#include "Base/SFThreadHandle.h"

namespace LumivexBase {

boost::shared_ptr<CSFMessageLoopManager> CSFMessageLoopManager::GetInstance()
{
    static boost::shared_ptr<CSFMessageLoopManager> instance =
        boost::make_shared<CSFMessageLoopManager>();
    return instance;
}

void CSFMessageLoopManager::RegisterMessageLoop(boost::shared_ptr<CSFMessageLoop> loop, int id)
{
    boost::shared_ptr<CSFMessageLoop> replaced;  // released after the lock
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    replaced = std::exchange(m_loops[id], std::move(loop));
}

boost::shared_ptr<CSFMessageLoop> CSFMessageLoopManager::GetMessageLoop(int id)
{
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    auto it = m_loops.find(id);
    return it == m_loops.end() ? nullptr : it->second;
}

void CSFMessageLoopManager::ExitMessageLoops()
{
    std::map<int, boost::shared_ptr<CSFMessageLoop>> loops;
    {
        SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
        loops.swap(m_loops);
    }
    // No lock is held while waiting for the workers: their last tasks may post.
    for (auto& [id, loop] : loops)
        if (loop)
            loop->WaitForExit();
    loops.clear();
    // Tasks the workers posted while ending may have registered nothing new,
    // but may have queued on loops that are gone; those are released unrun.
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    m_loops.clear();
}

bool CheckLoopThread(int loopId, const char* /*functionName*/, const char* /*message*/)
{
    boost::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::GetInstance()->GetMessageLoop(loopId);
    return loop && loop->GetThreadId() == SF_SOFT_BASE::CurrentThreadId();
}

}  // namespace LumivexBase
