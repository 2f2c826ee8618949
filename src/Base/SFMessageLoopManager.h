#pragma once

#include <map>

#include <boost/shared_ptr.hpp>

#include "Base/SFMutex.h"

namespace LumivexBase {

class CSFMessageLoop;

// Process-wide registry of message loops by id.
class CSFMessageLoopManager {
public:
    static boost::shared_ptr<CSFMessageLoopManager> GetInstance();

    // Replaces (without stopping) whatever loop was registered under id.
    void RegisterMessageLoop(boost::shared_ptr<CSFMessageLoop> loop, int id);
    // Empty when no loop is registered under id.
    boost::shared_ptr<CSFMessageLoop> GetMessageLoop(int id);
    // Orderly end: stops every worker loop, waits for its thread, and empties
    // the registry, so no task runs after this returns. Call on the GUI thread
    // before the application object goes.
    void ExitMessageLoops();

private:
    std::map<int, boost::shared_ptr<CSFMessageLoop>> m_loops;
    SF_SOFT_BASE::CSFMutex m_mutex;
};

// Whether the calling thread is the one that runs loop id.
bool CheckLoopThread(int loopId, const char* functionName, const char* message);

}  // namespace LumivexBase
