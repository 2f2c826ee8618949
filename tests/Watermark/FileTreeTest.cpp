#include "PageTestBase.h"

#include <QTreeWidget>

#include <set>

#include "Support/TempFolder.h"
#include "Watermark/Support/WatermarkFixtures.h"

namespace {

const std::int32_t kDay2 = SF_SOFT_BASE::CSFDateTime::MakeTime(2016, 1, 2, 0, 0, 0);
const std::int32_t kDay3 = SF_SOFT_BASE::CSFDateTime::MakeTime(2016, 1, 3, 0, 0, 0);

boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> Singles(std::initializer_list<_SINGLE_FILE_INFO> files)
{
    return boost::make_shared<std::list<_SINGLE_FILE_INFO>>(files);
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> Group(const std::wstring& name, std::int32_t day,
                                                      std::initializer_list<int> channels)
{
    auto groups = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    _GROUP_FILE_INFO group{name, day, {}};
    for (int key : channels)
        group.channels[key] = nullptr;
    groups->push_back(group);
    return groups;
}

class FileTree : public WatermarkPageTest {
protected:
    std::vector<std::wstring> Texts()
    {
        std::vector<std::wstring> texts;
        for (void* item : Items())
            texts.push_back(Text(item));
        return texts;
    }
    void* Find(const std::wstring& text)
    {
        for (void* item : Items())
            if (Text(item) == text)
                return item;
        return nullptr;
    }
};

}  // namespace

TEST_F(FileTree, ListsRecorderFilesOnceAndGroupsAboveThem)
{
    page->AddSingleFiles(Singles({{5, L"/r/a/c.KVX"}, {6, L"/r/a/c.avi"}, {5, L"/r/b/c.kvx"}, {7, L"/r/noext"}}));
    page->AddGroupFiles(Group(L"Cam07", kDay3, {1}));
    page->AddGroupFiles(Group(L"Cam07", kDay2, {FileIndexKeys::MakeChannelKey(2, 1), 1}));
    page->AddGroupFiles(Group(L"Cam08", kDay2, {3}));
    const std::vector<std::wstring> expected = {
        L"Cam07", L"2016-01-02", L"Channel1_main", L"Channel2_extra1", L"2016-01-03", L"Channel1_main",
        L"Cam08", L"2016-01-02", L"Channel3_main", L"c"};
    EXPECT_EQ(Texts(), expected);
    auto* tree = dynamic_cast<QTreeWidget*>(page->GetTree());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->topLevelItem(2)->toolTip(0), "c.KVX");
}

TEST_F(FileTree, CheckedEntriesCarryTheirKeys)
{
    const int extra = FileIndexKeys::MakeChannelKey(12, 3);
    page->AddGroupFiles(Group(L"Cam07", kDay2, {1, extra}));
    page->AddSingleFiles(Singles({{9, L"/r/x.kvx"}}));
    page->GetTree()->SetCheck(Find(L"Channel12_extra3"), 1);
    page->GetTree()->SetCheck(Find(L"x"), 1);
    const auto checked = page->GetCheckedFiles();
    ASSERT_EQ(checked->size(), 2u);
    EXPECT_EQ(checked->front().groupName, L"Cam07");
    EXPECT_EQ(checked->front().key, kDay2);
    ASSERT_EQ(checked->front().channels.size(), 1u);
    EXPECT_EQ(checked->front().channels.begin()->first, extra);
    EXPECT_EQ(checked->back().key, 9);
    EXPECT_TRUE(checked->back().channels.empty());
}

TEST_F(FileTree, DeletesSingleFilesByIdAndDaysByChannel)
{
    page->AddSingleFiles(Singles({{5, L"/r/a/c.kvx"}, {6, L"/r/b/c.kvx"}}));
    page->AddGroupFiles(Group(L"Cam07", kDay2, {1, 2}));
    auto items = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    items->push_back({L"c", 6, {}});
    items->push_back({L"Cam07", kDay2, {{2, nullptr}}});
    EXPECT_EQ(page->DeleteFileItems(items), 1);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Cam07", L"2016-01-02", L"Channel1_main", L"c"}));
    EXPECT_EQ(page->GetTree()->GetItemData(Find(L"c")), 5u);

    items->clear();
    items->push_back({L"c", 5, {}});
    items->push_back({L"Cam07", kDay2, {{1, nullptr}}});
    page->DeleteFileItems(items);
    EXPECT_TRUE(Texts().empty());
}

// Two recorders whose names show alike: the shown text loses the bytes that
// are no UTF-8. Checking and deleting go by the recorder's own name.
TEST_F(FileTree, RecordersNamedInBytesThatAreNoUtf8AreCheckedAndDeletedByTheirNames)
{
    TempFolder folder;
    const std::string first = "Cam\xff" "01";
    const std::string second = "Cam\xfe" "01";
    for (const std::string& recorder : {first, second})
        ASSERT_FALSE(WATERMARK_TEST::CWatermarkFixtures::RunKvxWrite(
                         "--name '" + recorder + "' --seconds 2 --size 160x120 --audio none "
                         "--start '2016-01-02 03:04:05' --channel 1 '" + folder.Path() + "'")
                         .empty());
    ASSERT_TRUE(LoadFolder(folder.Path()));
    ASSERT_EQ(Texts().size(), 6u);  // two groups of one day and channel
    CheckAll();

    ASSERT_TRUE(RunCheck());
    ASSERT_EQ(Rows(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(Cell(row, 2), L"Original") << row;

    const auto checked = page->GetCheckedFiles();
    std::set<std::wstring> groups;
    for (const _GROUP_FILE_INFO& day : *checked)
        groups.insert(day.groupName);
    EXPECT_EQ(groups, (std::set<std::wstring>{SF_SOFT_BASE::Utf8ToWide(first), SF_SOFT_BASE::Utf8ToWide(second)}));
    page->DeleteFileItems(checked);
    EXPECT_TRUE(Texts().empty());
}
