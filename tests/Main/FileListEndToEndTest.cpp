// The file list playing through the real main page and the play library,
// on recordings written by kvxwrite.
#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "Base/TextCodec.h"
#include "Main/LayoutBarEventImp.h"
#include "Main/MainFrameHelpLogic.h"
#include "Support/TempFolder.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"
#include "FileListDoubles.h"
#include "MainPageFixture.h"

namespace {

// The real main page's parts behind the file list's view of a main page.
class MainPageLink : public IFileListOwner {
public:
    MainPageLink(boost::shared_ptr<CMainPageEventImp> page, void* parent) : m_page(page), m_parent(parent) {}

    boost::shared_ptr<CFileListEventImp> GetFileList() override { return fileList; }
    void* GetFileListParentWnd() override { return m_parent; }
    void ShowFileList(int) override {}
    void PassKeyToMainFrame(UINT, UINT) override {}
    boost::shared_ptr<CMainFrameUILogic> GetMainFrameUILogic() override { return uiLogic; }
    int GetWantedReturnNum() override { return Ui()->GetWantedReturnNum(); }
    void SetWantedReturnNum(int count) override { Ui()->SetWantedReturnNum(count); }
    void SetWantedShowNum(int count) override { Ui()->SetWantedShowNum(count); }
    void SetSynPlay(int on) override { Ui()->SetSynPlay(on); }
    void ResetPlayStates() override { Ui()->ResetPlayStates(); }
    void CloseFiles(int, int window) override { Ui()->CloseFiles(nullptr, window); }
    void StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> file, int sync) override
    {
        Ui()->StartPlayOneFile(path, file, sync);
    }
    int IsSyncPlay() override { return Manager()->GetPlayBar()->IsSyncPlay(); }
    void UpdatePlayBarButton(int id, int check) override { Manager()->GetPlayBar()->UpdateButtonState(id, check); }
    CSFVideoWindow* GetVideoWindow() override { return Manager()->GetVideoWindow(); }
    int SelectLayoutByWndCount(int count) override { return Manager()->GetLayoutBar()->SelectLayoutByWndCount(count); }
    void SetTimeLineDisplayFlag(int) override {}

    boost::shared_ptr<CFileListEventImp> fileList;
    boost::shared_ptr<CMainFrameUILogic> uiLogic;

private:
    boost::shared_ptr<CPlayWinManagerEventImp> Manager() { return m_page->GetPlayWinManager(); }
    boost::shared_ptr<CPlayManagerUILogic> Ui() { return Manager()->GetPlayManagerUILogic(); }

    boost::shared_ptr<CMainPageEventImp> m_page;
    void* m_parent;
};

class FileListEndToEnd : public MainPageTest::MainPageFixture {
protected:
    FileListEndToEnd() : MainPageFixture(false) {}

    void SetUp() override
    {
        MainPageFixture::SetUp();
        ASSERT_TRUE(LumivexBase::StartWorkerLoop(LumivexBase::ML_HELPER));
        ASSERT_TRUE(files.IsValid());
        Write("--channel 1 --count 2");
        for (const char* channel : {"2", "3", "4"})
            Write(std::string("--channel ") + channel);
        Write("--channel 9");
        for (const auto& entry : std::filesystem::directory_iterator(files.Path()))
            if (entry.path().filename().string().find("_ch9_") != std::string::npos)
                std::filesystem::rename(entry.path(), files.File("clip.kvx"));
        link = boost::make_shared<MainPageLink>(page, parent.get());
        frame->owner = link;
        link->uiLogic = CMainFrameUILogic::Create(frame);
        link->fileList = CFileListEventImp::Create(link);
        tree = dynamic_cast<QTreeWidget*>(link->fileList->GetTreeCtrl());
    }

