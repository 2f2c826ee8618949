// The export page inside the real main window: the file list feeds it,
// recordings written by kvxwrite play in its player and are exported.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QTreeWidget>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

extern "C" {
#include <libavformat/avformat.h>
}

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

std::string LocalStamp(std::uint32_t seconds)
{
    SF_SOFT_BASE::CSFDateTime time;
    time.FromTime(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

// Video packets of a file, the time from its first to past its last, its
// audio packets and the bytes of all packets.
int CountVideoPackets(const std::string& path, double* seconds, int* audioPackets, std::uint64_t* payload)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return -1;
    int count = -1;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        const int audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        *audioPackets = 0;
        *payload = 0;
        std::int64_t first = AV_NOPTS_VALUE;
        std::int64_t last = AV_NOPTS_VALUE;
        AVPacket* packet = av_packet_alloc();
        count = 0;
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == video) {
                ++count;
                first = first == AV_NOPTS_VALUE ? packet->dts : first;
                last = packet->dts;
            }
            *audioPackets += packet->stream_index == audio && packet->size > 0 ? 1 : 0;
            *payload += std::uint64_t(packet->size);
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        if (video >= 0 && first != AV_NOPTS_VALUE)
            *seconds = double(last - first + 1) * av_q2d(format->streams[video]->time_base);
    }
    avformat_close_input(&format);
    return count;
}

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
    EXPECT_EQ(refused, L"Export failed! " + SF_SOFT_BASE::Utf8ToWide(readOnly + ": " + std::strerror(EACCES)));
    EXPECT_TRUE(fs::is_empty(readOnly));

    Check(1, 0);
    EXPECT_EQ(Export(kKvx, Folder("none")), L"No export file!");
}

