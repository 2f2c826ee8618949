// The file list in the real main window, playing recordings written by
// kvxwrite through the play library.
#include <gtest/gtest.h>


#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTreeWidget>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "Base/MessageLoopIds.h"
#include "Base/TextCodec.h"
#include "Main/FileListEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainPlayListener.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Support/AppTestSession.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFVideoWindow.h"

namespace {

class FileListEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.IsValid() && files.IsValid());
        ASSERT_TRUE(session.Enter(work.Path()));
        ASSERT_TRUE(session.StartLoops({LumivexBase::ML_HELPER, LumivexBase::ML_PLAY}));

        Write("--channel 1 --count 2 --seconds 1");
        for (const char* channel : {"2", "3", "4"})
            Write(std::string("--channel ") + channel + " --seconds 2");
        Write("--channel 9 --seconds 2");
        for (const auto& entry : std::filesystem::directory_iterator(files.Path()))
            if (entry.path().filename().string().find("_ch9_") != std::string::npos)
                std::filesystem::rename(entry.path(), files.File("clip.kvx"));

        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
        frame = CMainFrameEventImp::Create(nullptr);
        ASSERT_TRUE(frame && frame->GetMainPage());
        ui = frame->GetMainPage()->GetPlayWinManager()->GetPlayManagerUILogic();
        grid = frame->GetMainPage()->GetPlayWinManager()->GetVideoWindow();
        tree = dynamic_cast<QTreeWidget*>(frame->GetMainPage()->GetFileList()->GetTreeCtrl());
        ASSERT_TRUE(ui && grid && tree);
    }

    void TearDown() override
    {
        if (ui) {
            ui->CertainCloseFiles(nullptr, -1);
            ProcessUntil([&] { return ui->GetCloseWantedNum() <= 0 && ui->GetWantedReturnNum() <= 0; });
        }
        ProcessUntil([] { return false; }, 100);
        ui.reset();
        frame.reset();
        session.StopLoops();
        session.Leave();
    }

    void Write(const std::string& options)
    {
        ASSERT_EQ(WriteSampleRecordings(files.Path(), "Cam01", options), 0) << options;
    }

    void Open()
    {
        frame->OnDlgFileDrop(SF_SOFT_BASE::Utf8ToWide(files.Path()).c_str());
        ASSERT_TRUE(ProcessUntil([&] { return tree->topLevelItemCount() == 2; }));
    }

    std::string PlayingIn(int window)
    {
        _QUERY_FILE_INFO* entry = ui->GetWindowEntry(window);
        if (!entry || !ui->GetHandleOfWindow(window))
            return {};
        return SF_SOFT_BASE::WideToUtf8(entry->path.substr(entry->path.rfind(L'/') + 1));
    }

    // Double-clicks an item and waits until window plays a file whose name
    // holds part.
    void Play(QTreeWidgetItem* item, const std::function<int()>& window, const std::string& part)
    {
        tagPOINT point{30, 5};
        frame->GetMainPage()->GetFileList()->OnItemDbClick(item, point);
        ASSERT_TRUE(ProcessUntil([&] {
            return ui->GetWantedReturnNum() <= 0 && PlayingIn(window()).find(part) != std::string::npos;
        })) << part;
    }

    QTreeWidgetItem* Day() { return tree->topLevelItem(0)->child(0); }

    TempFolder work;
    TempFolder files;
    AppTestSession session;
    boost::shared_ptr<CMainFrameEventImp> frame;
    boost::shared_ptr<CPlayManagerUILogic> ui;
    CSFVideoWindow* grid = nullptr;
    QTreeWidget* tree = nullptr;
};

