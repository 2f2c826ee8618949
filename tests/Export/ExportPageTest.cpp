#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QTest>

#include <QComboBox>
#include <QProgressBar>
#include <QWidget>

#include <cerrno>
#include <cstring>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "Common/UserMessages.h"
#include "Export/ExportSimplePlayerViewEventImp.h"
#include "Export/ExportTestSupport.h"
#include "Export/ExportTimeLinePopDlgEventImp.h"
#include "Export/ExportTimeLineViewEventImp.h"
#include "Export/ExportViewEventImp.h"
#include "Export/ExportViewUILogic.h"
#include "FileIndex/FileManager.h"
#include "PageServices/PageHost.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/SFView.h"

using namespace EXPORT_TEST;
using namespace LumivexBase;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

constexpr std::uint32_t kT0 = 1451703845;

class CHostDouble : public IPageHost {
public:
    void Task_OnCloseSuccess(int pageId) override { closed.push_back(pageId); }
    void ResetPageTab(int tabId) override { tabs.push_back(tabId); }
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return nullptr; }
    int IsClosing() override { return 0; }
    std::vector<int> closed;
    std::vector<int> tabs;
};

class CPromptDouble : public IPromptDialog {
public:
    int ShowMsg(const wchar_t* text, const wchar_t* title, int) override
    {
        shown.emplace_back(text ? text : L"", title ? title : L"");
        return 1;
    }
    std::vector<std::pair<std::wstring, std::wstring>> shown;
};

template <class T>
QWidget* Widget(T* control)
{
    return dynamic_cast<QWidget*>(control);
}

// left, top, right, bottom of a widget as the page's rectangles count them.
std::array<int, 4> Edges(QWidget* widget)
{
    const QRect g = widget->geometry();
    return {g.left(), g.top(), g.right(), g.bottom()};
}

_GROUP_FILE_INFO Group(const std::wstring& name, int dayKey, std::initializer_list<int> channels)
{
    _GROUP_FILE_INFO group{name, dayKey, {}};
    for (int channel : channels)
        group.channels[channel] = nullptr;
    return group;
}

int Day(int offset)
{
    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(kT0 + std::uint32_t(offset) * 86400);
    return GetDayKey(date);
}

class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartLoops();
        host = boost::make_shared<CHostDouble>();
        page = CExportViewEventImp::Create(host);
        tree = page->GetTree();
        SetPromptDialog(&prompt);
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notes.push_back(text); });
        page->SetFolderChooser([this](std::wstring& chosen) {
            ++folderAsks;
            chosen = folder;
            return !folder.empty();
        });
    }
    void TearDown() override
    {
        SetPromptDialog(nullptr);
        SetNotifyMessageHandler({});
        page->GetUILogic()->DeleteFilesAll();
        Settle(ML_PLAY);
        StopLoops();
    }

    std::vector<std::wstring> TopTexts() const { return Texts(SF_TVI_ROOT); }
    std::vector<std::wstring> Texts(void* parent) const
    {
        std::vector<std::wstring> texts;
        for (void* item = tree->GetChildItem(parent); item; item = tree->GetNextSiblingItem(item)) {
            wchar_t text[64] = {};
            tree->GetTreeItemText(item, text, 64);
            texts.push_back(text);
        }
        return texts;
    }
    void* Find(const std::wstring& text, void* parent = SF_TVI_ROOT) const
    {
        return tree->FindChildItem(text.c_str(), parent);
    }
    void Fill(std::initializer_list<_GROUP_FILE_INFO> groups)
    {
        page->FillFileTree(boost::make_shared<std::list<_GROUP_FILE_INFO>>(groups));
    }
    void AddSingles(std::initializer_list<_SINGLE_FILE_INFO> files)
    {
        page->AddFiles(boost::make_shared<std::list<_SINGLE_FILE_INFO>>(files));
    }
    std::wstring DateText(int offset) const
    {
        SF_SOFT_BASE::CSFDateTime date;
        date.FromTime(std::uint32_t(Day(offset)));
        wchar_t text[12];
        std::swprintf(text, 12, L"%4d-%02d-%02d", date.year, date.month, date.day);
        return text;
    }
    void SetPickers(std::uint32_t start, std::uint32_t end)
    {
        page->SetCutTime(start, 0);
        page->SetCutTime(end, 1);
    }
    void ProcessMessages() { ProcessUntil([] { return false; }, 50); }

    boost::shared_ptr<CHostDouble> host;
    boost::shared_ptr<CExportViewEventImp> page;
    CSFTreeCtrl* tree = nullptr;
    CPromptDouble prompt;
    std::vector<std::wstring> notes;
    std::wstring folder;
    int folderAsks = 0;
};

}  // namespace

