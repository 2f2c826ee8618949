#include "Base/SFTaskQueue.h"

#include "Base/SFAutoMutexLock.h"
#include "Base/SFTask.h"

namespace LumivexBase {

void CSFTaskQueue::Push(boost::shared_ptr<CSFTask> task)
{
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    m_incoming.push_back(std::move(task));
}

int CSFTaskQueue::Run()
{
    if (m_working.empty()) {
        SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
        if (m_incoming.empty())
            return 0;
        m_incoming.swap(m_working);
    }
    m_working.front()->Execute();
    // Dropping the queue's reference usually destroys the task and releases its target.
    m_working.pop_front();
    return 1;
}

bool CSFTaskQueue::IsEmpty()
{
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    return m_incoming.empty();
}

}  // namespace LumivexBase
