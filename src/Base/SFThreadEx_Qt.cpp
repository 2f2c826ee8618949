#include "Base/SFThreadEx_Qt.h"

#include <boost/make_shared.hpp>

#include "Base/SFMessageLoop.h"
#include "Base/SFThreadHandle.h"

namespace LumivexBase {

boost::shared_ptr<CSFThreadEx_Qt> CSFThreadEx_Qt::Create(const std::pair<int, int>& params)
{
    boost::shared_ptr<CSFThreadEx_Qt> thread(new CSFThreadEx_Qt());
    thread->m_data = boost::make_shared<CSFThreadData>();
    thread->m_data->loopType = params.first;
    thread->m_data->stackSize = params.second;
    thread->m_loop = CSFMessageLoop::Create(params.first);
    return thread;
}

int CSFThreadEx_Qt::Start()
{
    if (Launch() != 0)
        return -1;
    WaitUntilRunning();
    return 0;
}

int CSFThreadEx_Qt::Launch()
{
    m_data->startedEvent.Create(1, 1);
    m_data->startedEvent.Reset();
    // The routine takes this reference over, so the object outlives its thread.
    auto* self = new boost::shared_ptr<CSFThreadEx_Qt>(shared_from_this());
    if (m_thread.Create(static_cast<std::uint32_t>(m_data->stackSize), &CSFThreadEx_Qt::ThreadRoutine,
                        self, 0) == 0) {
        delete self;
        m_data->startedEvent.Close();
        return -1;
    }
    return 0;
}

void CSFThreadEx_Qt::WaitUntilRunning()
{
    m_data->startedEvent.Wait(SF_SOFT_BASE::CSFEvent::kInfinite);
    m_data->startedEvent.Close();
    m_loop->SetThreadHandle(m_thread.GetState());
}

std::uint32_t CSFThreadEx_Qt::ThreadRoutine(void* param)
{
    auto* given = static_cast<boost::shared_ptr<CSFThreadEx_Qt>*>(param);
    boost::shared_ptr<CSFThreadEx_Qt> self = *given;
    delete given;
    self->Run();
    return 0;
}

void CSFThreadEx_Qt::Run()
{
    m_loop->SetThreadId(SF_SOFT_BASE::CurrentThreadId());
    m_data->startedEvent.Set();
    m_loop->Run();
}

}  // namespace LumivexBase
