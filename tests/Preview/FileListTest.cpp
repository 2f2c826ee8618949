#include <QTreeWidgetItem>

#include "Base/TextCodec.h"
#include "PreviewPageFixture.h"
#include "Support/TempFolder.h"
#include "Widgets/SFRadioBox.h"

using namespace PreviewTest;

namespace {

class FileListTest : public PreviewPageTest {
public:
    CSFTreeCtrl* Tree() const { return fileList->GetTree(); }
    std::vector<void*> Items() const
    {
        std::vector<void*> items;
        for (void* item = Tree()->GetRootItem(); item; item = Tree()->GetNextSiblingItem(item))
            items.push_back(item);
        return items;
    }
    std::wstring ItemText(void* item) const
    {
        wchar_t text[521] = {};
        Tree()->GetTreeItemText(item, text, 520);
        return text;
    }
    QString ToolTip(void* item) const { return static_cast<QTreeWidgetItem*>(item)->toolTip(0); }
    void Check(void* item, int checked)
    {
        Tree()->SetCheck(item, checked);
        fileList->OnItemCheckStateChanged(item, checked);
    }
};

const std::wstring kRuleName = L"cam1_ch1_main_20240101080000_20240101090000";

TEST_F(FileListTest, ListsOnlyRecorderFiles)
{
    page->SetFiles(boost::make_shared<std::list<_SINGLE_FILE_INFO>>(std::list<_SINGLE_FILE_INFO>{
                       {7, L"C:/rec/" + kRuleName + L".kvx"}, {7, L"C:/rec/again.kvx"}, {8, L"/x/a.avi"}}),
                   boost::make_shared<std::vector<std::wstring>>(std::vector<std::wstring>{
                       L"/rec/a.KVX", L"/rec/a.kvx_", L"/rec/a.avi", L"C:\\rec\\b.kvx", L"/rec/a.KVX",
                       L"/rec/noext"}));
    const std::vector<void*> items = Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(ItemText(items[0]), kRuleName);
    EXPECT_EQ(Tree()->GetItemData(items[0]), 7u);
    EXPECT_EQ(ToolTip(items[0]), QString::fromStdWString(L"C:/rec/" + kRuleName + L".kvx"));
    EXPECT_EQ(ItemText(items[1]), L"a");
    EXPECT_EQ(ToolTip(items[1]), "/rec/a.KVX");
    EXPECT_EQ(ItemText(items[2]), L"C:\\rec\\b");
}

TEST_F(FileListTest, CurrentItemStaysCheckedAndNamesTheRecording)
{
    EXPECT_TRUE(fileList->LoadFileItems()->empty());
    // The recordings exist and preview: a file that fails is no longer current.
    libraries.autoReport = true;
    TempFolder folder;
    std::vector<std::wstring> paths;
    for (const std::wstring& name : {kRuleName + L".kvx", kRuleName + L"x.kvx", std::wstring(L"loose.kvx")}) {
        paths.push_back(SF_SOFT_BASE::Utf8ToWide(folder.File(SF_SOFT_BASE::WideToUtf8(name))));
        WriteFile(SF_SOFT_BASE::WideToUtf8(paths.back()), "abc");
    }
    page->SetFiles(boost::make_shared<std::list<_SINGLE_FILE_INFO>>(std::list<_SINGLE_FILE_INFO>{{7, paths[0]}}),
                   boost::make_shared<std::vector<std::wstring>>(std::vector<std::wstring>{paths[1], paths[2]}));
    const std::vector<void*> items = Items();
    ASSERT_EQ(items.size(), 3u);

    player->GetPlayToggle()->SetCheck(1);
    tagPOINT point{};
    fileList->OnItemDbClick(items[0], point);  // a double-click opens like a check
    EXPECT_EQ(fileList->GetCurrentItem(), items[0]);
    EXPECT_EQ(Tree()->GetCheck(items[0]), 1);
    EXPECT_EQ(player->GetPlayToggle()->GetCheck(), 0);
    EXPECT_TRUE(logic->IsLoading());
    PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); });

    Check(items[0], 0);
    EXPECT_EQ(Tree()->GetCheck(items[0]), 1);
    EXPECT_EQ(Tree()->IsItemHilight(items[0]), 1);

    auto single = fileList->LoadFileItems();
    ASSERT_EQ(single->size(), 1u);
    EXPECT_EQ(single->front().groupName, kRuleName);
    EXPECT_EQ(single->front().key, 7);
    EXPECT_TRUE(single->front().channels.empty());

    Check(items[1], 1);
    PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); });
    EXPECT_EQ(Tree()->GetCheck(items[0]), 0);
    auto byRule = fileList->LoadFileItems();
    ASSERT_EQ(byRule->size(), 1u);
    EXPECT_EQ(byRule->front().groupName, L"cam1");
    EXPECT_EQ(byRule->front().channels.size(), 1u);

    Check(items[2], 1);  // no naming rule: names nothing
    PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); });
    EXPECT_TRUE(fileList->LoadFileItems()->empty());
    fileList->ClearCurrentItem();
    EXPECT_EQ(Tree()->GetCheck(items[2]), 0);
    EXPECT_EQ(fileList->GetCurrentItem(), nullptr);
}

TEST_F(FileListTest, DeleteRemovesTheNamedItems)
{
    page->SetFiles(boost::make_shared<std::list<_SINGLE_FILE_INFO>>(
                       std::list<_SINGLE_FILE_INFO>{{7, L"/rec/single.kvx"}, {9, L"/rec/other.kvx"}}),
                   boost::make_shared<std::vector<std::wstring>>(
                       std::vector<std::wstring>{L"/rec/" + kRuleName + L".kvx", L"/rec/loose.kvx"}));
    void* ruleItem = Items()[2];
    Check(ruleItem, 1);
    auto group = fileList->LoadFileItems();
    PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); });
    fileList->ClearCurrentItem();

    _GROUP_FILE_INFO single;
    single.key = 7;
    _GROUP_FILE_INFO missing;
    missing.groupName = L"loose";
    missing.key = 0;
    missing.channels[-1] = nullptr;
    group->push_back(single);
    group->push_back(missing);
    EXPECT_EQ(fileList->DeleteFileItems(group), 1);
    std::vector<std::wstring> left;
    for (void* item : Items()) {
        wchar_t text[521] = {};
        Tree()->GetTreeItemText(item, text, 520);
        left.push_back(text);
    }
    EXPECT_EQ(left, (std::vector<std::wstring>{L"other", L"loose"}));
}

}  // namespace
