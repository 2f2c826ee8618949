#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "Base/SFAutoMutexLock.h"
#include "Base/TextCodec.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/FileManagerListener.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/NaturalOrder.h"
#include "RecordingNames.h"
#include "Support/Fifo.h"
#include "Support/TempFolder.h"

using SF_SOFT_BASE::CSFDateTime;
using SF_SOFT_BASE::Utf8ToWide;
using FileIndexKeys::MakeChannelKey;

namespace {

// Records what the manager publishes.
class RecordingListener : public IFileManagerListener {
public:
    void OnSingleFile(int fileId, CFileInfo* record) override
    {
        singles.emplace_back(fileId, record->GetPathString());
    }
    void OnGroupDay(const wchar_t* groupName, int dayKey, CSFDateTime* date,
                    std::vector<int>* channelKeys) override
    {
        days.push_back({groupName, dayKey, *date, *channelKeys});
    }
    struct Day {
        std::wstring group;
        int dayKey;
        CSFDateTime date;
        std::vector<int> channelKeys;
    };
    std::vector<Day> days;
    std::vector<std::pair<int, std::wstring>> singles;
};

const CSFDateTime kDay1Morning(2016, 1, 2, 8, 0, 0);
const CSFDateTime kDay1Noon(2016, 1, 2, 12, 0, 0);
const CSFDateTime kDay2Morning(2016, 1, 3, 8, 0, 0);
const int kDay1 = CSFDateTime::MakeTime(2016, 1, 2, 0, 0, 0);
const int kDay2 = CSFDateTime::MakeTime(2016, 1, 3, 0, 0, 0);
const int kCh1 = MakeChannelKey(1, 0);
const int kCh2 = MakeChannelKey(2, 0);
const int kCh1Extra1 = MakeChannelKey(1, 1);

// A folder of several recorders, days, channels and streams, plus files
// that are no recordings and sub-folders that are not entered.
class RecordingFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        Add(RecordingName("Cam01", 2, 0, kDay1Noon, 600));
        Add(RecordingName("Cam01", 1, 0, kDay1Noon, 600));
        Add(RecordingName("Cam01", 1, -1, kDay1Morning, 600));  // no stream part: main
        Add(RecordingName("Cam01", 1, 1, kDay1Morning, 600));
        Add(RecordingName("Cam01", 1, 0, kDay2Morning, 60, ".avi"));
        Add(RecordingName("Alpha", 7, 0, kDay2Morning, 60, ".MP4"));
        Add(RecordingName("Überwachung", 3, 2, kDay1Morning, 60, ".ts"));
        Add("clip.avi");                                                          // single file
        Add("Cam01_ch0_20160102080000_20160102081000.kvx");                      // channel 0: single
        Add("Cam01_ch1_20160102080000_20160102080000.kvx");                      // no length: single
        Add("notes.txt");                                                         // unsupported
        Add(RecordingName("Cam01", 9, 0, kDay1Morning, 60, ".jpg"));           // unsupported
        Add("." + RecordingName("Cam01", 5, 0, kDay1Morning, 60));             // hidden
        ASSERT_TRUE(folder.MakeFolder("2016-01-04"));
        ASSERT_TRUE(folder.Touch("2016-01-04/" + RecordingName("Cam01", 4, 0, CSFDateTime(2016, 1, 4, 1, 0, 0), 60)));
        ASSERT_TRUE(folder.MakeFolder("other"));
        ASSERT_TRUE(folder.Touch("other/" + RecordingName("Cam01", 6, 0, kDay1Morning, 60)));
        ASSERT_TRUE(folder.MakeFolder("clip2.avi"));  // a folder with a record extension
    }

    void Add(const std::string& name) { ASSERT_TRUE(folder.Touch(name)) << name; }
    std::wstring PathOf(const std::string& name) const { return folder.WidePath() + L"/" + Utf8ToWide(name); }

    TempFolder folder;
    std::list<std::wstring> formats{L".kvx", L".kvx_", L".avi", L".mp4", L".ps", L".ts"};
};

