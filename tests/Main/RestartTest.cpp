// The program used as a user does, across a restart: each run is a process
// of its own, from a hard link of this test program in a folder of its own
// (the program folder, where the settings and custom layouts are kept).
#include <gtest/gtest.h>

#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "Base/MessageLoopIds.h"
#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Common/ConfigManager.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/UserMessages.h"
#include "Main/CustomLayoutDlgEventImp.h"
#include "Main/FileListEventImp.h"
#include "Main/LayoutBarEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MainPageEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Support/AppTestSession.h"
#include "Support/ChildTestRun.h"
#include "Support/ProcessUntil.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFVideoWindow.h"

namespace {

constexpr const char* kRunRole = "LUMIVEX_TEST_RESTART_RUN";
constexpr int kChannels = 2;
constexpr int kFilesPerChannel = 3;

std::string RecordingsFolder()
{
    return SFGetAppDirUtf8() + "/recordings";
}

// One run of the program: the settings of the program folder, the worker
// loops and the main window started with file (or none).
class ProgramRun {
public:
    explicit ProgramRun(const char* file)
    {
        EXPECT_EQ(::chdir(SFGetAppDirUtf8().c_str()), 0);
        CConfigManager* settings = CConfigManager::GetInstance();
        settings->SetPersistent(std::make_shared<CConfigXMLPersistImp>(std::string()));
        settings->Init();
        EXPECT_TRUE(m_session.StartLoops({LumivexBase::ML_HELPER, LumivexBase::ML_PLAY}));
        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
        frame = CMainFrameEventImp::Create(file);
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notices.push_back(text); });
        manager = frame->GetMainPage()->GetPlayWinManager();
        ui = manager->GetPlayManagerUILogic();
        grid = manager->GetVideoWindow();
        tree = dynamic_cast<QTreeWidget*>(frame->GetMainPage()->GetFileList()->GetTreeCtrl());
    }

    // Closes the window as its close button does and waits for the pages.
    ~ProgramRun()
    {
        frame->Dlg_Close();
        EXPECT_TRUE(ProcessUntil([&] { return frame->IsAllPagesClosed() == 1; }, 20000));
        EXPECT_EQ(frame->WasCloseForced(), 0);
        ui.reset();
        manager.reset();
        frame.reset();
        m_session.StopLoops();
    }

    // The list shows the recorder with its day of every channel.
    bool ListsTheDay()
    {
        return ProcessUntil([&] {
            return tree->topLevelItemCount() == 1 && tree->topLevelItem(0)->childCount() == 1 &&
                   Day()->childCount() == kChannels;
        });
    }
    QTreeWidgetItem* Day() const { return tree->topLevelItem(0)->child(0); }

    std::string PlayingIn(int window) const
    {
        _QUERY_FILE_INFO* entry = ui->GetWindowEntry(window);
        if (!entry || !ui->GetHandleOfWindow(window))
            return {};
        return SF_SOFT_BASE::WideToUtf8(entry->path.substr(entry->path.rfind(L'/') + 1));
    }

    std::string Layout() const
    {
        char layout[11100] = {};
        grid->GetLayout(layout, sizeof layout - 1);
        return layout;
    }

    // Sets the custom layout as the user does: the layout bar's button, the
    // slot, rows and columns, OK.
    void SetCustomLayout(int slotId, int rows, int columns)
    {
        QTimer::singleShot(0, [this, slotId, rows, columns] {
            auto dialog = manager->GetCustomLayoutDlg();
            dialog->RADIO_OnClicked(1, slotId, tagPOINT{1, 1});
            dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, rows);
            dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kColumnSpinnerId, columns);
            dialog->GetDialog()->MFCOK();
        });
        manager->GetLayoutBar()->OnBnClickedCustomLayout();
    }

    boost::shared_ptr<CMainFrameEventImp> frame;
    boost::shared_ptr<CPlayWinManagerEventImp> manager;
    boost::shared_ptr<CPlayManagerUILogic> ui;
    CSFVideoWindow* grid = nullptr;
    QTreeWidget* tree = nullptr;
    std::vector<std::wstring> notices;

