#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Common/CustomLayoutStore.h"
#include "Common/UserMessages.h"
#include "Main/CustomLayoutDlgEventImp.h"
#include "Main/LayoutBarEventImp.h"
#include "Main/MainPlayListener.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/VideoInfoDlgEventImp.h"
#include "Support/TextContrast.h"
#include "MainPageFixture.h"
#include "Support/ChildTestRun.h"
#include "Support/TempFolder.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTStatic.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFVideoWindow.h"

using namespace MainPageTest;
using SF_SOFT_BASE::WideToUtf8;

namespace {

constexpr unsigned kDay = 1710028800;

template <class Control>
QRect GeometryOf(Control* control)
{
    return dynamic_cast<QWidget*>(control)->geometry();
}

template <class Control>
std::wstring ToolTipOf(Control* control)
{
    return dynamic_cast<QWidget*>(control)->toolTip().toStdWString();
}

std::wstring LabelText(CSFStatic* label)
{
    wchar_t text[32] = {};
    label->GetStaticText(text, 32);
    return text;
}

class MainViews : public MainPageFixture {
protected:
    int Window(int index) const { return grid->GetSubWinIDByIndex(index); }
};

}  // namespace

TEST_F(MainViews, PlayBarControlsStandWhereTheBarPutsThem)
{
    struct Place {
        int id;
        QRect rect;
    };
    const Place radios[] = {{156, {10, 15, 31, 31}}, {157, {49, 15, 31, 31}}, {158, {88, 15, 31, 31}},
                            {159, {127, 5, 49, 49}}, {163, {485, 15, 31, 31}}};
    for (const Place& p : radios)
        EXPECT_EQ(GeometryOf(bar->GetRadio(p.id)), p.rect) << p.id;
    const Place buttons[] = {{160, {184, 15, 31, 31}}, {161, {223, 15, 31, 31}}, {162, {262, 15, 31, 31}}};
    for (const Place& p : buttons)
        EXPECT_EQ(GeometryOf(bar->GetButton(p.id)), p.rect) << p.id;
    EXPECT_EQ(GeometryOf(bar->GetSlider(164)), QRect(333, 20, 116, 20));
    EXPECT_EQ(GeometryOf(bar->GetSlider(165)), QRect(516, 20, 80, 20));
    EXPECT_EQ(GeometryOf(bar->GetSpeedLabel()).x(), 298);
    EXPECT_EQ(bar->GetRadio(163)->GetCheck(), 1);
    EXPECT_EQ(bar->GetSlider(164)->GetPos(), 6);
    EXPECT_EQ(bar->GetSlider(165)->GetPos(), 50);
}

TEST_F(MainViews, SpeedLabelsRunFromOneSixtyFourthToSixtyFourTimesAndShowReverse)
{
    const wchar_t* labels[] = {L"1/64X", L"1/32X", L"1/16X", L"1/8X", L"1/4X", L"1/2X", L"1X",
                               L"2X",    L"4X",    L"8X",    L"16X",  L"32X",  L"64X"};
    for (int position = 0; position < 13; ++position) {
        bar->GetSlider(164)->SetPos(position);
        EXPECT_FLOAT_EQ(bar->GetSpeed(), std::ldexp(1.0f, position - 6)) << position;
        EXPECT_EQ(LabelText(bar->GetSpeedLabel()), labels[position]);
    }
    bar->UpdateButtonState(CPlayBarEventImp::kReverse, 1);
    EXPECT_EQ(LabelText(bar->GetSpeedLabel()), L"-64X");
    EXPECT_FLOAT_EQ(bar->GetSpeed(), 64.0f);
    EXPECT_EQ(CPlayBarEventImp::SpeedLabel(13), L"1X");
}

// The bar with the program's skin images.
class SkinnedMainViews : public MainViews {
protected:
    void SetUp() override
    {
        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
        MainViews::SetUp();
    }
    void TearDown() override
    {
        MainViews::TearDown();
        SFSetSkinPath(L"");
    }
};