TEST_F(PageTest, TreeKeepsGroupsAboveFilesAndDatesInOrder)
{
    AddSingles({{41, L"/r/one.kvx"}, {42, L"/r/Two.KVX"}, {43, L"/r/clip.avi"}, {41, L"/r/again.kvx"}});
    EXPECT_EQ(TopTexts(), (std::vector<std::wstring>{L"one", L"Two"}));
    Fill({Group(L"B", Day(2), {3, 3 + (1 << 24)})});
    Fill({Group(L"B", Day(0), {3}), Group(L"A", Day(1), {1})});
    Fill({Group(L"B", Day(2), {3, 3 + (1 << 24)})});  // again: nothing new
    // A new group goes first among files only, then after the last group.
    EXPECT_EQ(TopTexts(), (std::vector<std::wstring>{L"B", L"A", L"one", L"Two"}));
    void* groupB = Find(L"B");
    EXPECT_EQ(Texts(groupB), (std::vector<std::wstring>{DateText(0), DateText(2)}));
    void* date = Find(DateText(2), groupB);
    EXPECT_EQ(Texts(date), (std::vector<std::wstring>{L"Channel3_main", L"Channel3_extra1"}));
    EXPECT_EQ(page->ChannelKeyOf(Find(L"Channel3_main", date)), 3);
    EXPECT_EQ(page->ChannelKeyOf(Find(L"Channel3_extra1", date)), 3 + (1 << 24));
    EXPECT_EQ(tree->GetItemData(date), DWORD(Day(2)));
    EXPECT_EQ(tree->GetItemData(Find(L"Two")), 42u);

    // Checked and highlighted lists.
    tree->SetCheck(Find(L"Channel3_extra1", date), 1);
    tree->SetCheck(Find(L"one"), 1);
    tree->SetItemHilight(Find(L"one"), 1);
    auto checked = page->GetCheckedChannelNames();
    ASSERT_EQ(checked->size(), 2u);
    EXPECT_EQ(checked->front().groupName, L"B");
    EXPECT_EQ(checked->front().key, Day(2));
    EXPECT_EQ(checked->front().channels.count(3 + (1 << 24)), 1u);
    EXPECT_EQ(checked->back().groupName, L"one");
    EXPECT_EQ(checked->back().key, 41);
    auto hilighted = page->GetHilightCheckedChannelNames();
    ASSERT_EQ(hilighted->size(), 1u);
    EXPECT_EQ(hilighted->front().key, 41);

    // Deleting some channels removes only those; a whole day its date and
    // the emptied group; a single file goes by its id.
    AddSingles({{44, L"/other/one.kvx"}});
    auto some = boost::make_shared<std::list<_GROUP_FILE_INFO>>(
        std::list<_GROUP_FILE_INFO>{Group(L"B", Day(2), {3})});
    page->DeleteSelectedItem(some);
    EXPECT_EQ(Texts(date), std::vector<std::wstring>{L"Channel3_extra1"});
    auto whole = boost::make_shared<std::list<_GROUP_FILE_INFO>>(std::list<_GROUP_FILE_INFO>{
        Group(L"A", Day(1), {1}), _GROUP_FILE_INFO{L"one", 44, {}}});
    page->DeleteSelectedItem(whole);
    EXPECT_EQ(TopTexts(), (std::vector<std::wstring>{L"B", L"one", L"Two"}));
    EXPECT_EQ(tree->GetItemData(Find(L"one")), 41u);
}

