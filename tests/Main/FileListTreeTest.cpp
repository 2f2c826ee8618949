#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QTreeWidget>

#include <functional>

#include "Common/FileTreeLabels.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Support/TempFolder.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFTreeCtrl.h"
#include "FileListDoubles.h"

using FileIndexKeys::MakeChannelKey;
using SF_SOFT_BASE::CSFDateTime;

namespace {

const int kDay1 = CSFDateTime::MakeTime(2016, 1, 2, 0, 0, 0);
const int kDay2 = CSFDateTime::MakeTime(2016, 1, 5, 0, 0, 0);
const int kDay0 = CSFDateTime::MakeTime(2015, 12, 31, 0, 0, 0);

_GROUP_FILE_INFO Day(const std::wstring& group, int dayKey, std::initializer_list<int> channels)
{
    _GROUP_FILE_INFO day{group, dayKey, {}};
    for (int channel : channels)
        day.channels[channel] = nullptr;
    return day;
}

GroupFileListP Days(std::initializer_list<_GROUP_FILE_INFO> days)
{
    return boost::make_shared<std::list<_GROUP_FILE_INFO>>(days);
}

SingleFileListP Singles(std::initializer_list<_SINGLE_FILE_INFO> singles)
{
    return boost::make_shared<std::list<_SINGLE_FILE_INFO>>(singles);
}

std::string Utf8(const std::wstring& text)
{
    return SF_SOFT_BASE::WideToUtf8(text);
}

QImage IconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

class FileListTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Skin/"));
        page->fileList = CFileListEventImp::Create(page);
        tree = page->fileList->GetTreeCtrl();
        ASSERT_NE(tree, nullptr);
        widget = dynamic_cast<QTreeWidget*>(tree);
        ASSERT_NE(widget, nullptr);
    }

    CFileListEventImp& List() { return *page->fileList; }

    // One line per item: indentation by level, text, item data, check (x)
    // and highlight (*) marks.
    std::vector<std::string> Dump()
    {
        std::vector<std::string> lines;
        std::function<void(void*, int)> walk = [&](void* item, int level) {
            for (; item; item = tree->GetNextSiblingItem(item)) {
                wchar_t text[600] = {};
                tree->GetTreeItemText(item, text, 600);
                std::string line(level * 2, ' ');
                line += Utf8(text) + "|" + std::to_string(tree->GetItemData(item));
                line += tree->GetCheck(item) ? "|x" : "|-";
                if (tree->IsItemHilight(item))
                    line += "*";
                lines.push_back(line);
                walk(tree->GetChildItem(item), level + 1);
            }
        };
        walk(tree->GetRootItem(), 0);
        return lines;
    }

    bool HasIcon(void* item, const char* name)
    {
        const QString path = SFQTSkinFilePath(SF_SOFT_BASE::Utf8ToWide(name).c_str());
        const QImage wanted = IconImage(QIcon(path));
        return !wanted.isNull() && IconImage(static_cast<QTreeWidgetItem*>(item)->icon(0)) == wanted;
    }

    boost::shared_ptr<FakeMainPage> page = boost::make_shared<FakeMainPage>();
    CSFTreeCtrl* tree = nullptr;
    QTreeWidget* widget = nullptr;
};

const int kMain1 = MakeChannelKey(1, 0);
const int kMain2 = MakeChannelKey(2, 0);
const int kMain3 = MakeChannelKey(3, 0);
const int kExtra1 = MakeChannelKey(1, 1);

std::string Key(int key) { return std::to_string(static_cast<unsigned>(key)); }