// Recordings of other containers, made by FFmpeg with sound, over a span
// inside them: a clip and pictures of the span, on the recording's own
// clock; a raw cut of an ".mp4" or ".avi", and a span of MPEG-4 Part 2
// video, are refused before any work.
TEST_F(ExportEndToEnd, OtherContainersExportTheChosenSpan)
{
    TempFolder other;
    ASSERT_TRUE(other.IsValid());
    fs::permissions(other.Path(), fs::perms(0755));
    const std::string name = other.Path() + "/Cam05_ch%d_20160102080000_20160102080006";
    struct Source {
        int channel;
        const char* extension;
        const char* audio;
        const char* video = "libx264";
    };
    const std::vector<Source> sources = {
        {1, ".mp4", "aac"}, {2, ".ts", "aac"}, {3, ".avi", "pcm_alaw"}, {4, ".avi", "pcm_alaw", "mpeg4"}};
    for (const Source& source : sources) {
        char path[512];
        std::snprintf(path, sizeof path, name.c_str(), source.channel);
        const std::string make = std::string("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 ") +
                                 "-f lavfi -i sine=frequency=440:sample_rate=16000 -t 6 -c:v " + source.video +
                                 " -g 25 -pix_fmt yuv420p -c:a " + source.audio + " '" + path + source.extension + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
    }
    Open(other.Path(), L"Cam05");
    auto ui = page->GetUILogic();
    const std::uint32_t fileStart = SF_SOFT_BASE::CSFDateTime(2016, 1, 2, 8, 0, 0).ToTime();
    auto fileOf = [](const Source& source) {
        return L"Cam05_ch" + std::to_wstring(source.channel) + L"_20160102080000_20160102080006" +
               Utf8ToWide(source.extension);
    };
    for (const Source& source : sources) {
        SCOPED_TRACE(source.channel);
        Check(source.channel, 1, L"Cam05");
        ASSERT_TRUE(ProcessUntil([&] { return ui->GetSpanEnd() != 0; }));
        EXPECT_EQ(ui->GetSpanStart(), fileStart);
        page->SetCutTime(fileStart + 2, 0);
        page->SetCutTime(fileStart + 4, 1);
        if (std::string(source.video) == "mpeg4") {
            const std::string refused = Folder("mpeg4");
            EXPECT_EQ(Export(kAvi, refused),
                      L"\"" + fileOf(source) + L"\" cannot be exported: only H.264 and H.265 video can be cut to the chosen span.");
            EXPECT_TRUE(fs::is_empty(refused));
            continue;
        }

        const std::string clips = Folder("clips" + std::to_string(source.channel));
        ASSERT_EQ(Export(kAvi, clips), L"Export the end!");
        const std::vector<std::string> avi = FilesEndingIn(clips, ".avi");
        ASSERT_EQ(avi.size(), 1u);
        double seconds = 0;
        int audioPackets = 0;
        std::uint64_t payload = 0;
        EXPECT_EQ(CountVideoPackets(avi.front(), &seconds, &audioPackets, &payload), 50);  // 2 s to the key frame at 4 s
        EXPECT_NEAR(seconds, 2.0, 0.05);
        // The sound in chunks of whole frames (about 31 in 2 s), not in empty
        // chunks for every sample: the file is little more than its frames.
        EXPECT_GT(audioPackets, 20);
        EXPECT_LT(fs::file_size(avi.front()) - payload, 32u << 10);

        const std::string pictures = Folder("pictures" + std::to_string(source.channel));
        page->GetSpinner(2)->SetCurrentNum(1);
        ASSERT_EQ(Export(kJpg, pictures), L"Export the end!");
        std::vector<std::string> names;
        for (const std::string& file : FilesEndingIn(pictures, ".jpg"))
            names.push_back(fs::path(file).filename().string());
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected;
        for (std::uint32_t second = 2; second <= 4; ++second)
            expected.push_back(LocalStamp(fileStart + second) + ".jpg");
        EXPECT_EQ(names, expected);

        const std::string cuts = Folder("cuts" + std::to_string(source.channel));
        const std::wstring said = Export(kKvx, cuts);
        if (std::string(source.extension) == ".ts") {
            EXPECT_EQ(said, L"Export the end!");
            EXPECT_EQ(FilesEndingIn(cuts, ".kvx").size(), 1u);
        } else {
            EXPECT_NE(said.find(L"\"" + fileOf(source) + L"\" cannot be exported as KVX"), std::wstring::npos)
                << SF_SOFT_BASE::WideToUtf8(said);
            EXPECT_TRUE(fs::is_empty(cuts));
        }
        Check(source.channel, 0, L"Cam05");
    }

    // Every recording refused is named (channel 4 is still checked).
    Check(1, 1, L"Cam05");
    Check(3, 1, L"Cam05");
    const std::wstring said = Export(kKvx, Folder("cutsall"));
    for (int channel : {1, 3, 4})
        EXPECT_NE(said.find(L"\"" + fileOf(sources[channel - 1]) + L"\""), std::wstring::npos)
            << channel << " " << SF_SOFT_BASE::WideToUtf8(said);
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
    // Past the span's preparation, into the writing of the clip.
    ASSERT_TRUE(ProcessUntil([&] {
        return !page->IsPreparingExport() && page->GetSimplePlayerView()->GetProgressCtrl()->GetPos() >= 2;
    }, 60000));

    frame->SetCloseGracePeriod(30000);
    QTimer::singleShot(0, [&] { frame->Dlg_Close(); });
    QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(frame->WasCloseForced());
    EXPECT_FALSE(page->IsExporting());
    EXPECT_TRUE(page->GetUILogic()->HasNoPlayHandle());
    // The close waited for the engine: the clip is closed under the name of
    // one cut short (or its own, where the export ended before the close
    // reached it), and no temporary of it is left to go with the exit.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(target))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].ends_with(".avi")) << names[0];
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

// Minute-long recordings of other containers, each exported over 20 s as AVI
// and as pictures, for a person to look at and measure:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb export_end_to_end_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*OtherContainersForAPerson*'
// leaves the recordings, the exports and the screenshot
// export-page-after-export.png in screenshots/other-containers in the
// current folder.
TEST_F(ExportEndToEnd, DISABLED_OtherContainersForAPerson)
{
    const std::string folder = session.OldFolder() + "/screenshots/other-containers";
    fs::remove_all(folder);
    fs::create_directories(folder + "/rec");
    const std::vector<std::pair<int, std::string>> sources = {
        {1, ".mp4 -c:a aac"}, {2, ".ts -c:a aac"}, {3, ".avi -c:a pcm_alaw"}};
    for (const auto& [channel, kind] : sources) {
        const std::string extension = kind.substr(0, kind.find(' '));
        const std::string make =
            "ffmpeg -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=25 -f lavfi -i sine=frequency=440:sample_rate=16000 "
            "-t 60 -c:v libx264 -preset veryfast -b:v 1000k -g 50 -pix_fmt yuv420p" + kind.substr(extension.size()) + " '" +
            folder + "/rec/Cam07_ch" + std::to_string(channel) + "_20160102080000_20160102080100" + extension + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
    }
    ShowExportPage();
    Open(folder + "/rec", L"Cam07");
    const std::uint32_t fileStart = SF_SOFT_BASE::CSFDateTime(2016, 1, 2, 8, 0, 0).ToTime();
    for (const auto& [channel, kind] : sources) {
        Check(channel, 1, L"Cam07");
        ASSERT_TRUE(ProcessUntil([&] { return page->GetUILogic()->GetSpanEnd() != 0; }));
        page->SetCutTime(fileStart + 20, 0);
        page->SetCutTime(fileStart + 40, 1);
        const std::string out = folder + "/out" + std::to_string(channel);
        fs::create_directories(out + "/avi");
        fs::create_directories(out + "/jpg");
        EXPECT_EQ(Export(kAvi, out + "/avi"), L"Export the end!");
        page->GetSpinner(2)->SetCurrentNum(1);
        EXPECT_EQ(Export(kJpg, out + "/jpg"), L"Export the end!");
        if (channel != 3)
            Check(channel, 0, L"Cam07");
    }
    ProcessUntil([] { return false; }, 500);
    EXPECT_EQ(std::system(("import -window root '" + folder + "/export-page-after-export.png'").c_str()), 0);
}

