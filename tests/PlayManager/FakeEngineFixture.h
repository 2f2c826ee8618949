#pragma once

#include <boost/make_shared.hpp>

#include <thread>

#include "PlayManager/EngineTestSupport.h"
#include "PlayManager/FakePlayLibrary.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayObject.h"

namespace PlayManagerTest {

// A manager over fake libraries and a recording overlay drawer, with a
// listener on the GUI thread. Manager calls go through OnPlay.
class FakeEngineTest : public EngineLoopTest {
protected:
    void SetUp() override
    {
        EngineLoopTest::SetUp();
        overlay = boost::make_shared<RecordingOverlayDrawer>();
        manager = CPlayManager::Create(CPlayBackends{libraries.Factory(), overlay});
        listener = boost::make_shared<RecordingListener>(std::this_thread::get_id());
    }

    void TearDown() override
    {
        RunOnPlayLoop([this] { manager.reset(); });
        EngineLoopTest::TearDown();
    }

    // Creates a play object with the listener set; returns its handle.
    void* MakeObject(int playType)
    {
        void* handle = nullptr;
        OnPlay([&] {
            handle = manager->CreatePlayObject(playType);
            manager->SetPlayObjectListener(handle, listener);
        });
        return handle;
    }

    void OnPlay(const std::function<void()>& work) { RunOnPlayLoop(work); }

    // Lets every task posted so far to the play and GUI loops run.
    void Settle()
    {
        OnPlay([] {});
        ProcessUntil([] { return false; }, 30);
    }

    FakeLibraries libraries;
    boost::shared_ptr<RecordingOverlayDrawer> overlay;
    boost::shared_ptr<CPlayManager> manager;
    boost::shared_ptr<RecordingListener> listener;
};

}  // namespace PlayManagerTest