TEST_F(FileListTreeTest, ListsGroupsDaysChannelsThenSingleFilesInTheirOrder)
{
    List().AddGroupFiles(Days({Day(L"Cam02", kDay2, {kMain1, kMain2, kExtra1}), Day(L"Cam01", kDay1, {kMain3})}));
    // A single file named like a recorder, hostile names, and one already listed.
    List().AddSingleFiles(Singles({{11, L"/rec/Cam01.avi"},
                                   {12, L"/rec/odd name %s%n.kvx_"},
                                   {13, L"/rec/bad\xDCFF.mp4"},
                                   {14, L"/rec/noextension"}}));
    List().AddSingleFiles(Singles({{11, L"/rec/Cam01.avi"}}));
    // A new group, an earlier day, a further channel of a known day, and a
    // group named like the single file.
    List().AddGroupFiles(Days({Day(L"Cam00", kDay1, {kMain1}), Day(L"Cam02", kDay0, {kMain2}),
                               Day(L"Cam02", kDay2, {kMain3, kMain1}), Day(L"Cam01.avi", kDay1, {kMain1})}));

    const std::string ch = Utf8(GetLangString(L"Channel"));
    const std::string main = "_" + Utf8(GetLangString(L"main"));
    const std::string extra = "_" + Utf8(GetLangString(L"extra"));
    const std::vector<std::string> expected = {
        "Cam02|0|x",
        "  2015-12-31|" + Key(kDay0) + "|x",
        "    " + ch + "2" + main + "|" + Key(kMain2) + "|x",
        "  2016-01-05|" + Key(kDay2) + "|x",
        "    " + ch + "1" + main + "|" + Key(kMain1) + "|x",
        "    " + ch + "2" + main + "|" + Key(kMain2) + "|x",
        "    " + ch + "1" + extra + "1|" + Key(kExtra1) + "|x",
        "    " + ch + "3" + main + "|" + Key(kMain3) + "|x",
        "Cam01|0|x",
        "  2016-01-02|" + Key(kDay1) + "|x",
        "    " + ch + "3" + main + "|" + Key(kMain3) + "|x",
        "Cam00|0|x",
        "  2016-01-02|" + Key(kDay1) + "|x",
        "    " + ch + "1" + main + "|" + Key(kMain1) + "|x",
        "Cam01.avi|0|x",
        "  2016-01-02|" + Key(kDay1) + "|x",
        "    " + ch + "1" + main + "|" + Key(kMain1) + "|x",
        "Cam01|11|-",
        "odd name %s%n|12|-",
        "bad\xEF\xBF\xBD|13|-",  // shown with a replacement mark
        "noextension|14|-",
    };
    EXPECT_EQ(Dump(), expected);

    QTreeWidgetItem* first = widget->topLevelItem(0);
    EXPECT_TRUE(first->isExpanded() && first->child(1)->isExpanded());
    EXPECT_TRUE(HasIcon(first, "group.png"));
    EXPECT_TRUE(HasIcon(first->child(0), "date.png"));
    EXPECT_TRUE(HasIcon(first->child(1)->child(0), "main.png"));
    EXPECT_TRUE(HasIcon(first->child(1)->child(2), "extra.png"));
    const char* singleIcons[] = {"avi.png", "kvx.png", "mp4.png", "kvx.png"};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(HasIcon(widget->topLevelItem(4 + i), singleIcons[i])) << i;
    EXPECT_EQ(widget->topLevelItem(5)->toolTip(0).toStdString(), "odd name %s%n.kvx_");
}