TEST_F(PageTest, CheckAndHighlightFollowTheUILogic)
{
    Fill({Group(L"G", Day(0), {1, 2}), Group(L"G", Day(1), {1})});
    AddSingles({{7, L"/r/file.kvx"}});
    void* group = Find(L"G");
    void* day0 = Find(DateText(0), group);
    void* day1 = Find(DateText(1), group);
    void* ch1 = Find(L"Channel1_main", day0);

    page->SetTreeItemCheck(L"G", Day(0), 1, 1, 1);
    EXPECT_EQ(tree->GetCheck(ch1), 1);
    EXPECT_EQ(tree->GetCheck(day0), 0);  // not all its channels
    page->SetTreeItemCheck(L"G", Day(0), 2, 1, 1);
    EXPECT_EQ(tree->GetCheck(day0), 1);
    EXPECT_EQ(tree->GetCheck(group), 0);  // not all its dates
    page->SetTreeItemCheck(L"G", Day(1), 0, 0, 1);
    EXPECT_EQ(tree->GetCheck(Find(L"Channel1_main", day1)), 1);
    EXPECT_EQ(tree->GetCheck(group), 1);

    page->SetTreeItemHilight(L"G", Day(0), 1, 1, 1);
    EXPECT_TRUE(tree->IsItemHilight(ch1) && tree->IsItemHilight(day0) && tree->IsItemHilight(group));
    page->SetTreeItemHilight(L"G", Day(0), 1, 1, 0);
    EXPECT_FALSE(tree->IsItemHilight(ch1));
    EXPECT_TRUE(tree->IsItemHilight(day0));
    page->SetTreeItemCheck(L"G", Day(0), 1, 1, 0);
    EXPECT_EQ(tree->GetCheck(ch1), 0);
    EXPECT_EQ(tree->GetCheck(day0), 0);
    EXPECT_EQ(tree->GetCheck(group), 0);
    EXPECT_TRUE(tree->IsItemHilight(day0));  // channel 2 is still checked
    page->SetTreeItemCheck(L"G", Day(0), 2, 1, 0);
    EXPECT_FALSE(tree->IsItemHilight(day0));
    page->SetTreeItemHilight(L"G", Day(1), 0, 0, 1);
    EXPECT_TRUE(tree->IsItemHilight(Find(L"Channel1_main", day1)));
    page->SetTreeItemHilight(L"G", Day(1), 0, 0, 0);
    EXPECT_FALSE(tree->IsItemHilight(day1));
    page->SetTreeItemCheck(L"", 7, -1, 2, 1);
    page->SetTreeItemHilight(L"", 7, -1, 2, 1);
    EXPECT_EQ(tree->GetCheck(Find(L"file")), 1);
    EXPECT_TRUE(tree->IsItemHilight(Find(L"file")));

    page->SetTreeCheckable(0);
    EXPECT_EQ(page->AreControlsEnabled(), 0);
    page->SetTreeCheckable(1);
    EXPECT_EQ(page->AreControlsEnabled(), 1);
}

TEST_F(PageTest, ItemsWithNothingToOpenDoNotStayChecked)
{
    // No file list taken over yet: nothing is known about any item.
    Fill({Group(L"G", Day(0), {1})});
    AddSingles({{7, L"/r/file.kvx"}});
    void* day = Find(DateText(0), Find(L"G"));
    for (void* item : {Find(L"Channel1_main", day), day, Find(L"file")}) {
        tree->SetCheck(item, 1);
        page->OnItemCheckStateChanged(item, 1);
        EXPECT_EQ(tree->GetCheck(item), 0);
        EXPECT_EQ(page->AreControlsEnabled(), 1);
    }
}