std::list<_GROUP_FILE_INFO> GroupList(CFileManager& manager, std::vector<std::wstring>* paths = nullptr)
{
    std::list<_GROUP_FILE_INFO> groups;
    std::vector<std::wstring> ignored;
    manager.GetGroupFileList(&groups, paths ? paths : &ignored);
    return groups;
}

std::vector<std::tuple<std::wstring, int, std::vector<int>>> Describe(const std::list<_GROUP_FILE_INFO>& groups)
{
    std::vector<std::tuple<std::wstring, int, std::vector<int>>> result;
    for (const _GROUP_FILE_INFO& item : groups) {
        std::vector<int> keys;
        for (const auto& [key, handle] : item.channels) {
            EXPECT_EQ(handle, nullptr);
            keys.push_back(key);
        }
        result.emplace_back(item.groupName, item.key, keys);
    }
    return result;
}

std::list<_SINGLE_FILE_INFO> SingleList(CFileManager& manager)
{
    std::list<_SINGLE_FILE_INFO> singles;
    manager.GetSingleFileList(&singles, nullptr);
    return singles;
}

}  // namespace

TEST_F(RecordingFolder, IndexesGroupsDaysChannelsAndStartTimes)
{
    RecordingListener listener;
    CFileManager manager(&listener, &formats);
    int noMatch = -1;
    ASSERT_TRUE(manager.LoadPath(folder.Pattern().c_str(), &noMatch));
    EXPECT_EQ(noMatch, 0);

    std::vector<std::wstring> paths;
    const auto groups = Describe(GroupList(manager, &paths));
    const decltype(groups) expected{
        {L"Alpha", kDay2, {MakeChannelKey(7, 0)}},
        {L"Cam01", kDay1, {kCh1, kCh2, kCh1Extra1}},
        {L"Cam01", kDay2, {kCh1}},
        {L"Überwachung", kDay1, {MakeChannelKey(3, 2)}},
    };
    EXPECT_EQ(groups, expected);

    const std::vector<std::wstring> expectedPaths{
        PathOf(RecordingName("Alpha", 7, 0, kDay2Morning, 60, ".MP4")),
        PathOf(RecordingName("Cam01", 1, -1, kDay1Morning, 600)),
        PathOf(RecordingName("Cam01", 1, 0, kDay1Noon, 600)),
        PathOf(RecordingName("Cam01", 2, 0, kDay1Noon, 600)),
        PathOf(RecordingName("Cam01", 1, 1, kDay1Morning, 600)),
        PathOf(RecordingName("Cam01", 1, 0, kDay2Morning, 60, ".avi")),
        PathOf(RecordingName("Überwachung", 3, 2, kDay1Morning, 60, ".ts")),
    };
    EXPECT_EQ(paths, expectedPaths);

    std::set<std::wstring> singlePaths;
    int lastId = 0;
    for (const _SINGLE_FILE_INFO& single : SingleList(manager)) {
        EXPECT_GT(single.fileId, lastId);
        lastId = single.fileId;
        singlePaths.insert(single.path);
    }
    EXPECT_EQ(singlePaths, (std::set<std::wstring>{PathOf("clip.avi"),
                                                   PathOf("Cam01_ch0_20160102080000_20160102081000.kvx"),
                                                   PathOf("Cam01_ch1_20160102080000_20160102080000.kvx")}));

    // The channel index keeps records by start time with their times.
    SF_SOFT_BASE::CSFAutoMutexLock lock(manager.GetLock());
    _CHANNEL_MAP* day = manager.FindChannelMap(L"Cam01", kDay1);
    ASSERT_NE(day, nullptr);
    const _CHANNEL_INDEX& channel1 = *day->at(kCh1);
    EXPECT_EQ(channel1.startTimes, (std::list<int>{static_cast<int>(kDay1Morning.ToTime()),
                                                   static_cast<int>(kDay1Noon.ToTime())}));
    const CFileInfo& noon = *channel1.files.at(static_cast<int>(kDay1Noon.ToTime()));
    EXPECT_EQ(*noon.GetStartTime(), kDay1Noon);
    EXPECT_EQ(*noon.GetEndTime(), CSFDateTime(2016, 1, 2, 12, 10, 0));
    EXPECT_EQ(manager.FindChannelMap(L"Cam01", kDay1 + 1), nullptr);
    EXPECT_EQ(manager.FindChannelMap(L"Nobody", kDay1), nullptr);
    EXPECT_EQ(manager.FindChannelMap(nullptr, kDay1), nullptr);
}

