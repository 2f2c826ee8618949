#include "PlayManager/EngineTestSupport.h"

#include "Base/PlanarLayout.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/WorkerLoops.h"

namespace PlayManagerTest {

bool ProcessUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void RunOnPlayLoop(const std::function<void()>& work)
{
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto task = LumivexBase::MakeTask<int>([work, finished]() {
        work();
        *finished = true;
    });
    ASSERT_TRUE(LumivexBase::PostTaskToLoop(LumivexBase::ML_PLAY, task, __FILE__, __LINE__, "work",
                                            "RunOnPlayLoop"));
    ASSERT_TRUE(ProcessUntil([&] { return finished->load(); }, 30000));
}

void EngineLoopTest::SetUp()
{
    LumivexBase::RegisterGuiLoop();
    ASSERT_TRUE(LumivexBase::StartWorkerLoop(LumivexBase::ML_PLAY));
}

void EngineLoopTest::TearDown()
{
    // Let queued GUI tasks and deferred deletions run before the loops go.
    ProcessUntil([] { return false; }, 50);
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// ---- listener ----

void RecordingListener::Record(const std::string& name, void* handle, unsigned first,
                               unsigned second)
{
    std::lock_guard lock(m_mutex);
    if (std::this_thread::get_id() != m_guiThread)
        m_wrongThread = true;
    m_events.push_back({name, handle, first, second});
}

int RecordingListener::OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame,
                                        int width, int height, boost::shared_ptr<SynSmartPtr> token)
{
    Record("QtFrame", handle, unsigned(width), unsigned(height));
    const std::size_t size = std::size_t(width) * std::size_t(height) * 4;
    lastPicture.assign(frame.get(), frame.get() + size);
    lastWidth = width;
    lastHeight = height;
    if (keepAll)
        pictures.push_back(lastPicture);
    if (holdTokens)
        heldTokens.push_back(token);
    return 1;
}

int RecordingListener::OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int>,
                                          unsigned char* frame, int width, int height,
                                          boost::shared_ptr<SynSmartPtr> token, int overlayPort,
                                          int overlayValue)
{
    Record("DDFrame", handle, unsigned(overlayPort), unsigned(overlayValue));
    const std::size_t area = std::size_t(width) * std::size_t(height);
    lastPicture.assign(frame, frame + area);  // the luma plane
    lastPlanar.assign(frame, frame + SF_SOFT_BASE::PlanarLayout{width, height}.Size());
    lastWidth = width;
    lastHeight = height;
    if (holdTokens)
        heldTokens.push_back(token);
    return 1;
}

void RecordingListener::OnFileRefFinished(void* handle, int result)
{
    Record("FileRefFinished", handle, unsigned(result));
}

void RecordingListener::OnFileEnd(void* handle) { Record("FileEnd", handle); }

void RecordingListener::OnPlayTimeInfoChanged(void* handle, unsigned start, unsigned end)
{
    Record("PlayTimeInfo", handle, start, end);
}

void RecordingListener::OnPlayPositionChanged(void* handle, unsigned time)
{
    Record("Position", handle, time);
}

void RecordingListener::OnSeekSuccess(void* handle) { Record("SeekSuccess", handle); }

std::vector<ListenerEvent> RecordingListener::Events() const
{
    std::lock_guard lock(m_mutex);
    return m_events;
}

int RecordingListener::Count(const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    return int(std::count_if(m_events.begin(), m_events.end(),
                             [&](const ListenerEvent& e) { return e.name == name; }));
}

bool RecordingListener::WrongThreadSeen() const
{
    std::lock_guard lock(m_mutex);
    return m_wrongThread;
}

// ---- overlay drawer ----

int RecordingOverlayDrawer::Log(std::string call)
{
    std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(call));
    return 1;
}

std::vector<std::string> RecordingOverlayDrawer::Calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void RecordingOverlayDrawer::Clear()
{
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}

int RecordingOverlayDrawer::OpenPort(int port) { return Log("1:" + std::to_string(port)); }
int RecordingOverlayDrawer::ClosePort(int port) { return Log("2:" + std::to_string(port)); }

int RecordingOverlayDrawer::SetKindStyle(int port, int kind, int color, int lineWidth, int reserved)
{
    return Log("11:" + std::to_string(port) + "," + std::to_string(kind) + "," +
               std::to_string(color) + "," + std::to_string(lineWidth) + "," +
               std::to_string(reserved));
}

int RecordingOverlayDrawer::EnableKind(int port, int kind, int enable)
{
    return Log("10:" + std::to_string(port) + "," + std::to_string(kind) + "," +
               std::to_string(enable));
}

void RecordingOverlayDrawer::SetInputRulesHook(std::function<void()> hook)
{
    m_inputRulesHook = std::move(hook);
}

int RecordingOverlayDrawer::SetDrawType(int port, int drawType)
{
    return Log("23:" + std::to_string(port) + "," + std::to_string(drawType));
}

int RecordingOverlayDrawer::SetHoldFrames(int port, int group, int frames)
{
    return Log("9:" + std::to_string(port) + "," + std::to_string(group) + "," +
               std::to_string(frames));
}

int RecordingOverlayDrawer::InputRules(int port, const unsigned char*, int length, int value)
{
    Log("4:" + std::to_string(port) + "," + std::to_string(length) + "," + std::to_string(value));
    if (m_inputRulesHook)
        m_inputRulesHook();
    return 44;
}

int RecordingOverlayDrawer::InputTargets(int port, int reserved, const unsigned char*, int length,
                                         int value)
{
    Log("6:" + std::to_string(port) + "," + std::to_string(reserved) + "," +
        std::to_string(length) + "," + std::to_string(value));
    return 66;
}

}  // namespace PlayManagerTest