TEST_F(PageTest, LayoutAndFormatControls)
{
    page->GetView()->MoveWindow(0, 0, 1200, 800);
    page->OnSize(0, 1200, 800);
    EXPECT_EQ(Edges(Widget(tree)), (std::array<int, 4>{815, 50, 1155, 450}));
    EXPECT_EQ(Edges(Widget(page->GetTimeLine()->GetView())), (std::array<int, 4>{0, 700, 1200, 800}));
    auto player = page->GetSimplePlayerView();
    const QRect view = Widget(player->GetView())->geometry();
    player->OnSize(0, view.width(), view.height());
    const int x0 = (view.width() - 281) / 2;
    EXPECT_EQ(Edges(Widget(player->GetPlayButton()))[0], x0);
    EXPECT_EQ(Edges(Widget(player->GetSpeedSlider()))[2], x0 + 281);

    EXPECT_EQ(page->GetFormatCombo()->GetCurSel(), 0);
    EXPECT_EQ(dynamic_cast<QComboBox*>(page->GetFormatCombo())->currentText(), "JPG");
    EXPECT_EQ(page->GetSpinner(0)->GetCurrentNum(), 0);
    EXPECT_EQ(page->GetSpinner(1)->GetCurrentNum(), 0);
    EXPECT_EQ(page->GetSpinner(2)->GetCurrentNum(), 6);
    for (int index : {2, 3, 0, 1}) {
        page->SelectChanged(CExportViewEventImp::kFormatComboId, index);
        for (int spinner = 0; spinner < 3; ++spinner)
            EXPECT_EQ(Widget(page->GetSpinner(spinner))->isEnabled(), index < 2) << index;
    }
}

TEST_F(PageTest, RunControlsCheckTheSpanAndTheFolderAndShowTheResult)
{
    // An end one second before the start is refused; equal times pass.
    SetPickers(kT0, kT0 - 1);
    page->OnExportButton(1);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0], std::make_pair(std::wstring(L"Wrong time,please reset!"), std::wstring()));
    EXPECT_EQ(folderAsks, 0);
    SetPickers(kT0, kT0);
    page->OnExportButton(1);  // cancelled folder: nothing
    EXPECT_EQ(folderAsks, 1);
    EXPECT_EQ(prompt.shown.size(), 1u);

    // 201 characters are refused, 200 taken (nothing is open: code 0).
    folder = L"/" + std::wstring(200, L'f');
    page->OnExportButton(1);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1],
              std::make_pair(std::wstring(L"The path is too long. Please select again!"), std::wstring(L"Prompt")));
    folder.pop_back();
    page->OnExportButton(1);
    ProcessMessages();
    ASSERT_EQ(prompt.shown.size(), 3u);
    EXPECT_EQ(prompt.shown[2], std::make_pair(std::wstring(L"No export file!"), std::wstring(L"Prompt")));

    // The result message: four texts, nothing for 4.
    prompt.shown.clear();
    for (WPARAM code = 0; code <= 4; ++code)
        page->OnExportResultMsg(code, CExportViewEventImp::kExportResultMessage);
    const std::vector<std::wstring> texts = {L"No export file!", L"Export the end!", L"Export failed!",
                                             L"File is too large, export failed!"};
    ASSERT_EQ(prompt.shown.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(prompt.shown[i], std::make_pair(texts[i], std::wstring(L"Prompt")));
    // A failure in a folder that cannot be written to says which and why.
    TempFolder scratch;
    WriteFile(scratch.File("Picture"), "a file where the folder should be");
    const std::wstring pictures = scratch.WidePath() + L"/Picture";
    page->PostExportFailed(pictures);
    ProcessMessages();
    ASSERT_EQ(prompt.shown.size(), 5u);
    EXPECT_EQ(prompt.shown[4].first,
              L"Export failed! " + pictures + L": " + SF_SOFT_BASE::Utf8ToWide(std::strerror(ENOTDIR)));

    // Caption and button state through a run.
    auto player = page->GetSimplePlayerView();
    auto caption = [&] {
        wchar_t text[64] = {};
        player->GetExportButton()->GetWindowTextW(text, 64);
        return std::wstring(text);
    };
    page->OnExportStarted();
    EXPECT_EQ(caption(), L"Stop Export");
    EXPECT_FALSE(Widget(page->GetFormatCombo())->isEnabled());
    page->DisableExportButton();
    EXPECT_FALSE(Widget(player->GetExportButton())->isEnabled());
    // The bar tells while the span is prepared, then how far the export is.
    auto bar = dynamic_cast<QProgressBar*>(player->GetProgressCtrl());
    ASSERT_TRUE(bar);
    page->SetPrepareProgress(30);
    EXPECT_TRUE(page->IsPreparingExport());
    EXPECT_EQ(bar->text(), "Preparing 30%");
    page->SetExportProgress(40);
    EXPECT_FALSE(page->IsPreparingExport());
    EXPECT_EQ(bar->text(), "40%");
    EXPECT_EQ(player->GetProgressCtrl()->GetPos(), 40);
    page->OnExportStopped();
    EXPECT_EQ(caption(), L"Begin Export");
    EXPECT_TRUE(Widget(player->GetExportButton())->isEnabled());
    EXPECT_EQ(player->GetProgressCtrl()->GetPos(), 0);

    // Steps up to 8X; 16X and faster refuse.
    for (int position : {9, 10}) {
        notes.clear();
        player->GetSpeedSlider()->SetPos(position);
        player->OnBnNextFrame();
        EXPECT_EQ(notes.size(), position > 9 ? 1u : 0u) << position;
    }
    EXPECT_EQ(notes.back(), L"Can not step play while fast playing upon 16x speed!");
    EXPECT_STREQ(CExportSimplePlayerViewEventImp::SpeedLabel(13), L"1X");
    EXPECT_EQ(CExportSimplePlayerViewEventImp::SpeedOf(-1), 1.0f);
}