TEST_F(RecordingFolder, PublishesDaysByChannelNumberThenSingleFiles)
{
    RecordingListener listener;
    CFileManager manager(&listener, &formats);
    int noMatch = 1;
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);

    ASSERT_EQ(listener.days.size(), 4u);
    EXPECT_EQ(listener.days[1].group, L"Cam01");
    EXPECT_EQ(listener.days[1].dayKey, kDay1);
    EXPECT_EQ(listener.days[1].date, CSFDateTime(2016, 1, 2, 0, 0, 0));
    EXPECT_EQ(listener.days[1].channelKeys, (std::vector<int>{kCh1, kCh1Extra1, kCh2}));
    ASSERT_EQ(listener.singles.size(), 3u);
    EXPECT_LT(listener.singles[0].first, listener.singles[1].first);
    EXPECT_LT(listener.singles[1].first, listener.singles[2].first);

    // Without a listener nothing is published or listed.
    CFileManager silent(nullptr, &formats);
    silent.LoadPath(folder.Pattern().c_str(), &noMatch);
    std::list<_GROUP_FILE_INFO> groups;
    EXPECT_FALSE(silent.GetGroupFileList(&groups, nullptr));
    EXPECT_EQ(SingleList(silent).size(), 3u);
}

TEST_F(RecordingFolder, LoadingTwiceAddsNothing)
{
    RecordingListener listener;
    CFileManager manager(&listener, &formats);
    int noMatch = 1;
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    std::vector<std::wstring> firstPaths, secondPaths;
    const auto first = Describe(GroupList(manager, &firstPaths));
    const auto firstSingles = SingleList(manager);
    const int nextId = FileIndexKeys::PeekNextFileId();

    manager.LoadPath(folder.WidePath().append(L"/*.*").c_str(), &noMatch);
    EXPECT_EQ(Describe(GroupList(manager, &secondPaths)), first);
    EXPECT_EQ(secondPaths, firstPaths);
    const auto secondSingles = SingleList(manager);
    ASSERT_EQ(secondSingles.size(), firstSingles.size());
    EXPECT_TRUE(std::equal(firstSingles.begin(), firstSingles.end(), secondSingles.begin(),
                           [](const _SINGLE_FILE_INFO& a, const _SINGLE_FILE_INFO& b) {
                               return a.fileId == b.fileId && a.path == b.path;
                           }));
    EXPECT_EQ(FileIndexKeys::PeekNextFileId(), nextId);
}

TEST_F(RecordingFolder, LoadingAgainDropsWhatWentFromThatFolderOnly)
{
    RecordingListener listener;
    CFileManager manager(&listener, &formats);
    int noMatch = 1;
    const std::wstring sub = folder.WidePath() + L"/other/*.*";
    manager.LoadPath(sub.c_str(), &noMatch);
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    const std::size_t days = GroupList(manager).size();
    const std::size_t singles = SingleList(manager).size();

    // Unreadable: nothing is dropped.
    const std::string moved = folder.Path() + "-moved";
    ASSERT_EQ(std::rename(folder.Path().c_str(), moved.c_str()), 0);
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    EXPECT_EQ(GroupList(manager).size(), days);
    ASSERT_EQ(std::rename(moved.c_str(), folder.Path().c_str()), 0);

    ASSERT_EQ(std::remove(folder.File(RecordingName("Alpha", 7, 0, kDay2Morning, 60, ".MP4")).c_str()), 0);
    ASSERT_EQ(std::remove(folder.File("clip.avi").c_str()), 0);
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    EXPECT_EQ(GroupList(manager).size(), days - 1);  // Alpha's only day
    EXPECT_EQ(SingleList(manager).size(), singles - 1);
    EXPECT_NE(manager.FindChannelMap(L"Cam01", kDay1), nullptr);
    // The file of the other folder stays.
    EXPECT_EQ(manager.FindChannelMap(L"Cam01", kDay1)->count(MakeChannelKey(6, 0)), 1u);
}

