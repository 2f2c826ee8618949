#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <boost/shared_ptr.hpp>

#include "Base/SFMessageControl.h"
#include "Base/SFTaskQueue.h"

namespace SF_SOFT_BASE {
class CSFThreadHandle;
}

namespace LumivexBase {

class CSFTask;

// One message loop: its task queues, its driver and the thread that runs it.
class CSFMessageLoop : public CSFMessageControl::CDelegate {
public:
    enum LoopType { kQtLoop = 0, kWorkerLoop = 1 };

    // Type 0 gets the Qt driver, type 1 the worker driver, any other none.
    static boost::shared_ptr<CSFMessageLoop> Create(int loopType);
    ~CSFMessageLoop() override;

    // Queues the task (an empty pointer is ignored) and wakes the loop.
    void PostTask(boost::shared_ptr<CSFTask> task);
    void Run();
    boost::shared_ptr<CSFMessageControl> GetControl() const { return m_control; }

    std::uint32_t GetThreadId() const { return m_threadId.load(); }
    void SetThreadId(std::uint32_t id) { m_threadId.store(id); }
    void SetThreadHandle(std::shared_ptr<SF_SOFT_BASE::CSFThreadHandle> handle);
    // Stops the driver and waits for the worker thread to end.
    void WaitForExit();

    int RunFirstQueue() override;
    int RunSecondQueue() override;
    bool IsEmpty() override;

private:
    CSFMessageLoop() = default;

    CSFTaskQueue m_firstQueue;
    CSFTaskQueue m_secondQueue;
    boost::shared_ptr<CSFMessageControl> m_control;
    std::atomic<std::uint32_t> m_threadId{0};
    std::shared_ptr<SF_SOFT_BASE::CSFThreadHandle> m_threadHandle;
};

}  // namespace LumivexBase