    void Write(const std::string& options)
    {
        const std::string command = std::string(KVXWRITE_PROGRAM) + " --name Cam01 --start '2016-01-02 08:00:00' " +
                                    options + " --seconds 2 --size 64x48 --audio none '" + files.Path() +
                                    "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    void Open()
    {
        auto path = boost::make_shared<std::wstring>(SF_SOFT_BASE::Utf8ToWide(files.Path()));
        link->uiLogic->SetDropFiles(path);
        link->uiLogic->GenerateFileList(path);
        ASSERT_TRUE(ProcessUntil([&] { return tree->topLevelItemCount() == 2; }));
    }

    // Double-clicks an item and waits until window plays a file whose name
    // holds part.
    void Play(QTreeWidgetItem* item, const std::function<int()>& window, const std::string& part)
    {
        tagPOINT point{5, 5};
        link->fileList->OnItemDbClick(item, point);
        ASSERT_TRUE(ProcessUntil([&] {
            return ui->GetWantedReturnNum() <= 0 && PlayingIn(window()).find(part) != std::string::npos;
        })) << part;
    }

    std::string PlayingIn(int window)
    {
        _QUERY_FILE_INFO* entry = ui->GetWindowEntry(window);
        if (!entry || !ui->GetHandleOfWindow(window))
            return {};
        return SF_SOFT_BASE::WideToUtf8(entry->path.substr(entry->path.rfind(L'/') + 1));
    }

    TempFolder files;
    boost::shared_ptr<FakeMainFrame> frame = boost::make_shared<FakeMainFrame>();
    boost::shared_ptr<MainPageLink> link;
    QTreeWidget* tree = nullptr;
};

TEST_F(FileListEndToEnd, DoubleClicksPlaySingleFilesDaysAndChannelsInTheGrid)
{
    Open();
    const int current = grid->GetCurrentSubWinID();
    Play(tree->topLevelItem(1), [&] { return current; }, "clip.kvx");

    // A day: one window per channel, the grid switched to four windows.
    Play(tree->topLevelItem(0)->child(0), [&] { return grid->GetSubWinIDByIndex(3); }, "_ch4_");
    EXPECT_EQ(grid->GetCurrentSubWinCount(), 4);
    for (int index = 0; index < 4; ++index) {
        const std::string name = PlayingIn(grid->GetSubWinIDByIndex(index));
        EXPECT_NE(name.find("_ch" + std::to_string(index + 1) + "_"), std::string::npos) << index << " " << name;
    }

    // Stepping on from the first channel's window plays the next channel there.
    const int first = grid->GetSubWinIDByIndex(0);
    ui->CloseFiles(nullptr, -1);
    ASSERT_TRUE(ProcessUntil([&] { return !ui->GetHandleOfWindow(first); }));
    Play(tree->topLevelItem(0)->child(0)->child(0), [&] { return grid->GetCurrentSubWinID(); }, "_ch1_");
    const int window = grid->GetCurrentSubWinID();
    ASSERT_TRUE(link->fileList->PlayAdjacentFile(tree->topLevelItem(0)->child(0)->child(0), 1, 0, window));
    ASSERT_TRUE(ProcessUntil([&] { return PlayingIn(window).find("_ch2_") != std::string::npos; }));
}

// The page with the file list at its left and a day playing in four
// windows, written to screenshots/file-list-main-page.png.
TEST_F(FileListEndToEnd, Screenshot)
{
    SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
    // The program's style sheet gives trees a dark ground.
    parent->setStyleSheet("QTreeWidget { background-color: #2a2e35; }");
    parent->resize(1280, 720);
    page->GetView()->MoveWindow(0, 0, 1280, 720);
    page->OnSize(0, 1280, 720);
    // This list stands where the page's own one is.
    auto* own = dynamic_cast<QWidget*>(page->GetFileList()->GetView());
    auto* mine = dynamic_cast<QWidget*>(link->fileList->GetView());
    ASSERT_TRUE(own && mine);
    const QRect place(own->mapTo(parent.get(), QPoint(0, 0)), own->size());
    own->hide();
    link->fileList->GetView()->MoveWindow(place.x(), place.y(), place.width(), place.height());
    link->fileList->OnSize(0, place.width(), place.height());
    link->fileList->GetView()->ShowWindow(1);
    mine->raise();
    parent->show();
    Open();
    Play(tree->topLevelItem(0)->child(0), [&] { return grid->GetSubWinIDByIndex(3); }, "_ch4_");
    ProcessUntil([] { return false; }, 1500);
    QDir().mkpath("screenshots");
    const QPixmap shot = parent->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save("screenshots/file-list-main-page.png"));
}

}  // namespace
