#pragma once

#include <cstdint>
#include <utility>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>

#include "Base/SFEvent.h"
#include "Base/SFThread.h"
#include "Base/SFThreadEx.h"

namespace LumivexBase {

class CSFMessageLoop;

// A worker thread that runs one message loop until the loop is stopped.
class CSFThreadEx_Qt : public CSFThreadEx::CDelegate,
                       public boost::enable_shared_from_this<CSFThreadEx_Qt> {
public:
    struct CSFThreadData {
        SF_SOFT_BASE::CSFEvent startedEvent;
        int loopType = 1;
        int stackSize = 0;  // bytes; 0 is the default
    };

    // params: loop type, and the thread's stack size in bytes (0 = default).
    static boost::shared_ptr<CSFThreadEx_Qt> Create(const std::pair<int, int>& params);
    ~CSFThreadEx_Qt() override = default;

    // 0 once the thread runs its loop; -1 when no thread could be made.
    int Start();
    // Start in two steps, so that several threads start at once: Launch
    // gives 0 when the thread was made; only then WaitUntilRunning.
    int Launch();
    void WaitUntilRunning();
    boost::shared_ptr<CSFMessageLoop> GetMessageLoop() const { return m_loop; }

    void Run() override;

private:
    CSFThreadEx_Qt() = default;
    static std::uint32_t ThreadRoutine(void* param);

    boost::shared_ptr<CSFThreadData> m_data;
    boost::shared_ptr<CSFMessageLoop> m_loop;
    SF_SOFT_BASE::CSFThread m_thread;
};

}  // namespace LumivexBase