private:
    AppTestSession m_session;
};

// The last file of every channel, by name (names sort by time).
std::vector<std::string> LastFileOfEachChannel()
{
    std::vector<std::string> last(kChannels);
    for (const auto& entry : std::filesystem::directory_iterator(RecordingsFolder())) {
        const std::string name = entry.path().filename().string();
        for (int channel = 1; channel <= kChannels; ++channel)
            if (name.find("_ch" + std::to_string(channel) + "_") != std::string::npos)
                last[std::size_t(channel - 1)] = std::max(last[std::size_t(channel - 1)], name);
    }
    return last;
}

// Opens the recordings, plays their day through two file boundaries, sets
// a custom layout and closes.
void FirstRun()
{
    ProgramRun run(RecordingsFolder().c_str());
    ASSERT_TRUE(run.ListsTheDay());
    tagPOINT point{30, 5};
    run.frame->GetMainPage()->GetFileList()->OnItemDbClick(run.Day(), point);
    const std::vector<std::string> last = LastFileOfEachChannel();
    ASSERT_TRUE(ProcessUntil(
        [&] {
            for (int index = 0; index < kChannels; ++index)
                if (run.PlayingIn(run.grid->GetSubWinIDByIndex(index)) != last[std::size_t(index)])
                    return false;
            return true;
        },
        60000));
    ProcessUntil([] { return false; }, 300);
    EXPECT_TRUE(run.notices.empty()) << SF_SOFT_BASE::WideToUtf8(run.notices.front());

    run.SetCustomLayout(178, 3, 5);
    EXPECT_EQ(run.Layout().rfind("3/5/", 0), 0u) << run.Layout();
}

// Started without arguments: the folders and the layout of the last run.
void SecondRun()
{
    ProgramRun run(nullptr);
    EXPECT_TRUE(run.ListsTheDay());
    EXPECT_EQ(CConfigManager::GetInstance()->VideoLayout, 178);
    EXPECT_EQ(run.Layout().rfind("3/5/", 0), 0u) << run.Layout();
    int windows = 0;
    ASSERT_EQ(std::sscanf(CCustomLayoutDlgEventImp::LoadStoredSlots()[3].c_str(), "3/5/%d/", &windows), 1);
    EXPECT_EQ(run.grid->GetCurrentSubWinCount(), windows);
    for (int id = CLayoutBarEventImp::kFirstLayoutId; id <= CLayoutBarEventImp::kLastLayoutId; ++id)
        EXPECT_EQ(run.manager->GetLayoutBar()->GetRadio(id)->GetCheck(), 0) << id;
    EXPECT_TRUE(run.notices.empty());
}

TEST(Restart, TheFoldersAndTheCustomLayoutComeBackAfterADayPlayedThrough)
{
    const QByteArray role = qgetenv(kRunRole);
    if (role == "first")
        return FirstRun();
    if (role == "second")
        return SecondRun();
    // A hard link needs the program's file system: the folder goes beside it.
    const std::string folder = SFGetAppDirUtf8() + "/restart-test-" + std::to_string(::getpid());
    const std::string recordings = folder + "/recordings";
    ASSERT_TRUE(std::filesystem::create_directories(recordings));
    for (int channel = 1; channel <= kChannels; ++channel)
        EXPECT_EQ(WriteSampleRecordings(recordings, "Cam01",
                                        "--channel " + std::to_string(channel) + " --count " +
                                            std::to_string(kFilesPerChannel) + " --seconds 2"),
                  0);
    const std::string program = folder + "/main_tests";
    EXPECT_EQ(::link((SFGetAppDirUtf8() + "/main_tests").c_str(), program.c_str()), 0);
    EXPECT_EQ(ExitStatusOf(SpawnThisTest(program, kRunRole, "first", false)), 0);
    EXPECT_EQ(ExitStatusOf(SpawnThisTest(program, kRunRole, "second", false)), 0);
    std::filesystem::remove_all(folder);
}

}  // namespace
