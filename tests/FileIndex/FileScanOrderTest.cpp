#include <gtest/gtest.h>

#include <list>
#include <random>
#include <string>
#include <vector>

#include "Base/TextCodec.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/FileManagerListener.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/SFFileFind.h"
#include "RecordingNames.h"
#include "Support/TempFolder.h"

using SF_SOFT_BASE::CSFDateTime;

namespace {

class NullListener : public IFileManagerListener {
public:
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, CSFDateTime*, std::vector<int>*) override {}
};

std::vector<std::wstring> IndexedPaths(CFileManager& manager)
{
    std::list<_GROUP_FILE_INFO> groups;
    std::vector<std::wstring> paths;
    manager.GetGroupFileList(&groups, &paths);
    return paths;
}

}  // namespace

// A folder scan inserts what it met sorted; the index is the one adding each
// recording in the folder's order gives, also where two share a start (the
// last met stays) and where starts come in no order.
TEST(FileScanOrder, ScanIndexesAsAddingEachRecordingInFolderOrder)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    std::mt19937 random(19);
    std::uniform_int_distribution<int> minute(0, 24 * 60 - 1);
    const char* groups[] = {"Gate", "Yard", "Dock"};
    for (int i = 0; i < 600; ++i) {
        CSFDateTime start;
        start.FromTime(CSFDateTime(2016, 1, 2, 0, 0, 0).ToTime() + std::uint32_t(minute(random)) * 60);
        ASSERT_TRUE(folder.Touch(RecordingName(groups[i % 3], 1 + i % 4, i % 2, start, 60 + i % 7 * 60)));
    }

    NullListener listener;
    CFileManager scanned(&listener);
    int noMatch = 1;
    scanned.LoadPath(folder.Pattern().c_str(), &noMatch);
    EXPECT_EQ(noMatch, 0);

    CFileManager added(&listener);
    CSFFileFind find;
    CNamingRuleParser parser;
    ASSERT_TRUE(find.FindFile(folder.Pattern().c_str()));
    do {
        if (!find.IsDots() && parser.Parse(find.GetFileTitle()))
            added.AddRecording(&parser, find.GetFilePath());
    } while (find.FindNextFile());
    added.SortIndex();

    const auto paths = IndexedPaths(scanned);
    EXPECT_GT(paths.size(), 500u);
    EXPECT_LT(paths.size(), 600u);  // some starts were met twice
    EXPECT_EQ(paths, IndexedPaths(added));
    for (const auto& [name, group] : scanned.GetFileIndex()->groups)
        for (const auto& [dayKey, day] : group->days)
            for (const auto& [channelKey, channel] : *day) {
                EXPECT_EQ(channel->files.size(), channel->startTimes.size());
                EXPECT_TRUE(std::is_sorted(channel->startTimes.begin(), channel->startTimes.end()));
            }
}