// Several folders in one load: as loading each in turn, reported once.
TEST_F(RecordingFolder, LoadingSeveralFoldersIsOneLoadOfEach)
{
    RecordingListener oneByOne, together;
    CFileManager single(&oneByOne, &formats), several(&together, &formats);
    const std::vector<std::wstring> patterns{folder.WidePath() + L"/other/*.*", folder.Pattern(), L"/no/such/*.*"};
    int noMatch = 1;
    for (const std::wstring& pattern : patterns)
        single.LoadPath(pattern.c_str(), &noMatch);
    std::vector<int> noMatches;
    several.LoadPaths(patterns, &noMatches);
    EXPECT_EQ(noMatches, (std::vector<int>{0, 0, 1}));
    std::vector<std::wstring> singlePaths, severalPaths;
    EXPECT_EQ(Describe(GroupList(several, &severalPaths)), Describe(GroupList(single, &singlePaths)));
    EXPECT_EQ(severalPaths, singlePaths);
    EXPECT_EQ(together.days.size(), GroupList(several).size());  // each day reported once

    // What went from any of the folders goes; an unreadable folder drops nothing.
    ASSERT_EQ(std::remove(folder.File("other/" + RecordingName("Cam01", 6, 0, kDay1Morning, 60)).c_str()), 0);
    ASSERT_EQ(std::remove(folder.File("clip.avi").c_str()), 0);
    const std::size_t singles = SingleList(several).size();
    several.LoadPaths(patterns, &noMatches);
    EXPECT_EQ(noMatches, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(SingleList(several).size(), singles - 1);
    EXPECT_EQ(several.FindChannelMap(L"Cam01", kDay1)->count(MakeChannelKey(6, 0)), 0u);
}

// A second copy of a recording (same name, other folder) is the one listed.
TEST(FileManagerTest, TheCopyOpenedLastIsListedForADuplicateStart)
{
    RecordingListener listener;
    CFileManager manager(&listener);
    CNamingRuleParser parser;
    ASSERT_TRUE(parser.Parse(L"Cam01_ch1_20160102080000_20160102081000"));
    EXPECT_TRUE(manager.AddRecording(&parser, L"/a/first.kvx"));
    EXPECT_FALSE(manager.AddRecording(&parser, L"/a/first.kvx"));
    ASSERT_TRUE(parser.Parse(L"Cam01_ch1_20160102080000_20160102090000"));
    EXPECT_TRUE(manager.AddRecording(&parser, L"/b/copy.kvx"));
    ASSERT_TRUE(parser.Parse(L"Cam01_ch1_extra1_20160102080000_20160102090000"));
    EXPECT_TRUE(manager.AddRecording(&parser, L"/a/other-stream.kvx"));

    std::vector<std::wstring> paths;
    GroupList(manager, &paths);
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"/b/copy.kvx", L"/a/other-stream.kvx"}));
    const _CHANNEL_INDEX& channel = *manager.FindChannelMap(L"Cam01", kDay1)->begin()->second;
    EXPECT_EQ(channel.startTimes.size(), 1u);
    EXPECT_EQ(channel.files.begin()->second->GetEndTime()->hour, 9);
    EXPECT_FALSE(manager.AddRecording(nullptr, L"/x"));
}

TEST(FileManagerTest, SingleFilesGetIdsThatAreNeverReused)
{
    CFileManager manager(nullptr);
    const int id = FileIndexKeys::PeekNextFileId();
    EXPECT_TRUE(manager.AddSingleFile(L"/a/clip.avi"));
    EXPECT_FALSE(manager.AddSingleFile(L"/a/clip.avi"));
    EXPECT_TRUE(manager.AddSingleFile(L"/a/CLIP.avi"));  // another file on this system
    EXPECT_FALSE(manager.AddSingleFile(nullptr));
    ASSERT_NE(manager.GetFileInfo(id), nullptr);
    EXPECT_STREQ(manager.GetFileInfo(id)->GetPath(), L"/a/clip.avi");
    EXPECT_EQ(manager.GetFileInfo(id)->GetStartTime()->year, 0);

    manager.RemoveFiles(L"", 0, -1, id);
    EXPECT_EQ(manager.GetFileInfo(id), nullptr);
    EXPECT_TRUE(manager.AddSingleFile(L"/a/clip.avi"));
    EXPECT_EQ(SingleList(manager).back().fileId, id + 2);
    EXPECT_EQ(manager.GetFileInfo(0), nullptr);
}