// The groove is filled left of the handle, and the speed text is light on the dark bar.
TEST_F(SkinnedMainViews, SpeedGrooveFillsUpToTheHandleAndItsLabelIsReadable)
{
    auto* slider = dynamic_cast<QWidget*>(bar->GetSlider(164));
    const auto blueAt = [&](int position, int x) {
        bar->GetSlider(164)->SetPos(position);
        const QColor c = slider->grab().toImage().pixelColor(x, 10);
        return c.blue() > c.red() + 60;
    };
    EXPECT_TRUE(blueAt(12, 20));
    EXPECT_FALSE(blueAt(0, slider->width() - 20));
    EXPECT_GT(dynamic_cast<CSFQTStatic*>(bar->GetSpeedLabel())->TextColor().lightness(), 200);
}

// Every text of the dialogs stands out from the skin behind it.
TEST_F(SkinnedMainViews, DialogTextsAreReadableOnTheirSkin)
{
    for (CSFDialog* dialog : {manager->GetVideoInfoDlg()->GetDialog(), manager->GetCustomLayoutDlg()->GetDialog()}) {
        auto* window = dynamic_cast<QWidget*>(dialog);
        ASSERT_NE(window, nullptr);
        window->show();
        EXPECT_EQ(TextContrast::TooFaint(window), std::vector<std::string>{});
        window->hide();
    }
}

TEST_F(MainViews, ToolTipsSayWhatTheButtonsDoNow)
{
    bar->UpdateButtonState(CPlayBarEventImp::kPlayPause, 1);
    EXPECT_EQ(ToolTipOf(bar->GetRadio(159)), L"Pause");
    EXPECT_EQ(ToolTipOf(bar->GetButton(161)), L"Previous Group");
    EXPECT_EQ(ToolTipOf(bar->GetButton(162)), L"Next Group");
    bar->UpdateButtonState(CPlayBarEventImp::kPlayPause, 0);
    EXPECT_EQ(ToolTipOf(bar->GetRadio(159)), L"Play");
    EXPECT_EQ(ToolTipOf(bar->GetButton(161)), L"Previous Frame");
    EXPECT_EQ(ToolTipOf(bar->GetButton(162)), L"Next Frame");
    bar->UpdateButtonState(CPlayBarEventImp::kRepeatOne, 1);
    EXPECT_EQ(ToolTipOf(bar->GetRadio(156)), L"Sequence Play");

    // While files open, a click is refused and its button set back.
    std::vector<std::wstring> notes;
    SetNotifyMessageHandler([&](const std::wstring& text, bool) { notes.push_back(text); });
    ui->SetWantedReturnNum(1);
    bar->GetRadio(158)->SetCheck(1);
    bar->RADIO_OnClicked(1, CPlayBarEventImp::kReverse, tagPOINT{1, 1});
    ui->SetWantedReturnNum(0);
    SetNotifyMessageHandler({});
    EXPECT_EQ(bar->GetRadio(158)->GetCheck(), 0);
    EXPECT_EQ(notes, std::vector<std::wstring>{
                         L"This operation can't accomplish as the videos are opening now, please retry later!"});
}

TEST_F(MainViews, LayoutButtonsInTheirOrderAndTheSmallestGridForAWindowCount)
{
    const int order[] = {146, 147, 150, 152, 153, 154, 148, 149, 151};
    auto layoutBar = manager->GetLayoutBar();
    for (int place = 0; place < 9; ++place)
        EXPECT_EQ(GeometryOf(layoutBar->GetRadio(order[place])), QRect(17, 20 + 43 * place, 53, 42)) << place;
    EXPECT_EQ(GeometryOf(layoutBar->GetCustomButton()), QRect(17, 407, 53, 42));

    struct Case {
        int windows;
        int grid;
        int checked;
    };
    const Case cases[] = {{1, 1, 146},   {3, 4, 147},   {5, 6, 148},   {8, 8, 149},   {9, 9, 150},
                          {10, 13, 151}, {16, 16, 152}, {17, 25, 153}, {36, 36, 154}, {40, 36, 154}};
    for (const Case& c : cases) {
        EXPECT_EQ(layoutBar->SelectLayoutByWndCount(c.windows), c.grid) << c.windows;
        EXPECT_EQ(grid->GetCurrentSubWinCount(), c.grid) << c.windows;
        EXPECT_EQ(layoutBar->GetRadio(c.checked)->GetCheck(), 1) << c.windows;
    }
    EXPECT_EQ(layoutBar->SelectLayoutByWndCount(0), 0);
}

