#pragma once

#include <gtest/gtest.h>

#include <QTreeWidgetItem>
#include <QWidget>

#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "Common/UserMessages.h"
#include "PlayManager/EngineTestSupport.h"
#include "PlayManager/PlayManager.h"
#include "Preview/PreviewFileListEventImp.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewPagePlayLogic.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Preview/PreviewSimplePlayerUILogic.h"
#include "Preview/PreviewTimeLineViewEventImp.h"
#include "PreviewFakes.h"
#include "Support/PromptRecorder.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"

namespace PreviewTest {

template <class T>
QWidget* Widget(T* control)
{
    return dynamic_cast<QWidget*>(control);
}

// A preview page at 1280x800 on a play manager over fake libraries (or the
// real library), with the notifications and prompts captured.
class PreviewPageTest : public PlayManagerTest::EngineLoopTest {
public:
    void SetUp() override
    {
        EngineLoopTest::SetUp();
        libraries.Reset();
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notes.push_back(text); });
        SetPromptDialog(&prompt);
        SFQTSetSkinPath(LUMIVEX_SKIN_FOLDER);
        host = boost::make_shared<FakePageHost>();
        page = CPreviewPageEventImp::Create(host);
        manager = RealLibrary() ? CPlayManager::Create()
                                : CPlayManager::Create(CPlayBackends{
                                      libraries.Factory(),
                                      boost::make_shared<PlayManagerTest::RecordingOverlayDrawer>()});
        playLogic = boost::make_shared<CPreviewPagePlayLogic>(manager);
        page->UsePlayLogic(playLogic);
        player = page->GetSimplePlayerView();
        logic = player->GetUILogic();
        fileList = page->GetFileListView();
        timeLine = page->GetTimeLineView();
        QWidget* view = Widget(page->GetView());
        view->resize(1280, 800);
        view->show();
        PlayManagerTest::ProcessUntil([] { return false; }, 20);
    }

    void TearDown() override
    {
        page->StopPlay();
        PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); }, 3000);
        logic.reset();
        player.reset();
        fileList.reset();
        timeLine.reset();
        page.reset();
        PlayManagerTest::RunOnPlayLoop([this] {
            playLogic.reset();
            manager.reset();
        });
        SetPromptDialog(nullptr);
        SetNotifyMessageHandler({});
        EngineLoopTest::TearDown();
    }

    virtual bool RealLibrary() const { return false; }

    // Previews a file and waits until every slice is paused on its frame.
    bool Preview(const std::wstring& path, int ms = 10000)
    {
        logic->LoadFile(path);
        return PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); }, ms);
    }

    std::wstring RowName(int channel) const
    {
        UISF_Channel* row = timeLine->GetPlayProgressPanel()->GetChannelRecord(channel);
        return row ? row->name : L"";
    }

    std::vector<std::wstring> notes;
    PromptRecorder prompt;
    PreviewLibraries libraries;
    boost::shared_ptr<FakePageHost> host;
    boost::shared_ptr<CPlayManager> manager;
    boost::shared_ptr<CPreviewPagePlayLogic> playLogic;
    boost::shared_ptr<CPreviewPageEventImp> page;
    boost::shared_ptr<CPreviewSimplePlayerEventImp> player;
    boost::shared_ptr<CPreviewSimplePlayerUILogic> logic;
    boost::shared_ptr<CPreviewFileListEventImp> fileList;
    boost::shared_ptr<CPreviewTimeLineViewEventImp> timeLine;
};

}  // namespace PreviewTest