TEST_F(RecordingFolder, RemovesFilesChannelsDaysAndGroups)
{
    RecordingListener listener;
    CFileManager manager(&listener, &formats);
    int noMatch = 1;
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    const std::list<_SINGLE_FILE_INFO> singles = SingleList(manager);

    // A single file by id; the group arguments are not used.
    manager.RemoveFiles(L"Cam01", kDay1, kCh1, singles.front().fileId);
    EXPECT_EQ(SingleList(manager).size(), 2u);
    EXPECT_NE(manager.FindChannelMap(L"Cam01", kDay1), nullptr);

    // A channel; the day stays while it has others.
    manager.RemoveFiles(L"Cam01", kDay1, kCh2, 0);
    auto groups = Describe(GroupList(manager));
    EXPECT_EQ(std::get<2>(groups[1]), (std::vector<int>{kCh1, kCh1Extra1}));

    // The last channel of a day removes the day.
    manager.RemoveFiles(L"Cam01", kDay2, kCh1, 0);
    groups = Describe(GroupList(manager));
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(std::get<0>(groups[2]), L"Überwachung");
    EXPECT_EQ(manager.FindChannelMap(L"Cam01", kDay2), nullptr);

    // The last day removes the group.
    manager.RemoveFiles(L"Cam01", kDay1, -1, 0);
    EXPECT_EQ(manager.FindChannelMap(L"Cam01", kDay1), nullptr);
    {
        SF_SOFT_BASE::CSFAutoMutexLock lock(manager.GetLock());
        EXPECT_EQ(manager.GetFileIndex()->groups.count(L"Cam01"), 0u);
    }

    // A whole group.
    manager.RemoveFiles(L"Alpha", 0, -1, 0);
    groups = Describe(GroupList(manager));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(std::get<0>(groups[0]), L"Überwachung");

    // Unknown keys remove nothing and leave nothing behind.
    manager.RemoveFiles(L"Überwachung", kDay2, -1, 0);
    manager.RemoveFiles(L"Überwachung", kDay1, kCh1, 0);
    manager.RemoveFiles(L"Nobody", 0, -1, 0);
    manager.RemoveFiles(nullptr, kDay1, -1, 0);
    manager.RemoveFiles(L"", 0, -1, 999999);
    EXPECT_EQ(Describe(GroupList(manager)), groups);
    EXPECT_EQ(SingleList(manager).size(), 2u);
    SF_SOFT_BASE::CSFAutoMutexLock lock(manager.GetLock());
    EXPECT_EQ(manager.GetFileIndex()->groups.size(), 1u);
    EXPECT_EQ(manager.GetFileIndex()->groups.at(L"Überwachung")->days.size(), 1u);
}

TEST(FileManagerScanTest, NoMatchFlagFollowsSupportedFilesInTheFolderOnly)
{
    TempFolder folder;
    RecordingListener listener;
    CFileManager manager(&listener);
    int noMatch = 0;
    EXPECT_TRUE(manager.LoadPath(folder.Pattern().c_str(), &noMatch));
    EXPECT_EQ(noMatch, 1);

    ASSERT_TRUE(folder.Touch("notes.txt"));
    ASSERT_TRUE(folder.Touch(".hidden.kvx"));
    ASSERT_TRUE(folder.MakeFolder("2016-01-02"));
    ASSERT_TRUE(folder.Touch("2016-01-02/" + RecordingName("Cam", 1, 0, kDay1Morning, 60)));
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    EXPECT_EQ(noMatch, 1);
    EXPECT_TRUE(GroupList(manager).empty());

    ASSERT_TRUE(folder.Touch("bad name.KVX"));
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    EXPECT_EQ(noMatch, 0);
    EXPECT_EQ(SingleList(manager).size(), 1u);

    EXPECT_FALSE(manager.LoadPath(nullptr, &noMatch));
    EXPECT_TRUE(manager.LoadPath(L"/no/such/folder/*.*", &noMatch));
    EXPECT_EQ(noMatch, 1);
    EXPECT_TRUE(manager.LoadPath(folder.Pattern().c_str(), nullptr));
}