namespace {

// The role of a child process running this test again: "own-folder" runs it
// from the program's hard link in a folder of its own, so that its
// custom-layout file is that folder's; "saver" saves the layouts over and
// over until it is killed.
constexpr const char* kLayoutTestRole = "LUMIVEX_TEST_LAYOUT_ROLE";

void ToggleRowsAndConfirmUntilKilled(CCustomLayoutDlgEventImp& dialog)
{
    QElapsedTimer alive;
    alive.start();
    for (int rows = 4; alive.elapsed() < 60000; rows = 7 - rows) {
        dialog.OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, rows);
        dialog.Dlg_OnOK();
    }
}

// Waits, through inotify on folder, until the custom-layout file was saved
// twice and a third save began writing it; then kills child by SIGKILL.
bool KillInThirdSave(pid_t child, const std::string& folder)
{
    const int watch = inotify_init1(IN_NONBLOCK);
    const std::uint32_t events = IN_CREATE | IN_MODIFY | IN_MOVED_TO | IN_CLOSE_WRITE;
    if (watch < 0 || inotify_add_watch(watch, folder.c_str(), events) < 0)
        return false;
    int saved = 0;
    bool killed = false;
    QElapsedTimer waited;
    waited.start();
    alignas(inotify_event) char buffer[4096];
    while (!killed && waited.elapsed() < 60000) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        const ssize_t length = read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < length && !killed;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            const std::string name = event->len ? event->name : "";
            if (name.rfind("CustomLayout.dat", 0) != 0 || name.rfind("CustomLayout.dat.plain", 0) == 0)
                continue;
            if (name == "CustomLayout.dat" && (event->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)))
                ++saved;
            else if (saved >= 2 && (event->mask & (IN_CREATE | IN_MODIFY)))
                killed = ::kill(child, SIGKILL) == 0;
        }
    }
    ::close(watch);
    return killed;
}

}  // namespace

TEST_F(MainViews, EditedCustomLayoutsReachTheFileWhenConfirmedAndSurviveAKillWhileSaving)
{
    const QByteArray role = qgetenv(kLayoutTestRole);
    auto dialog = manager->GetCustomLayoutDlg();
    if (role == "saver")
        return ToggleRowsAndConfirmUntilKilled(*dialog);
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    if (role.isEmpty()) {
        const std::string folder = SFGetAppDirUtf8() + "/layout-test-" + std::to_string(::getpid());
        std::filesystem::create_directory(folder);
        const std::string linked = folder + "/main_tests";
        EXPECT_EQ(::link(program.c_str(), linked.c_str()), 0);
        EXPECT_EQ(ExitStatusOf(SpawnThisTest(linked, kLayoutTestRole, "own-folder", false)), 0);
        std::filesystem::remove_all(folder);
        return;
    }

    // Here the folder holds no layout file yet: the slots are the standard layouts.
    dialog->RADIO_OnClicked(1, 178, tagPOINT{1, 1});
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, 3);
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kColumnSpinnerId, 5);
    const std::string edited = dialog->GetSlot(3);
    EXPECT_EQ(edited.rfind("3/5/", 0), 0u) << edited;
    dialog->Dlg_OnOK();

    // Read back as a restart would, while the dialog still lives.
    std::list<std::string> stored;
    ASSERT_TRUE(LoadCustomLayouts(stored));
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(*std::next(stored.begin(), 3), edited);
    auto again = CCustomLayoutDlgEventImp::Create(manager);
    EXPECT_EQ(again->GetSlot(3), edited);
    EXPECT_EQ(again->GetSlot(0), CSFVideoWindow::GetDefaultLayout(LAYOUT_1));
    again.reset();

    // A process killed while it saves the slot as 4 or 3 rows, over and
    // over, leaves the file as it was before that save or after it.
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, 4);
    const std::string fourRows = dialog->GetSlot(3);
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, 3);
    ASSERT_EQ(dialog->GetSlot(3), edited);
    dialog->Dlg_OnOK();
    const pid_t saver = SpawnThisTest(program, kLayoutTestRole, "saver", true);
    ASSERT_GT(saver, 0);
    const bool killedWhileSaving = KillInThirdSave(saver, SFGetAppDirUtf8());
    if (!killedWhileSaving)
        ::kill(saver, SIGKILL);
    EXPECT_TRUE(killedWhileSaving);
    int status = 0;
    ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    ASSERT_TRUE(LoadCustomLayouts(stored));
    ASSERT_EQ(stored.size(), 10u);
    const std::string slot = *std::next(stored.begin(), 3);
    EXPECT_TRUE(slot == edited || slot == fourRows) << slot;
}