TEST_F(FileListTreeTest, DeletesHighlightsAndSelectsByKeys)
{
    List().AddGroupFiles(Days({Day(L"Cam01", kDay1, {kMain1, kMain2}), Day(L"Cam01", kDay2, {kMain1}),
                               Day(L"Cam02", kDay1, {kMain1, kExtra1})}));
    List().AddSingleFiles(Singles({{21, L"/rec/Cam02.kvx"}}));

    // Two channels of a day play; clearing one keeps the day and group marked.
    auto playing = Days({Day(L"Cam01", kDay1, {kMain1, kMain2})});
    List().SetFilesHilight(playing, 1);
    auto stopped = Days({Day(L"Cam01", kDay1, {kMain1})});
    List().SetFilesHilight(stopped, 0);
    void* cam01 = tree->GetRootItem();
    EXPECT_TRUE(tree->IsItemHilight(cam01) && tree->IsItemHilight(tree->GetChildItem(cam01)));
    auto second = Days({Day(L"Cam01", kDay1, {kMain2})});
    List().SetFilesHilight(second, 0);
    EXPECT_FALSE(tree->IsItemHilight(cam01) || tree->IsItemHilight(tree->GetChildItem(cam01)));

    // The single file named like a group is marked by its id only.
    auto single = Days({{L"Cam02", 21, {}}});
    List().SetFilesHilight(single, 1);
    auto highlighted = List().GetHilightFileList();
    ASSERT_EQ(highlighted->size(), 1u);
    EXPECT_EQ(highlighted->front().key, 21);
    EXPECT_TRUE(highlighted->front().channels.empty());

    // Unchecking a channel leaves it out of the selection.
    void* cam02Extra = widget->topLevelItem(1)->child(0)->child(1);
    tree->SetCheck(cam02Extra, 0);
    auto checked = List().GetCheckedFileList();
    std::vector<std::string> selection;
    for (const auto& item : *checked) {
        std::string line = Utf8(item.groupName) + "/" + std::to_string(item.key);
        for (const auto& [key, handle] : item.channels)
            line.append("/").append(Key(key)).append(handle ? "" : "!");
        selection.push_back(line);
    }
    EXPECT_EQ(selection, (std::vector<std::string>{"Cam01/" + std::to_string(kDay1) + "/1/2",
                                                   "Cam01/" + std::to_string(kDay2) + "/1",
                                                   "Cam02/" + std::to_string(kDay1) + "/1"}));

    // Some channels of a day go, the day stays; its last one takes the day,
    // and the last day its group. Unknown entries are skipped.
    auto some = Days({Day(L"Cam02", kDay1, {kExtra1}), Day(L"Nobody", kDay1, {kMain1}), {L"", 99, {}}});
    List().DeleteFileItems(some);
    auto rest = Days({Day(L"Cam02", kDay1, {kMain1}), Day(L"Cam01", kDay2, {kMain1}), {L"Cam02", 21, {}}});
    List().DeleteFileItems(rest);
    const std::vector<std::string> left = {"Cam01|0|x", "  2016-01-02|" + Key(kDay1) + "|x",
                                           "    " + Utf8(ChannelLabel(kMain1)) + "|1|x",
                                           "    " + Utf8(ChannelLabel(kMain2)) + "|2|x"};
    EXPECT_EQ(Dump(), left);
}

TEST_F(FileListTreeTest, KeepsOnlyWhatTheIndexStillHolds)
{
    List().AddGroupFiles(Days({Day(L"Cam01", kDay1, {kMain1, kMain2}), Day(L"Cam01", kDay2, {kMain1}),
                               Day(L"Cam02", kDay1, {kMain1})}));
    List().AddSingleFiles(Singles({{31, L"/rec/a.avi"}, {32, L"/rec/b.avi"}}));
    List().RemoveItemsNotIn({Day(L"Cam01", kDay1, {kMain2})}, {{32, L"/rec/b.avi"}});
    const std::vector<std::string> left = {"Cam01|0|x", "  2016-01-02|" + Key(kDay1) + "|x",
                                           "    " + Utf8(ChannelLabel(kMain2)) + "|2|x", "b|32|-"};
    EXPECT_EQ(Dump(), left);
}

TEST_F(FileListTreeTest, RadioFoldsThePanelAndSpaceReachesTheMainFrame)
{
    List().RADIO_OnClicked(0, CFileListEventImp::kRadioId, tagPOINT{});
    List().RADIO_OnClicked(1, CFileListEventImp::kRadioId, tagPOINT{});
    EXPECT_EQ(page->shown, (std::vector<int>{0, 1}));
    List().OnDlgKeyDown(17, 32);
    List().OnDlgKeyDown(0, 37);
    EXPECT_EQ(page->keys, (std::vector<std::pair<UINT, UINT>>{{17, 32}}));
    List().OnSize(0, 200, 400);
    EXPECT_EQ(widget->geometry(), QRect(0, 0, 184, 400));
}

// Short names show whole beside their check box and icon, in the program's
// look: each item looks the same as in a column far wider than it needs.
TEST_F(FileListTreeTest, ShortFileNamesShowWhole)
{
    QFile styleSheet(QString::fromStdString(std::string(LUMIVEX_SOURCE_DIR) + "/resources/Lumivex_Style.css"));
    ASSERT_TRUE(styleSheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
    List().AddSingleFiles(Singles({{1, L"/videos/ab.mp4"}, {2, L"/videos/clip.mp4"}}));
    List().OnSize(0, 300, 200);
    widget->show();
    const QRect items = widget->visualItemRect(widget->topLevelItem(0)).united(
        widget->visualItemRect(widget->topLevelItem(1)));
    const QImage shown = widget->viewport()->grab(items).toImage();
    widget->header()->setSectionResizeMode(QHeaderView::Fixed);
    widget->setColumnWidth(0, 280);
    EXPECT_EQ(shown, widget->viewport()->grab(items).toImage());
    qApp->setStyleSheet(QString());
}

}  // namespace
