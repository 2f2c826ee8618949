#pragma once

#include <unistd.h>

#include <QCoreApplication>

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>

#include "Base/SFMessageLoopManager.h"
#include "Base/WorkerLoops.h"
#include "Common/ConfigManager.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Support/ProcessUntil.h"

// What a test of the real main window sets up around it: a working folder as
// the current one, fresh settings kept in memory, and the message loops.
class AppTestSession {
public:
    // Makes the folder the current one and starts the settings afresh, with no
    // opened paths; false when the folder cannot be entered.
    bool Enter(const std::string& folder)
    {
        char* cwd = ::getcwd(nullptr, 0);
        m_oldCwd = cwd ? cwd : ".";
        std::free(cwd);
        if (::chdir(folder.c_str()) != 0)
            return false;
        CConfigManager* settings = CConfigManager::GetInstance();
        settings->SetPersistent(std::make_shared<CConfigXMLPersistImp>(std::string()));
        settings->Init();
        settings->GetOpenedPaths().clear();
        return true;
    }

    // Registers the GUI loop and starts the worker loops; false when one fails.
    bool StartLoops(std::initializer_list<int> workerLoops)
    {
        LumivexBase::RegisterGuiLoop();
        for (int loop : workerLoops)
            if (!LumivexBase::StartWorkerLoop(loop))
                return false;
        return true;
    }

    // Lets posted work settle, stops the loops and deletes widgets left for
    // deferred deletion; call once the windows are released.
    void StopLoops()
    {
        ProcessUntil([] { return false; }, 100);
        LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Returns to the folder that was current before Enter.
    void Leave()
    {
        if (!m_oldCwd.empty()) {
            [[maybe_unused]] int ignored = ::chdir(m_oldCwd.c_str());
        }
    }

    // The folder that was current before Enter.
    const std::string& OldFolder() const { return m_oldCwd; }

private:
    std::string m_oldCwd;
};

#ifdef KVXWRITE_PROGRAM
// Writes recordings of the named recorder, starting 2016-01-02 08:00:00, at
// 64x48 without sound, into the folder; options add channel, count, length.
inline int WriteSampleRecordings(const std::string& folder, const std::string& name, const std::string& options)
{
    const std::string command = std::string(KVXWRITE_PROGRAM) + " --name " + name +
                                " --start '2016-01-02 08:00:00' " + options + " --size 64x48 --audio none '" +
                                folder + "' >/dev/null";
    return std::system(command.c_str());
}
#endif