TEST(FileManagerScanTest, ListsRegularFilesAndLinksToThemOnly)
{
    TempFolder folder;
    const std::string kept = RecordingName("Cam", 1, 0, kDay1Morning, 60);
    const std::string linked = RecordingName("Cam", 2, 0, kDay1Morning, 60);
    ASSERT_TRUE(folder.Touch(kept));
    ASSERT_TRUE(folder.MakeFolder("store"));
    ASSERT_TRUE(folder.Touch("store/target.kvx"));
    std::filesystem::create_symlink(folder.File("store/target.kvx"), folder.File(linked));
    std::filesystem::create_symlink(folder.File("store/gone.kvx"), folder.File("dangling.kvx"));
    Fifo fifo(folder.File(RecordingName("Cam", 3, 0, kDay1Morning, 60)));
    Fifo singleFifo(folder.File("pipe.kvx"));
    ASSERT_TRUE(folder.MakeFolder("2016-01-02"));
    Fifo datedFifo(folder.File("2016-01-02/" + RecordingName("Cam", 4, 0, kDay1Morning, 60)));
    ASSERT_TRUE(fifo.IsValid() && singleFifo.IsValid() && datedFifo.IsValid());

    RecordingListener listener;
    CFileManager manager(&listener);
    int noMatch = 1;
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    std::vector<std::wstring> paths;
    GroupList(manager, &paths);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::wstring>{Utf8ToWide(folder.File(kept)), Utf8ToWide(folder.File(linked))}));
    EXPECT_TRUE(SingleList(manager).empty());
}

TEST(FileManagerScanTest, HostileNamesAndLongPathsAreIndexedSafely)
{
    TempFolder folder;
    int made = 0;
    for (int b = 1; b < 256; ++b) {
        if (b == '/')
            continue;
        std::string name = RecordingName(std::string("G") + static_cast<char>(b), 1, 0, kDay1Morning, 60);
        ASSERT_TRUE(folder.Touch(name)) << b;
        ASSERT_TRUE(folder.Touch(std::string("s") + static_cast<char>(b) + ".kvx")) << b;
        ++made;
    }
    ASSERT_TRUE(folder.Touch(std::string(251, 'n') + ".kvx"));

    // A folder whose path is longer than 516 characters.
    std::string deep;
    for (int i = 0; i < 4; ++i)
        deep += (i ? "/" : "") + std::string(200, static_cast<char>('a' + i));
    ASSERT_TRUE(folder.MakeFolder(deep));
    const std::string deepName = RecordingName("Deep", 1, 0, kDay1Morning, 60);
    ASSERT_TRUE(folder.Touch(deep + "/" + deepName));

    RecordingListener listener;
    CFileManager manager(&listener);
    int noMatch = 1;
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    std::vector<std::wstring> paths;
    GroupList(manager, &paths);
    const auto singles = SingleList(manager);
    std::size_t total = paths.size() + singles.size();
    EXPECT_EQ(total, static_cast<std::size_t>(2 * made + 1));
    for (const std::wstring& path : paths) {
        struct stat st;
        EXPECT_EQ(::stat(SF_SOFT_BASE::WideToUtf8(path).c_str(), &st), 0);
    }

    const std::wstring deepFolder = folder.WidePath() + L"/" + Utf8ToWide(deep);
    ASSERT_GT(deepFolder.size(), 516u);
    manager.LoadPath((deepFolder + L"/*.*").c_str(), &noMatch);
    EXPECT_EQ(noMatch, 0);
    paths.clear();
    GroupList(manager, &paths);
    EXPECT_NE(std::find(paths.begin(), paths.end(), deepFolder + L"/" + Utf8ToWide(deepName)), paths.end());

    // Deeper than the system can open: nothing indexed, no failure.
    const std::wstring tooDeep = deepFolder + L"/" + std::wstring(5000, L'x') + L"/*.*";
    EXPECT_TRUE(manager.LoadPath(tooDeep.c_str(), &noMatch));
    EXPECT_EQ(noMatch, 1);
}

