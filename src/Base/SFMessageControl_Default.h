#pragma once

#include <atomic>

#include <boost/weak_ptr.hpp>

#include "Base/SFEvent.h"
#include "Base/SFMessageControl.h"
#include "Base/SFMutex.h"

namespace LumivexBase {

// Worker-thread driver: runs tasks while there are any, otherwise sleeps on
// a wake-up event until the next post or stop.
class CSFMessageControl_Default : public CSFMessageControl {
public:
    explicit CSFMessageControl_Default(boost::weak_ptr<CDelegate> delegate);
    ~CSFMessageControl_Default() override;

    void Run() override;
    void Post() override;
    void Stop() override;
    bool IsRunning() const { return m_running.load() != 0; }

private:
    void RunOnePass(CDelegate& delegate);

    boost::weak_ptr<CDelegate> m_delegate;
    std::atomic<int> m_running{1};
    SF_SOFT_BASE::CSFEvent m_wakeEvent;
    SF_SOFT_BASE::CSFMutex m_mutex;  // guards the emptiness test with the event's reset and set
};

}  // namespace LumivexBase
