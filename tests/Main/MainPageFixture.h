#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/WorkerLoops.h"
#include "Common/UserMessages.h"
#include "Main/MainPageEventImp.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerPlayLogic.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "PageServices/PageHost.h"
#include "PlayManager/PlayObject.h"
#include "Platform/PlayModule/Engine/PlayEngine.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Widgets/SFVideoWindow.h"
#include "EngineDouble.h"
#include "Support/ProcessUntil.h"

namespace MainPageTest {

// The main window as the page sees it: notes closed pages.
class PageHostDouble : public IPageHost {
public:
    void Task_OnCloseSuccess(int pageId) override { closedPages.push_back(pageId); }
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return closing; }

    int closing = 0;
    std::vector<int> closedPages;
};

// A main page on a plain parent window, its engine on the play loop.
// fake: the engine's library is the recording double, else the real one.
class MainPageFixture : public ::testing::Test {
protected:
    explicit MainPageFixture(bool fake = true) : m_fake(fake) {}

    void SetUp() override
    {
        LumivexBase::RegisterGuiLoop();
        ASSERT_TRUE(LumivexBase::StartWorkerLoop(LumivexBase::ML_PLAY));
        parent = std::make_unique<QWidget>();
        parent->resize(1000, 600);
        host = boost::make_shared<PageHostDouble>();
        CPlayBackends backends;
        if (m_fake)
            backends.library = engine.Factory();
        page = CMainPageEventImp::Create(host, parent.get(), backends);
        manager = page->GetPlayWinManager();
        ui = manager->GetPlayManagerUILogic();
        bar = manager->GetPlayBar();
        grid = manager->GetVideoWindow();
    }

    void TearDown() override
    {
        if (ui) {
            ui->CertainCloseFiles(nullptr, -1);
            ProcessUntil([&] { return ui->GetCloseWantedNum() <= 0 && ui->GetWantedReturnNum() <= 0; });
        }
        Settle();
        parent.reset();
        grid = nullptr;
        bar.reset();
        ui.reset();
        manager.reset();
        page.reset();
        Settle();
        LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Lets posted tasks of both loops run out.
    static void Settle(int ms = 100) { ProcessUntil([] { return false; }, ms); }

    // A request record for one file in a window.
    static boost::shared_ptr<_QUERY_FILE_INFO> Record(const std::wstring& path, int window, int type = 0,
                                                      int channel = -1, int fileId = 1, int key = 1)
    {
        auto record = boost::make_shared<_QUERY_FILE_INFO>();
        record->path = path;
        record->window = window;
        record->queryType = type;
        record->channelKey = channel;
        record->fileId = fileId;
        record->requestKey = key;
        record->fileType = 1;
        return record;
    }

    // Opens the files as the file list does and waits for every answer.
    bool Open(const std::vector<boost::shared_ptr<_QUERY_FILE_INFO>>& records, int syncPlay = 0)
    {
        ui->SetWantedReturnNum(int(records.size()));
        for (const auto& record : records)
            ui->StartPlayOneFile(record->path, record, syncPlay);
        return ProcessUntil([&] { return ui->GetWantedReturnNum() <= 0; });
    }

    // The time of the frame each file shows, in ms since 1970, read at one
    // moment on the play loop (0 for a file that is not open).
    std::vector<std::int64_t> ShownTimes(const std::vector<void*>& handles) const
    {
        return ReadModules(handles, [](PLAY_MODULE::CPlayModule& module) { return module.GetCurrentPlayTimeMs(); });
    }
    // The time of the picture each file's window was handed last (not of a
    // frame passed over), in ms since 1970; 0 before the first.
    std::vector<std::int64_t> ShownPictureTimes(const std::vector<void*>& handles) const
    {
        return ReadModules(handles, [](PLAY_MODULE::CPlayModule& module) -> std::int64_t {
            PLAY_MODULE::PlanarPicture picture;
            PLAY_MODULE::CPlayEngine* engine = module.Engine();
            return engine && engine->CopyShownPicture(picture) ? engine->FileStartAbsMs() + picture.timeMs : 0;
        });
    }
    // One reading of each file's module, at one moment on the play loop (0
    // for a file that is not open).
    std::vector<std::int64_t> ReadModules(const std::vector<void*>& handles,
                                          std::function<std::int64_t(PLAY_MODULE::CPlayModule&)> read) const
    {
        auto times = boost::make_shared<std::vector<std::int64_t>>();
        boost::shared_ptr<CPlayManager> playManager = ui->GetPlayLogic()->GetPlayManager();
        LumivexBase::PostTaskToLoop(LumivexBase::ML_PLAY, LumivexBase::MakeTask<int>([=] {
                                        std::vector<std::int64_t> readings;
                                        for (void* handle : handles) {
                                            auto object = playManager->GetSptrPlayObject(handle);
                                            IPlayLibrary* library = object ? object->Library() : nullptr;
                                            auto* module = library ? library->NativeModule() : nullptr;
                                            readings.push_back(module ? read(*module) : 0);
                                        }
                                        *times = readings;
                                    }),
                                    __FILE__, __LINE__, "ReadModules", "MainPageFixture");
        ProcessUntil([&] { return times->size() == handles.size(); });
        return *times;
    }

    EngineDouble engine;
    std::unique_ptr<QWidget> parent;
    boost::shared_ptr<PageHostDouble> host;
    boost::shared_ptr<CMainPageEventImp> page;
    boost::shared_ptr<CPlayWinManagerEventImp> manager;
    boost::shared_ptr<CPlayManagerUILogic> ui;
    boost::shared_ptr<CPlayBarEventImp> bar;
    CSFVideoWindow* grid = nullptr;

private:
    bool m_fake;
};

// The page against the engine double, with the notices it shows kept.
class PlayProtocolFixture : public MainPageFixture {
protected:
    void SetUp() override
    {
        MainPageFixture::SetUp();
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notes.push_back(text); });
    }
    void TearDown() override
    {
        MainPageFixture::TearDown();
        SetNotifyMessageHandler({});
    }

    int Window(int index) const { return grid->GetSubWinIDByIndex(index); }
    void* Handle(int index) const { return ui->GetHandleOfWindow(Window(index)); }
    bool Noted(const std::wstring& text) const { return std::find(notes.begin(), notes.end(), text) != notes.end(); }
    // Waits until the play loop made a call as often as expected.
    bool Reaches(const std::string& call, int times) const
    {
        return ProcessUntil([&] { return engine.Total(call) >= times; }, 5000) && engine.Total(call) == times;
    }

    std::vector<std::wstring> notes;
};

}  // namespace MainPageTest