TEST(FileManagerScanTest, UnreadableFolderGivesAnEmptyScan)
{
    TempFolder folder;
    ASSERT_TRUE(folder.MakeFolder("locked"));
    ASSERT_TRUE(folder.Touch("locked/" + RecordingName("Cam", 1, 0, kDay1Morning, 60)));
    const std::string locked = folder.Path() + "/locked";
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const std::wstring pattern = Utf8ToWide(locked) + L"/*.*";
    EXPECT_EXIT(
        {
            DropRootRights();
            RecordingListener listener;
            CFileManager manager(&listener);
            int noMatch = 0;
            const bool loaded = manager.LoadPath(pattern.c_str(), &noMatch);
            std::list<_GROUP_FILE_INFO> groups;
            std::exit(loaded && noMatch == 1 && !manager.GetGroupFileList(&groups, nullptr) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(FileManagerConcurrencyTest, ReadsWhileAnotherThreadLoadsAndRemoves)
{
    TempFolder folder;
    for (int channel = 1; channel <= 8; ++channel) {
        for (int hour = 0; hour < 8; ++hour)
            ASSERT_TRUE(folder.Touch(RecordingName("Cam", channel, 0, CSFDateTime(2016, 1, 2, hour, 0, 0), 60)));
    }
    ASSERT_TRUE(folder.Touch("clip.avi"));
    RecordingListener listener;
    CFileManager manager(&listener);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int round = 0; round < 20; ++round) {
            int noMatch = 1;
            manager.LoadPath(folder.Pattern().c_str(), &noMatch);
            for (int channel = 1; channel <= 8; ++channel)
                manager.RemoveFiles(L"Cam", kDay1, MakeChannelKey(channel, 0), 0);
            for (const _SINGLE_FILE_INFO& single : SingleList(manager))
                manager.RemoveFiles(L"", 0, -1, single.fileId);
        }
        done = true;
    });
    while (!done) {
        std::vector<std::wstring> paths;
        EXPECT_LE(GroupList(manager, &paths).size(), 1u);
        EXPECT_LE(paths.size(), 64u);
        EXPECT_LE(SingleList(manager).size(), 1u);
        SF_SOFT_BASE::CSFAutoMutexLock lock(manager.GetLock());
        if (_CHANNEL_MAP* day = manager.FindChannelMap(L"Cam", kDay1)) {
            for (const auto& [key, channel] : *day)
                EXPECT_EQ(channel->files.size(), channel->startTimes.size());
        }
    }
    writer.join();
    EXPECT_TRUE(GroupList(manager).empty());
}

// The single files of a folder are listed by name as a file manager lists
// them, whatever order the folder gives them in.
TEST(FileManagerScanTest, SingleFilesOfAFolderComeInNaturalOrder)
{
    TempFolder folder;
    std::vector<std::wstring> expected;
    for (int i = 1; i <= 30; ++i)
        expected.push_back(folder.WidePath() + L"/clip_" + (i < 10 ? L"0" : L"") + std::to_wstring(i) + L".avi");
    expected.insert(expected.begin() + 2, folder.WidePath() + L"/Clip_2b.avi");
    for (auto it = expected.rbegin(); it != expected.rend(); ++it)
        ASSERT_TRUE(folder.Touch(it->substr(folder.WidePath().size() + 1)));
    CFileManager manager(nullptr);
    int noMatch = 1;
    manager.LoadPath(folder.Pattern().c_str(), &noMatch);
    std::vector<std::wstring> listed;
    for (const _SINGLE_FILE_INFO& single : SingleList(manager))
        listed.push_back(single.path);
    EXPECT_EQ(listed, expected);
}

TEST(NaturalOrderTest, NumbersByValueLettersWithoutCase)
{
    const std::vector<std::wstring> ordered{L"a", L"A1", L"a2", L"a02x", L"a2x", L"a10", L"b", L"clip_2", L"Clip_10",
                                            L"clip_10a", L"clip_99999999999999999999", L"z"};
    for (std::size_t i = 0; i < ordered.size(); ++i)
        for (std::size_t j = 0; j < ordered.size(); ++j)
            EXPECT_EQ(NaturalLess(ordered[i], ordered[j]), i < j) << i << " " << j;
}