TEST_F(MainViews, CancelDropsTheCustomLayoutEdits)
{
    const std::string file = GetCustomLayoutFilePath();
    std::filesystem::remove(file);
    auto dialog = CCustomLayoutDlgEventImp::Create(manager);
    const std::string before = dialog->GetSlot(3);
    const std::string first = dialog->GetSlot(0);
    dialog->RADIO_OnClicked(1, 178, tagPOINT{1, 1});
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, 3);
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kColumnSpinnerId, 5);
    ASSERT_NE(dialog->GetSlot(3), before);
    dialog->OnDlgKeyDown(0, 27);  // Esc cancels
    EXPECT_EQ(dialog->GetSlot(3), before);

    dialog->OnBnClickedDefault();
    dialog->RADIO_OnClicked(1, 178, tagPOINT{1, 1});
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, 4);
    ASSERT_TRUE(dialog->GetDialog());
    dialog->GetDialog()->MFCCancel();
    EXPECT_EQ(dialog->GetSlot(3), before);
    EXPECT_EQ(dialog->GetSlot(0), first);
    // The title bar's close drops them too: the next OK saves nothing.
    dialog->OnCurrentNumChanged(CCustomLayoutDlgEventImp::kRowSpinnerId, 5);
    ASSERT_NE(dialog->GetSlot(3), before);
    dynamic_cast<QWidget*>(dialog->GetDialog())->close();
    EXPECT_EQ(dialog->GetSlot(3), before);
    dialog->Dlg_OnOK();
    // Nothing cancelled reaches the file, at once or when the dialog goes.
    dialog.reset();
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(MainViews, TimeLineRowsKeepTheirCursorAndAClickSeeksThatWindow)
{
    auto timeLine = page->GetMainTimeLine();
    CSFPlayProgressPanel* panel = timeLine->GetPlayProgressPanel();
    timeLine->UpdateTimeRecord(Window(0), L"Channel1_main", 1, kDay, kDay + 600);
    timeLine->SetPlayTime(Window(0), int(kDay + 100));
    timeLine->UpdateTimeRecord(Window(0), L"Channel1_main", 1, kDay, kDay + 600);
    EXPECT_EQ(panel->GetPlayTime(Window(0)), int(kDay + 100));
    timeLine->UpdateTimeRecord(Window(0), L"Channel1_main", 2, kDay + 700, kDay + 900);
    timeLine->UpdateTimeRecord(Window(0), L"", 1, kDay, kDay + 650);
    const UISF_Channel* row = panel->GetChannelRecord(Window(0));
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->segments.size(), 2u);
    EXPECT_EQ(row->segments.front().end, std::int32_t(kDay + 650));
    EXPECT_EQ(panel->GetPlayTime(Window(0)), int(kDay + 100));

    ASSERT_TRUE(Open({Record(L"/rec/a.kvx", Window(0)), Record(L"/rec/b.kvx", Window(1))}));
    ui->GetPlayListener()->OnPlayTimeInfoChanged(ui->GetHandleOfWindow(Window(1)), kDay, kDay + 600);
    timeLine->OnSetHighlight(166, Window(1));
    EXPECT_EQ(grid->GetCurrentSubWinID(), Window(1));
    timeLine->OnPositionChanged(166, Window(1), 1, int(kDay + 30), VIDEOCUT_END);
    timeLine->OnPositionChanged(166, Window(1), 1, 40, VIDEOCUT_END);
    timeLine->OnPositionChanged(166, Window(1), -1, 70, VIDEOCUT_END);
    EXPECT_TRUE(ProcessUntil([&] { return engine.Total("Seek " + std::to_string(kDay + 30) + " 1") == 1; }));
    EXPECT_TRUE(ProcessUntil([&] { return engine.Total("SeekPercent 40") == 1; }));
    Settle();
    EXPECT_EQ(engine.Total("SeekPercent 70"), 0);
}