TEST_F(PageTest, TimeLineMarksFollowThePickersAndThePopUpStaysHidden)
{
    auto timeLine = page->GetTimeLine();
    auto* panel = dynamic_cast<CSFQTPlayProgressPanel*>(timeLine->GetPanel());
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->Model().cutMarksOn);
    page->SetCutTime(kT0, 0);
    EXPECT_TRUE(panel->Model().cutMarksOn);
    EXPECT_EQ(panel->Model().cutMarks[0], int(kT0));

    auto pickerTime = [&](int date, int time) {
        _SF_SYSTEMTIME day{};
        _SF_SYSTEMTIME clock{};
        page->GetPicker(date)->GetDate(&day);
        page->GetPicker(time)->GetTime(&clock);
        return SF_SOFT_BASE::CSFDateTime(day.wYear, day.wMonth, day.wDay, clock.wHour, clock.wMinute, clock.wSecond)
            .ToTime();
    };
    timeLine->OnPositionChanged(309, 1, -1, int(kT0 + 100), VIDEOCUT_START);
    EXPECT_EQ(pickerTime(0, 1), kT0 + 100);
    timeLine->OnPositionChanged(309, 1, -1, int(kT0 + 200), VIDEOCUT_END);
    EXPECT_EQ(pickerTime(2, 3), kT0 + 200);
    timeLine->OnPositionChanged(309, 1, -1, int(kT0 + 300), VIDEOCUT_TYPE(2));
    EXPECT_EQ(pickerTime(0, 1), kT0 + 100);
    EXPECT_EQ(pickerTime(2, 3), kT0 + 200);

    ASSERT_TRUE(timeLine->GetPopUp());
    QWidget* popUp = Widget(timeLine->GetPopUp()->GetDialog());
    ASSERT_NE(popUp, nullptr);
    EXPECT_FALSE(popUp->isVisible());
}

// Each date picker takes a date typed over it, as the time pickers take times.
TEST_F(PageTest, TheDatePickersTakeTypedDates)
{
    for (int date : {0, 2}) {
        QWidget* picker = Widget(page->GetPicker(date));
        ASSERT_NE(picker, nullptr);
        EXPECT_TRUE(picker->isEnabled()) << date;
        picker->setFocus();
        static_cast<QAbstractSpinBox*>(picker)->selectAll();
        QTest::keyClicks(picker, "2026-03-12");
        QTest::keyClick(picker, Qt::Key_Tab);
        _SF_SYSTEMTIME day{};
        page->GetPicker(date)->GetDate(&day);
        EXPECT_EQ(QDate(day.wYear, day.wMonth, day.wDay), QDate(2026, 3, 12)) << date;
    }
}