TEST_F(FileListEndToEnd, DoubleClicksPlayAndTheEndOfAFileStepsOn)
{
    Open();
    const int current = grid->GetCurrentSubWinID();
    Play(tree->topLevelItem(1), [&] { return current; }, "clip.kvx");

    // A day: one window per channel, the grid switched to four windows,
    // the playing items highlighted.
    Play(Day(), [&] { return grid->GetSubWinIDByIndex(3); }, "_ch4_");
    EXPECT_EQ(grid->GetCurrentSubWinCount(), 4);
    for (int index = 0; index < 4; ++index) {
        const std::string name = PlayingIn(grid->GetSubWinIDByIndex(index));
        EXPECT_NE(name.find("_ch" + std::to_string(index + 1) + "_"), std::string::npos) << index << " " << name;
        EXPECT_TRUE(frame->GetMainPage()->GetFileList()->GetTreeCtrl()->IsItemHilight(Day()->child(index)));
    }

    // Channel 1 alone: its second file follows its first, then channel 2
    // follows in the same window.
    ui->CloseFiles(nullptr, -1);
    ASSERT_TRUE(ProcessUntil([&] { return !ui->GetHandleOfWindow(grid->GetSubWinIDByIndex(3)); }));
    Play(Day()->child(0), [&] { return grid->GetCurrentSubWinID(); }, "_ch1_");
    const int window = grid->GetCurrentSubWinID();
    EXPECT_TRUE(ProcessUntil([&] { return PlayingIn(window).find("_ch2_") != std::string::npos; }, 15000))
        << PlayingIn(window);
    // The highlight follows to the item now playing.
    CSFTreeCtrl* list = frame->GetMainPage()->GetFileList()->GetTreeCtrl();
    EXPECT_TRUE(ProcessUntil([&] { return list->IsItemHilight(Day()->child(1)) && !list->IsItemHilight(Day()->child(0)); }));
}

// Two windows whose files end at once step on to the next file not yet
// playing: it opens in one of them, never in both.
TEST_F(FileListEndToEnd, WindowsEndingAtOnceNeverOpenTheSameNextFile)
{
    TempFolder day;
    ASSERT_TRUE(day.IsValid());
    for (const char* channel : {"1", "2", "3"})
        ASSERT_EQ(WriteSampleRecordings(day.Path(), "Cam01", std::string("--seconds 20 --channel ") + channel), 0);
    frame->OnDlgFileDrop(SF_SOFT_BASE::Utf8ToWide(day.Path()).c_str());
    ASSERT_TRUE(ProcessUntil([&] { return tree->topLevelItemCount() == 1; }));
    const int first = grid->GetSubWinIDByIndex(0);
    const int second = grid->GetSubWinIDByIndex(1);
    Play(Day()->child(0), [&] { return first; }, "_ch1_");
    grid->SetFocusSubWin(second);
    Play(Day()->child(1), [&] { return second; }, "_ch2_");

    boost::shared_ptr<CMainPlayListener> listener = ui->GetPlayListener();
    listener->OnFileEnd(ui->GetHandleOfWindow(first));
    listener->OnFileEnd(ui->GetHandleOfWindow(second));
    ASSERT_TRUE(ProcessUntil([&] { return PlayingIn(first).find("_ch3_") != std::string::npos; }));
    ProcessUntil([&] { return ui->GetWantedReturnNum() <= 0 && ui->GetCloseWantedNum() <= 0; });
    ProcessUntil([] { return false; }, 300);
    EXPECT_EQ(PlayingIn(second), "");
}

// The main window with the list filled and a day playing in four windows,
// written to screenshots/file-list-main-window.png.
TEST_F(FileListEndToEnd, Screenshot)
{
    auto* window = static_cast<QWidget*>(frame->GetMainWindow()->GetUIWnd());
    ASSERT_NE(window, nullptr);
    QFile style(QString::fromStdString(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Lumivex_Style.css"));
    ASSERT_TRUE(style.open(QIODevice::ReadOnly));
    window->setStyleSheet(QString::fromUtf8(style.readAll()));
    int width = 1100;
    int height = 700;
    window->resize(width, height);
    window->show();
    frame->OnDlgSize(0, width, height);
    Open();
    Play(Day(), [&] { return grid->GetSubWinIDByIndex(3); }, "_ch4_");
    ProcessUntil([] { return false; }, 1000);
    QDir().mkpath(QString::fromStdString(session.OldFolder() + "/screenshots"));
    const QPixmap shot = window->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QString::fromStdString(session.OldFolder() + "/screenshots/file-list-main-window.png")));
}

}  // namespace
