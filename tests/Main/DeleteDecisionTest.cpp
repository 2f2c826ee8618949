#include <gtest/gtest.h>

#include <memory>

#include "Main/DeleteDecision.h"

namespace {

// A group day with the given channels, or a single file (no channels).
_GROUP_FILE_INFO Item(const wchar_t* group, int key, std::initializer_list<int> channels = {})
{
    _GROUP_FILE_INFO info;
    info.groupName = group;
    info.key = key;
    for (int channel : channels)
        info.channels[channel] = nullptr;
    return info;
}

GroupFileListPtr List(std::initializer_list<_GROUP_FILE_INFO> items)
{
    return std::make_shared<GroupFileList>(items);
}

DeleteUsage Checked()
{
    DeleteUsage usage;
    usage.checked = List({Item(L"A", 10, {1, 2}), Item(L"file.mp4", 7)});
    return usage;
}

}  // namespace

TEST(DeleteDecision, WhoUsesTheCheckedItems)
{
    struct Case {
        const char* name;
        void (*fill)(DeleteUsage&);
        bool inUse;
    };
    const Case cases[] = {
        {"nobody", [](DeleteUsage&) {}, false},
        {"main page plays", [](DeleteUsage& u) { u.playing = List({Item(L"A", 10, {2})}); }, true},
        {"watermark checked, idle", [](DeleteUsage& u) { u.watermark = List({Item(L"file.mp4", 7)}); }, false},
        {"watermark checking",
         [](DeleteUsage& u) {
             u.watermark = List({Item(L"file.mp4", 7)});
             u.watermarkChecking = 1;
         },
         true},
        {"export checked, idle", [](DeleteUsage& u) { u.exportChecked = List({Item(L"A", 10, {1})}); }, false},
        {"export exporting",
         [](DeleteUsage& u) {
             u.exportChecked = List({Item(L"A", 10, {1})});
             u.exporting = 1;
         },
         true},
        {"export player", [](DeleteUsage& u) { u.exportPlaying = List({Item(L"A", 10, {1})}); }, true},
        {"preview", [](DeleteUsage& u) { u.preview = List({Item(L"file.mp4", 7)}); }, true},
        {"other channel plays", [](DeleteUsage& u) { u.playing = List({Item(L"A", 10, {3})}); }, false},
    };
    for (const Case& c : cases) {
        DeleteUsage usage = Checked();
        c.fill(usage);
        EXPECT_EQ(IsDeleteSetInUse(usage), c.inUse) << c.name;
    }
}

TEST(DeleteDecision, ConfirmStopsTheExportPlayerToo)
{
    DeleteUsage usage = Checked();
    usage.exportPlaying = List({Item(L"A", 10, {1})});
    usage.playing = List({Item(L"file.mp4", 7)});
    const DeleteStops stops = FindUsesToStop(usage);
    EXPECT_TRUE(stops.closeMainWindows);
    EXPECT_TRUE(stops.closeExport);
    EXPECT_FALSE(stops.stopWatermark);
    EXPECT_FALSE(stops.stopPreview);
}

TEST(DeleteDecision, DeclineKeepsEveryUsedItem)
{
    DeleteUsage usage = Checked();
    usage.playing = List({Item(L"A", 10, {2})});
    usage.watermark = List({Item(L"file.mp4", 7)});  // kept even while no check runs
    const GroupFileListPtr set = MakeFreeDeleteSet(usage);
    ASSERT_EQ(set->size(), 1u);
    EXPECT_EQ(set->front().groupName, L"A");
    ASSERT_EQ(set->front().channels.size(), 1u);
    EXPECT_EQ(set->front().channels.begin()->first, 1);
}
