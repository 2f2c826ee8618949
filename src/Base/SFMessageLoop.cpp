#include "Base/SFMessageLoop.h"

#include "Base/SFMessageControl_Default.h"
#include "Base/SFMessageControl_Qt.h"
#include "Base/SFThreadHandle.h"

namespace LumivexBase {

boost::shared_ptr<CSFMessageLoop> CSFMessageLoop::Create(int loopType)
{
    boost::shared_ptr<CSFMessageLoop> loop(new CSFMessageLoop());
    boost::weak_ptr<CDelegate> delegate = boost::static_pointer_cast<CDelegate>(loop);
    if (loopType == kQtLoop)
        loop->m_control = boost::shared_ptr<CSFMessageControl>(new CSFMessageControl_Qt(delegate));
    else if (loopType == kWorkerLoop)
        loop->m_control = boost::shared_ptr<CSFMessageControl>(new CSFMessageControl_Default(delegate));
    return loop;
}

CSFMessageLoop::~CSFMessageLoop()
{
    // The driver goes first; queued tasks are then released without running.
    m_control.reset();
}

void CSFMessageLoop::PostTask(boost::shared_ptr<CSFTask> task)
{
    if (!task)
        return;
    m_firstQueue.Push(std::move(task));
    if (m_control)
        m_control->Post();
}

void CSFMessageLoop::Run()
{
    if (m_control)
        m_control->Run();
}

void CSFMessageLoop::SetThreadHandle(std::shared_ptr<SF_SOFT_BASE::CSFThreadHandle> handle)
{
    m_threadHandle = std::move(handle);
}

void CSFMessageLoop::WaitForExit()
{
    if (m_control)
        m_control->Stop();
    if (m_threadHandle)
        m_threadHandle->Wait(0xFFFFFFFF);
}

int CSFMessageLoop::RunFirstQueue() { return m_firstQueue.Run(); }

int CSFMessageLoop::RunSecondQueue() { return m_secondQueue.Run(); }

bool CSFMessageLoop::IsEmpty() { return m_firstQueue.IsEmpty() && m_secondQueue.IsEmpty(); }

}  // namespace LumivexBase