// The properties of a recording FFmpeg wrote, as its own probe reports them.
class VideoInformation : public MainPageFixture {
protected:
    VideoInformation() : MainPageFixture(false) {}
    void SetUp() override
    {
        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
        MainPageFixture::SetUp();
    }
    void TearDown() override
    {
        MainPageFixture::TearDown();
        SFSetSkinPath(L"");
    }
};

TEST_F(VideoInformation, DialogShowsWhatTheProbeReports)
{
    TempFolder folder;
    const std::string clip = folder.Path() + "/clip.mp4";
    const std::string make = "ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25 -t 3 -pix_fmt yuv420p "
                             "-c:v libx264 -y '" + clip + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
    char probed[256] = {};
    FILE* probe = popen(("ffprobe -v error -select_streams v:0 -show_entries stream=width,height,r_frame_rate "
                         "-of csv=p=0 '" + clip + "'").c_str(), "r");
    ASSERT_NE(probe, nullptr);
    ASSERT_NE(std::fgets(probed, sizeof probed, probe), nullptr);
    pclose(probe);
    int width = 0, height = 0, rate = 0, base = 1;
    ASSERT_EQ(std::sscanf(probed, "%d,%d,%d/%d", &width, &height, &rate, &base), 4);

    auto record = Record(SF_SOFT_BASE::Utf8ToWide(clip), grid->GetSubWinIDByIndex(0));
    record->fileType = 3;
    ASSERT_TRUE(Open({record}));
    ASSERT_NE(ui->GetWindowEntry(record->window), nullptr);
    auto dialog = manager->GetVideoInfoDlg();
    std::vector<std::wstring> shown;
    std::vector<std::string> faint;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* window = dynamic_cast<QWidget*>(dialog->GetDialog());
        if (!window->isVisible())
            return;
        for (int row = 0; row < 5; ++row)
            shown.push_back(dialog->GetValueText(row));
        faint = TextContrast::TooFaint(window);
        dialog->GetDialog()->MFCCancel();
    });
    closer.start(20);
    manager->OnBnClickedVideoProperty(0, record->window);
    ASSERT_TRUE(ProcessUntil([&] { return !shown.empty(); }));
    wchar_t size[32];
    std::swprintf(size, 32, L"%0.3f KB", double(std::filesystem::file_size(clip)) / 1024);
    EXPECT_EQ(shown[0], std::to_wstring(width) + L"*" + std::to_wstring(height));
    EXPECT_EQ(shown[1], std::to_wstring(rate / base) + L" fps");
    EXPECT_EQ(shown[2], L"00:00:03");
    EXPECT_EQ(shown[3], size);
    EXPECT_EQ(shown[4], SF_SOFT_BASE::Utf8ToWide(clip));
    EXPECT_EQ(faint, std::vector<std::string>{});
}
