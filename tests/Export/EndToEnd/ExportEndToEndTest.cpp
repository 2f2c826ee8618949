// The export page inside the real main window: the file list feeds it,
// recordings written by kvxwrite play in its player and are exported.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "Common/FileTreeLabels.h"
#include "Base/MessageLoopIds.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "Common/UserMessages.h"
#include "Export/ExportSimplePlayerViewEventImp.h"
#include "Export/ExportTimeLineViewEventImp.h"
#include "Export/ExportViewEventImp.h"
#include "Export/ExportViewUILogic.h"
#include "Main/MainFrameEventImp.h"
#include "Main/TabBarEventImp.h"
#include "Support/AppTestSession.h"
#include "Support/ProcessUntil.h"
#include "Support/PromptRecorder.h"
#include "Support/TempFolder.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFTreeCtrl.h"

namespace fs = std::filesystem;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

enum Format { kJpg = 0, kKvx = 2, kAvi = 3 };

class ExportEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.IsValid() && files.IsValid());
        // Readable by the unprivileged user one case runs the export as.
        fs::permissions(work.Path(), fs::perms(0755));
        fs::permissions(files.Path(), fs::perms(0755));
        ASSERT_TRUE(session.Enter(work.Path()));
        ASSERT_TRUE(session.StartLoops({LumivexBase::ML_HELPER, LumivexBase::ML_PLAY, LumivexBase::ML_EXPORT}));
        Write(files.Path(), "Cam01", "--channel 1 --seconds 600");
        Write(files.Path(), "Cam01", "--channel 2 --seconds 6");

        SFSetSkinPath(Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
        frame = CMainFrameEventImp::Create(nullptr);
        ASSERT_TRUE(frame);
        page = frame->GetExportView();
        ASSERT_TRUE(page);
        tree = page->GetTree();
        SetPromptDialog(&prompt);
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notes.push_back(text); });
        page->SetFolderChooser([this](std::wstring& chosen) {
            chosen = Utf8ToWide(target);
            return true;
        });
    }

    void TearDown() override
    {
        SetPromptDialog(nullptr);
        SetNotifyMessageHandler({});
        if (styled)
            qApp->setStyleSheet(QString());
        if (page && !frame->WasCloseForced()) {
            page->GetUILogic()->DeleteFilesAll();
            ProcessUntil([&] { return page->GetUILogic()->HasNoPlayHandle(); });
        }
        ProcessUntil([] { return false; }, 100);
        page.reset();
        frame.reset();
        session.StopLoops();
        session.Leave();
    }

    static void Write(const std::string& folder, const std::string& name, const std::string& options)
    {
        ASSERT_EQ(WriteSampleRecordings(folder, name, options), 0) << name << " " << options;
    }

    // The recording of a channel in the files folder.
    std::string RecordingOf(int channel) const
    {
        for (const auto& entry : fs::directory_iterator(files.Path()))
            if (entry.path().filename().string().find("_ch" + std::to_string(channel) + "_") != std::string::npos)
                return entry.path().string();
        return {};
    }

    void Open(const std::string& folder, const std::wstring& group)
    {
        frame->OnDlgFileDrop(Utf8ToWide(folder).c_str());
        ASSERT_TRUE(ProcessUntil([&] {
            return tree->FindChildItem(group.c_str(), SF_TVI_ROOT) != nullptr && page->GetUILogic()->HasFileManager();
        }));
    }

    void* Channel(int channel, const std::wstring& group = L"Cam01") const
    {
        void* groupItem = tree->FindChildItem(group.c_str(), SF_TVI_ROOT);
        void* date = groupItem ? tree->GetChildItem(groupItem) : nullptr;
        return date ? tree->FindChildItem(ChannelLabel(channel).c_str(), date) : nullptr;
    }

    // Checks or unchecks a channel as a click on its box does, and waits
    // until the page takes input again.
    void Check(int channel, int check, const std::wstring& group = L"Cam01")
    {
        void* item = Channel(channel, group);
        ASSERT_NE(item, nullptr) << channel;
        tree->SetCheck(item, check);
        page->OnItemCheckStateChanged(item, check);
        ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
        ProcessUntil([] { return false; }, 50);
    }

    std::wstring Caption() const
    {
        wchar_t text[64] = {};
        page->GetSimplePlayerView()->GetExportButton()->GetWindowTextW(text, 64);
        return text;
    }

    // Starts an export into folder and waits for its message.
    std::wstring Export(int format, const std::string& folder)
    {
        target = folder;
        prompt.texts.clear();
        page->GetFormatCombo()->SetCurSel(format);
        page->SelectChanged(CExportViewEventImp::kFormatComboId, format);
        page->OnExportButton(1);
        if (!ProcessUntil([&] { return !prompt.texts.empty(); }, 60000))
            return L"(no message)";
        EXPECT_EQ(Caption(), L"Begin Export");
        return prompt.texts.back();
    }

    static std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& end)
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.file_size() > 0 && entry.path().string().ends_with(end))
                found.push_back(entry.path().string());
        return found;
    }

    std::string Folder(const std::string& name) const
    {
        fs::create_directories(work.File(name));
        return work.File(name);
    }

    // The main window on the export page with the program's style sheet,
    // as its start-up loads it.
    void ShowExportPage()
    {
        QFile style(QString::fromStdString(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Lumivex_Style.css"));
        ASSERT_TRUE(style.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
        styled = true;
        auto* window = static_cast<QWidget*>(frame->GetMainWindow()->GetUIWnd());
        ASSERT_NE(window, nullptr);
        window->setGeometry(0, 0, 1280, 1000);
        window->show();
        int width = 1280;
        int height = 1000;
        frame->OnDlgSize(0, width, height);
        frame->GetTabBar()->ShowPageTab(CTabBarEventImp::kExportTab);
    }

    TempFolder work;
    TempFolder files;
    AppTestSession session;
    bool styled = false;
    boost::shared_ptr<CMainFrameEventImp> frame;
    boost::shared_ptr<CExportViewEventImp> page;
    CSFTreeCtrl* tree = nullptr;
    PromptRecorder prompt;
    std::vector<std::wstring> notes;
    std::string target;
};

}  // namespace

TEST_F(ExportEndToEnd, AChannelPlaysWithItsRowAndExportsInEachFormat)
{
    Open(files.Path(), L"Cam01");
    // Another list rebuild reaches the page as well.
    TempFolder more;
    Write(more.Path(), "Cam02", "--channel 3 --seconds 2");
    Open(more.Path(), L"Cam02");
    const auto* panel = dynamic_cast<CSFQTPlayProgressPanel*>(page->GetTimeLine()->GetPanel());
    ASSERT_NE(panel, nullptr);
    auto rowIs = [&](const std::wstring& name) {
        return panel->Model().records.size() == 1 && panel->Model().records.begin()->second.name == name;
    };
    Check(3, 1, L"Cam02");
    EXPECT_TRUE(ProcessUntil([&] { return rowIs(L"Channel:3_main"); }));
    Check(3, 0, L"Cam02");

    Check(2, 1);
    ASSERT_TRUE(ProcessUntil([&] { return rowIs(L"Channel:2_main"); }));
    const std::uint32_t start = SF_SOFT_BASE::CSFDateTime(2016, 1, 2, 8, 0, 0).ToTime();
    auto ui = page->GetUILogic();
    EXPECT_EQ(ui->GetSpanStart(), start);
    EXPECT_GE(ui->GetSpanEnd(), start + 5);
    EXPECT_LE(ui->GetSpanEnd(), start + 6);
    EXPECT_TRUE(panel->Model().cutMarksOn);
    EXPECT_EQ(panel->Model().cutMarks, (std::array<int, 2>{int(ui->GetSpanStart()), int(ui->GetSpanEnd())}));
    EXPECT_TRUE(tree->IsItemHilight(Channel(2)));

    for (auto [format, end] : {std::pair{kKvx, ".kvx"}, std::pair{kAvi, ".avi"}, std::pair{kJpg, ".jpg"}}) {
        const std::string folder = Folder(std::string("out") + end);
        EXPECT_EQ(Export(format, folder), L"Export the end!") << end;
        EXPECT_EQ(FilesEndingIn(folder, end).size(), 1u) << end;
    }

    // A stop of ten minutes' snapshots under way: the button reads "Begin
    // Export" again and nothing is said.
    Check(2, 0);
    Check(1, 1);
    target = Folder("stopped");
    prompt.texts.clear();
    page->GetFormatCombo()->SetCurSel(kJpg);
    page->GetSpinner(2)->SetCurrentNum(1);
    page->OnExportButton(1);
    EXPECT_EQ(Caption(), L"Stop Export");
    auto* progress = page->GetSimplePlayerView()->GetProgressCtrl();
    ASSERT_TRUE(ProcessUntil([&] { return progress->GetPos() > 0; }, 60000));
    page->OnExportButton(0);
    ASSERT_TRUE(ProcessUntil([&] { return Caption() == L"Begin Export" && !ui->IsExporting(); }));
    ProcessUntil([] { return false; }, 300);
    EXPECT_TRUE(prompt.texts.empty());
    EXPECT_EQ(progress->GetPos(), 0);
    EXPECT_LT(FilesEndingIn(target, ".jpg").size(), 600u);

    // A folder nobody may write to (the export runs unprivileged, as root
    // writes anywhere).
    const std::string readOnly = Folder("readonly");
    fs::permissions(readOnly, fs::perms(0555));
    ASSERT_EQ(::seteuid(65534), 0);
    const std::wstring refused = Export(kKvx, readOnly);
    ASSERT_EQ(::seteuid(0), 0);
    EXPECT_EQ(refused, L"Export failed!");
    EXPECT_TRUE(fs::is_empty(readOnly));

    Check(1, 0);
    EXPECT_EQ(Export(kKvx, Folder("none")), L"No export file!");
}

TEST_F(ExportEndToEnd, LargeAndMissingRecordingsGiveTheirMessages)
{
    Open(files.Path(), L"Cam01");
    // Channel 2 goes away after the list was built.
    ASSERT_TRUE(fs::remove(RecordingOf(2)));
    Check(2, 1);
    ASSERT_TRUE(ProcessUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes.back(), L"Open the video file unsuccessfully");
    ASSERT_TRUE(ProcessUntil([&] { return tree->GetCheck(Channel(2)) == 0; }));

    // The tree still works: channel 1 opens, grows past 4 GiB by a hole,
    // and is refused.
    Check(1, 1);
    EXPECT_FALSE(page->GetUILogic()->HasNoPlayHandle());
    fs::resize_file(RecordingOf(1), std::uintmax_t(4) << 30);
    EXPECT_EQ(Export(kKvx, Folder("large")), L"File is too large, export failed!");
    EXPECT_TRUE(fs::is_empty(work.File("large")));
}

TEST_F(ExportEndToEnd, ClosingTheProgramDuringAnExportEndsCleanly)
{
    Open(files.Path(), L"Cam01");
    Check(1, 1);
    ASSERT_TRUE(ProcessUntil([&] { return page->GetUILogic()->GetSpanEnd() != 0; }));
    target = Folder("closing");
    page->GetFormatCombo()->SetCurSel(kAvi);
    page->OnExportButton(1);
    ASSERT_TRUE(page->IsExporting());
    ASSERT_TRUE(ProcessUntil([&] { return page->GetSimplePlayerView()->GetProgressCtrl()->GetPos() >= 2; }, 60000));

    frame->SetCloseGracePeriod(30000);
    QTimer::singleShot(0, [&] { frame->Dlg_Close(); });
    QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(frame->WasCloseForced());
    EXPECT_FALSE(page->IsExporting());
    EXPECT_TRUE(page->GetUILogic()->HasNoPlayHandle());
    // The close waited for the engine: the clip is closed under the name of
    // one cut short, no temporary of it is left to go with the exit.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(target))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].ends_with("_incomplete.avi")) << names[0];
}

// The main window on the export page during an export, for a person to look at:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb export_end_to_end_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*Screenshot*'
// writes screenshots/export-page-during-export.png (the screen, by import)
// in the current folder.
// The page's tree draws light item texts; on the program's style sheet
// their ground is dark, so unchecked channels can be read.
TEST_F(ExportEndToEnd, UncheckedChannelsStandOutFromTheirGround)
{
    ShowExportPage();
    Open(files.Path(), L"Cam01");
    ProcessUntil([] { return false; }, 100);
    auto* widget = dynamic_cast<QTreeWidget*>(tree);
    ASSERT_NE(widget, nullptr);
    auto* item = static_cast<QTreeWidgetItem*>(Channel(2));
    ASSERT_EQ(tree->GetCheck(item), 0);
    const QRect row = widget->visualItemRect(item);
    const QImage shot = widget->viewport()->grab().toImage();
    const QColor ground = shot.pixelColor(shot.width() - 3, row.center().y());
    const QColor text = item->foreground(0).color();
    EXPECT_GT(std::abs(qGray(text.rgb()) - qGray(ground.rgb())), 100) << text.name().toStdString() << " on "
                                                                       << ground.name().toStdString();
}

TEST_F(ExportEndToEnd, DISABLED_Screenshot)
{
    ShowExportPage();
    Open(files.Path(), L"Cam01");
    Check(1, 1);
    ASSERT_TRUE(ProcessUntil([&] { return page->GetUILogic()->GetSpanEnd() != 0; }));
    target = Folder("shot");
    page->GetFormatCombo()->SetCurSel(kJpg);
    page->GetSpinner(2)->SetCurrentNum(1);
    page->OnExportButton(1);
    ASSERT_TRUE(ProcessUntil([&] { return page->GetSimplePlayerView()->GetProgressCtrl()->GetPos() >= 5; }, 60000));
    ProcessUntil([] { return false; }, 300);
    const std::string shot = session.OldFolder() + "/screenshots/export-page-during-export.png";
    fs::create_directories(session.OldFolder() + "/screenshots");
    EXPECT_EQ(std::system(("import -window root '" + shot + "'").c_str()), 0);
    page->OnExportButton(0);
    ASSERT_TRUE(ProcessUntil([&] { return !page->IsExporting() && Caption() == L"Begin Export"; }));
}