// A time typed into either time picker keeps every field when the picker is
// left with Tab, on a shown page where the focus really moves on.
TEST_F(PageTest, TheTimePickersKeepEveryFieldTypedWhenLeftWithTab)
{
    QWidget* view = Widget(page->GetView());
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view->window()));
    for (int time : {1, 3}) {
        auto* picker = static_cast<QAbstractSpinBox*>(Widget(page->GetPicker(time)));
        for (const char* typed : {"10:33:30", "10:32:47", "10:33:59", "9:00:15"}) {
            picker->setFocus();
            picker->selectAll();
            QTest::keyClicks(picker, typed);
            QTest::keyClick(picker, Qt::Key_Tab);
            EXPECT_FALSE(picker->hasFocus());
            _SF_SYSTEMTIME clock{};
            page->GetPicker(time)->GetTime(&clock);
            EXPECT_EQ(QTime(clock.wHour, clock.wMinute, clock.wSecond).toString("h:mm:ss").toStdString(), typed)
                << time;
        }
    }
}

TEST_F(PageTest, ClosingReportsOnceWhenIdleOrOnceTheFilesAreClosed)
{
    // Idle: at once.
    page->CloseAll();
    EXPECT_EQ(host->tabs, std::vector<int>{172});
    page->ResetAfterExport();  // no leave asked: nothing
    EXPECT_EQ(host->tabs, std::vector<int>{172});

    // Busy: a file open; two leave requests start one close-down.
    TempFolder files;
    const std::string recording = files.File("single.kvx");
    ASSERT_TRUE(KVX_WRITER::WriteSyntheticRecording(SmallOptions(4), recording));
    auto manager = boost::make_shared<CFileManager>(nullptr);
    ASSERT_TRUE(manager->AddSingleFile(Utf8ToWide(recording).c_str()));
    std::list<_SINGLE_FILE_INFO> singles;
    manager->GetSingleFileList(&singles, nullptr);
    page->SetFileManager(manager);
    page->AddFiles(boost::make_shared<std::list<_SINGLE_FILE_INFO>>(singles));
    void* item = Find(L"single");
    ASSERT_NE(item, nullptr);
    tree->SetCheck(item, 1);
    page->OnItemCheckStateChanged(item, 1);
    ASSERT_TRUE(ProcessUntil([&] { return !page->GetUILogic()->HasNoPlayHandle() && page->AreControlsEnabled(); }));

    host->tabs.clear();
    page->CloseAll();
    page->CloseAll();
    ASSERT_TRUE(ProcessUntil([&] { return !host->tabs.empty(); }));
    Settle(ML_PLAY);
    EXPECT_EQ(host->tabs, std::vector<int>{172});
    EXPECT_TRUE(page->GetUILogic()->HasNoPlayHandle());

    // Program exit while idle: page 3 at once, once.
    page->ProcDestroy();
    page->ResetAfterExport();
    EXPECT_EQ(host->closed, std::vector<int>{3});
}

