#pragma once

#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PlayManager/IOverlayDrawer.h"
#include "PlayManager/IPlayObjectListener.h"
#include "PlayManager/SynSmartPtr.h"

namespace PlayManagerTest {

// Runs Qt events (and so the GUI loop's tasks) until done() or the time is up.
bool ProcessUntil(const std::function<bool()>& done, int ms = 10000);

// Runs work on the play loop and waits for it, serving the GUI loop meanwhile.
void RunOnPlayLoop(const std::function<void()>& work);

// GUI loop and play loop for a test; both end with it.
class EngineLoopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

struct ListenerEvent {
    std::string name;
    void* handle = nullptr;
    unsigned first = 0;
    unsigned second = 0;
};

// A page's listener: records every event, checks it arrives on the GUI thread,
// keeps the last picture and releases frame tokens at once (or holds them).
class RecordingListener : public IPlayObjectListener {
public:
    explicit RecordingListener(std::thread::id guiThread) : m_guiThread(guiThread) {}

    int OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width,
                         int height, boost::shared_ptr<SynSmartPtr> token) override;
    int OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int> receiverToken, unsigned char* frame,
                           int width, int height, boost::shared_ptr<SynSmartPtr> token,
                           int overlayPort, int overlayValue) override;
    void OnFileRefFinished(void* handle, int result) override;
    void OnFileEnd(void* handle) override;
    void OnPlayTimeInfoChanged(void* handle, unsigned start, unsigned end) override;
    void OnPlayPositionChanged(void* handle, unsigned time) override;
    void OnSeekSuccess(void* handle) override;

    std::vector<ListenerEvent> Events() const;
    int Count(const std::string& name) const;
    bool WrongThreadSeen() const;

    // Frame tokens are kept (not released) while this is set.
    bool holdTokens = false;
    std::vector<boost::shared_ptr<SynSmartPtr>> heldTokens;
    std::vector<std::uint8_t> lastPicture;
    std::vector<std::uint8_t> lastPlanar;  // every plane of the last DirectDraw frame
    int lastWidth = 0;
    int lastHeight = 0;
    std::vector<std::vector<std::uint8_t>> pictures;  // every Qt picture, when keepAll
    bool keepAll = false;

private:
    void Record(const std::string& name, void* handle, unsigned first = 0, unsigned second = 0);

    std::thread::id m_guiThread;
    mutable std::mutex m_mutex;
    std::vector<ListenerEvent> m_events;
    bool m_wrongThread = false;
};

// Records the overlay-drawer calls as text.
class RecordingOverlayDrawer : public IOverlayDrawer {
public:
    std::vector<std::string> Calls() const;
    void Clear();
    // Runs inside every InputRules call, after it was recorded.
    void SetInputRulesHook(std::function<void()> hook);

    int OpenPort(int port) override;
    int ClosePort(int port) override;
    int SetKindStyle(int port, int kind, int color, int lineWidth, int reserved) override;
    int EnableKind(int port, int kind, int enable) override;
    int SetDrawType(int port, int drawType) override;
    int SetHoldFrames(int port, int group, int frames) override;
    int InputRules(int port, const unsigned char* data, int length, int value) override;
    int InputTargets(int port, int reserved, const unsigned char* data, int length,
                     int value) override;

private:
    int Log(std::string call);

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::function<void()> m_inputRulesHook;
};

}  // namespace PlayManagerTest
