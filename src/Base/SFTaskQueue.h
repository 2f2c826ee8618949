#pragma once

#include <deque>

#include <boost/shared_ptr.hpp>

#include "Base/SFMutex.h"

namespace LumivexBase {

class CSFTask;

// Tasks posted from any thread, run one at a time on the loop's thread.
class CSFTaskQueue {
public:
    CSFTaskQueue() = default;
    virtual ~CSFTaskQueue() = default;
    CSFTaskQueue(const CSFTaskQueue&) = delete;
    CSFTaskQueue& operator=(const CSFTaskQueue&) = delete;

    void Push(boost::shared_ptr<CSFTask> task);
    // Runs at most one task on the calling (loop) thread; 1 if one ran.
    virtual int Run();
    // Whether nothing waits in the incoming deque.
    bool IsEmpty();

private:
    std::deque<boost::shared_ptr<CSFTask>> m_incoming;  // under m_mutex
    std::deque<boost::shared_ptr<CSFTask>> m_working;   // loop thread only
    SF_SOFT_BASE::CSFMutex m_mutex;
};

}  // namespace LumivexBase