TEST_F(PageTest, BusyTreeRefusesDoubleClicksWithTheTextOfItsState)
{
    TempFolder files;
    KVX_WRITER::SyntheticOptions options = SmallOptions(4);
    for (int channel : {1, 2})
        ASSERT_FALSE(MakeRecording(files.Path(), options, "REC", channel, 0).empty());
    auto manager = boost::make_shared<CFileManager>(nullptr);
    int noMatch = 1;
    ASSERT_TRUE(manager->LoadPath((files.WidePath() + L"/*.*").c_str(), &noMatch));
    page->SetFileManager(manager);
    Fill({Group(L"REC", Day(0), {1, 2})});
    void* date = Find(DateText(0), Find(L"REC"));
    void* ch1 = Find(L"Channel1_main", date);
    void* ch2 = Find(L"Channel2_main", date);

    // Opening: a double click on a checked channel says so; on a date or an
    // unchecked channel nothing is said.
    tree->SetCheck(ch1, 1);
    page->OnItemCheckStateChanged(ch1, 1);
    EXPECT_EQ(page->AreControlsEnabled(), 0);
    tagPOINT point{0, 0};
    page->OnItemDbClick(date, point);
    page->OnItemDbClick(ch2, point);
    EXPECT_TRUE(notes.empty());
    page->OnItemDbClick(ch1, point);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], L"This operation can't accomplish as the videos are opening now, please retry later!");
    ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
    Settle(ML_PLAY);

    // Playing: channel 2 plays, channel 1 stays open, stopped; asking it
    // to play again locks the tree until it does.
    tree->SetCheck(ch2, 1);
    page->OnItemCheckStateChanged(ch2, 1);
    ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
    Settle(ML_PLAY);
    page->GetUILogic()->PlayChannel(L"REC", Day(0), 1);
    ASSERT_EQ(page->AreControlsEnabled(), 0);
    page->OnItemDbClick(ch1, point);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1], L"This operation can't accomplish as the videos are playing now, please retry later!");
    ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
    Settle(ML_PLAY);

    // Closing.
    tree->SetCheck(ch2, 0);
    page->OnItemCheckStateChanged(ch2, 0);
    page->OnItemDbClick(ch1, point);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[2], L"This operation can't accomplish as the videos are closing now, please retry later!");
    ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
    Settle(ML_PLAY);

    // The export button is refused while busy as well, whatever it reads.
    tree->SetCheck(ch1, 0);
    page->OnItemCheckStateChanged(ch1, 0);
    page->OnExportButton(1);
    page->OnExportButton(0);
    EXPECT_EQ(folderAsks, 0);
    EXPECT_EQ(notes.back(), L"This operation can't accomplish as the videos are closing now, please retry later!");
    ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
    Settle(ML_PLAY);
}

// Two recorders whose names show alike: the shown text loses the bytes that
// are no UTF-8. Opening, marking, the checked list and deleting go by the
// recorder's own name.
TEST_F(PageTest, RecordersNamedInBytesThatAreNoUtf8OpenAndDeleteByTheirNames)
{
    TempFolder files;
    const std::string first = "Cam\xff" "01";
    const std::string second = "Cam\xfe" "01";
    for (const std::string& recorder : {first, second})
        ASSERT_FALSE(MakeRecording(files.Path(), SmallOptions(4), recorder, 1, 0).empty());
    auto manager = boost::make_shared<CFileManager>(nullptr);
    int noMatch = 1;
    ASSERT_TRUE(manager->LoadPath((files.WidePath() + L"/*.*").c_str(), &noMatch));
    page->SetFileManager(manager);
    Fill({Group(Utf8ToWide(first), Day(0), {1}), Group(Utf8ToWide(second), Day(0), {1})});
    ASSERT_EQ(TopTexts().size(), 2u);
    void* firstGroup = tree->GetChildItem(SF_TVI_ROOT);
    void* channel = tree->GetChildItem(tree->GetChildItem(tree->GetNextSiblingItem(firstGroup)));
    ASSERT_EQ(page->ChannelKeyOf(channel), 1);

    tree->SetCheck(channel, 1);
    page->OnItemCheckStateChanged(channel, 1);
    ASSERT_TRUE(ProcessUntil([&] { return page->AreControlsEnabled() == 1; }));
    Settle(ML_PLAY);
    EXPECT_EQ(tree->GetCheck(channel), 1);  // the logic found its files
    EXPECT_TRUE(tree->IsItemHilight(channel));  // and marks it by that name

    auto checked = page->GetCheckedChannelNames();
    ASSERT_EQ(checked->size(), 1u);
    EXPECT_EQ(checked->front().groupName, Utf8ToWide(second));
    page->DeleteSelectedItem(checked);
    ASSERT_EQ(TopTexts().size(), 1u);
    EXPECT_EQ(tree->GetChildItem(SF_TVI_ROOT), firstGroup);
}

TEST_F(PageTest, TheExportButtonStartsOnlyWhenItReadsBeginExport)
{
    auto player = page->GetSimplePlayerView();
    SetPickers(kT0, kT0);
    player->SetExportButtonText(L"Stop Export");
    player->OnBnExport();
    EXPECT_EQ(folderAsks, 0);  // a stop request
    player->SetExportButtonText(L"Begin Export");
    player->OnBnExport();
    EXPECT_EQ(folderAsks, 1);
}
