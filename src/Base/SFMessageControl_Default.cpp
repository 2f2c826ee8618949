#include "Base/SFMessageControl_Default.h"

#include "Base/SFAutoMutexLock.h"
#include "Base/SFSystem.h"

namespace LumivexBase {

CSFMessageControl_Default::CSFMessageControl_Default(boost::weak_ptr<CDelegate> delegate)
    : m_delegate(std::move(delegate))
{
    m_wakeEvent.Create(1, 1);
}

CSFMessageControl_Default::~CSFMessageControl_Default()
{
    if (m_running.load() != 0)
        Stop();
    m_wakeEvent.Close();
}

void CSFMessageControl_Default::Run()
{
    if (m_delegate.expired())
        return;
    while (m_running.load() != 0) {
        boost::shared_ptr<CDelegate> delegate = m_delegate.lock();
        if (!delegate)
            return;
        RunOnePass(*delegate);
    }
}

void CSFMessageControl_Default::RunOnePass(CDelegate& delegate)
{
    if (delegate.RunFirstQueue() != 0 || delegate.RunSecondQueue() != 0)
        return;
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    // Stop clears the flag before it sets the event under this lock: seeing
    // the flag here keeps the reset below from swallowing a stop.
    if (!delegate.IsEmpty() || m_running.load() == 0)
        return;
    m_wakeEvent.Reset();
    lock.Unlock();
    SF_SOFT_BASE::CSFSystem::Sleep(5);
    m_wakeEvent.Wait(SF_SOFT_BASE::CSFEvent::kInfinite);
}

void CSFMessageControl_Default::Post()
{
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    m_wakeEvent.Set();
}

void CSFMessageControl_Default::Stop()
{
    m_running.store(0);
    SF_SOFT_BASE::CSFAutoMutexLock lock(&m_mutex);
    m_wakeEvent.Set();
}

}  // namespace LumivexBase
