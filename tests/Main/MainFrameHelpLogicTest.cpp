#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <mutex>
#include <thread>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/RecordingNames.h"
#include "Main/MainFrameHelpListener.h"
#include "Main/MainFrameHelpLogic.h"
#include "PageServices/FileManagerQuery.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"

using namespace LumivexBase;
using FileIndexKeys::MakeChannelKey;
using SF_SOFT_BASE::CSFDateTime;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

const CSFDateTime kMorning(2016, 1, 2, 8, 0, 0);
const CSFDateTime kNoon(2016, 1, 2, 12, 0, 0);
const int kDay = CSFDateTime::MakeTime(2016, 1, 2, 0, 0, 0);

// Stands in for the GUI-side owner and for a requester; notes every answer
// and the thread it arrived on.
class AnswerRecorder : public IMainFrameHelpListener, public IFileManagerQuery {
public:
    void Task_GenerateFileList_Ret(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                   boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                                   boost::shared_ptr<std::vector<std::wstring>> paths, int noMatch,
                                   int emptyFolders) override
    {
        Note();
        lastGroups = *groups;
        lastSingles = *singles;
        lastPaths = *paths;
        lastNoMatch = noMatch;
        lastEmptyFolders = emptyFolders;
        ++fileLists;
    }
    void Task_GetFileManager_Ret(boost::shared_ptr<CFileManager> manager) override
    {
        Note();
        lastManager = manager;
    }
    void Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files) override
    {
        Note();
        lastFiles = *files;
        ++filePaths;
    }

    void Note() { answeredOnGuiThread = answeredOnGuiThread && std::this_thread::get_id() == guiThread; }

    std::thread::id guiThread = std::this_thread::get_id();
    bool answeredOnGuiThread = true;
    int fileLists = 0;
    int filePaths = 0;
    std::list<_GROUP_FILE_INFO> lastGroups;
    std::list<_SINGLE_FILE_INFO> lastSingles;
    std::vector<std::wstring> lastPaths;
    int lastNoMatch = -1;
    int lastEmptyFolders = -1;
    boost::shared_ptr<CFileManager> lastManager;
    std::list<_QUERY_FILE_INFO> lastFiles;
};

// Helper loop on a worker thread, answers on the GUI loop.
class HelpLogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        RegisterGuiLoop();
        ASSERT_TRUE(StartWorkerLoop(ML_HELPER));
        owner = boost::make_shared<AnswerRecorder>();
        logic = CMainFrameHelpLogic::Create(owner);
    }
    void TearDown() override { CSFMessageLoopManager::GetInstance()->ExitMessageLoops(); }

    void Add(const std::string& name) { ASSERT_TRUE(folder.Touch(name)) << name; }
    std::wstring PathOf(const std::string& name) const { return folder.WidePath() + L"/" + Utf8ToWide(name); }

    // Posts a build and waits for its answer.
    bool Build(const std::wstring& path)
    {
        const int before = owner->fileLists;
        SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_BuildFileList, logic,
                     boost::make_shared<std::wstring>(path));
        return ProcessUntil([&] { return owner->fileLists > before; });
    }

    // Posts a query, then a marker behind it, and waits for the marker: the
    // query's answer, if any, has arrived by then.
    void Query(QUERY_FILEPATH_TYPE type, unsigned int key, const std::wstring& group,
               boost::shared_ptr<std::map<int, void*>> filter, boost::shared_ptr<IFileManagerQuery> target,
               int window)
    {
        owner->lastFiles.clear();
        SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_GetFilePath, logic, type, key, group, filter,
                     target, window);
        owner->lastManager.reset();
        SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_GetFileManager, logic);
        ASSERT_TRUE(ProcessUntil([&] { return owner->lastManager != nullptr; }));
    }

    TempFolder folder;
    boost::shared_ptr<AnswerRecorder> owner;
    boost::shared_ptr<CMainFrameHelpLogic> logic;
};

std::vector<std::pair<int, std::wstring>> ChannelsAndPaths(const std::list<_QUERY_FILE_INFO>& files)
{
    std::vector<std::pair<int, std::wstring>> result;
    for (const _QUERY_FILE_INFO& file : files)
        result.emplace_back(file.channelKey, file.path);
    return result;
}

}  // namespace

TEST_F(HelpLogicTest, BuildsTheListOfAFolderOrOfAFilesFolder)
{
    const std::string first = RecordingName("Cam01", 1, 0, kMorning, 60);
    Add(first);
    Add(RecordingName("Cam01", 2, 0, kMorning, 60));
    Add("clip.avi");
    ASSERT_TRUE(Build(PathOf(first)));  // a file loads its whole folder
    EXPECT_EQ(owner->lastNoMatch, 0);
    ASSERT_EQ(owner->lastGroups.size(), 1u);
    EXPECT_EQ(owner->lastGroups.front().groupName, L"Cam01");
    EXPECT_EQ(owner->lastGroups.front().key, kDay);
    EXPECT_EQ(owner->lastGroups.front().channels.size(), 2u);
    EXPECT_EQ(owner->lastPaths.size(), 2u);
    ASSERT_EQ(owner->lastSingles.size(), 1u);
    EXPECT_EQ(owner->lastSingles.front().path, PathOf("clip.avi"));

    const auto groups = owner->lastGroups.size();
    const auto paths = owner->lastPaths;
    const auto singleId = owner->lastSingles.front().fileId;
    ASSERT_TRUE(Build(folder.WidePath() + L"/"));  // again, ending in "/"
    EXPECT_EQ(owner->lastGroups.size(), groups);
    EXPECT_EQ(owner->lastPaths, paths);
    ASSERT_EQ(owner->lastSingles.size(), 1u);
    EXPECT_EQ(owner->lastSingles.front().fileId, singleId);
    EXPECT_TRUE(owner->answeredOnGuiThread);

    EXPECT_EQ(CMainFrameHelpLogic::MakeScanPattern(folder.WidePath() + L"/"), folder.WidePath() + L"/*.*");
    EXPECT_EQ(CMainFrameHelpLogic::MakeScanPattern(folder.WidePath()), folder.WidePath() + L"/*.*");
    EXPECT_EQ(CMainFrameHelpLogic::MakeScanPattern(PathOf(first)), folder.WidePath() + L"/*.*");
    EXPECT_EQ(CMainFrameHelpLogic::MakeScanPattern(L"/no/such/thing"), L"/no/such/thing/*.*");
    EXPECT_EQ(CMainFrameHelpLogic::MakeScanPattern(L""), L"");
}

TEST_F(HelpLogicTest, AnswersEvenWhenAFirstFolderHoldsNothing)
{
    Add("notes.txt");
    ASSERT_TRUE(Build(folder.WidePath()));
    EXPECT_EQ(owner->lastNoMatch, 1);
    EXPECT_TRUE(owner->lastGroups.empty());
    EXPECT_TRUE(owner->lastSingles.empty());
    ASSERT_TRUE(Build(L"/no/such/folder"));
    EXPECT_EQ(owner->lastNoMatch, 1);
    ASSERT_TRUE(Build(L""));
    EXPECT_EQ(owner->lastNoMatch, 1);
    EXPECT_TRUE(owner->lastSingles.empty());
}

// As at start with the folders of the last run: one load, one answer. The
// names, also those that are not UTF-8, come back as they were given.
TEST_F(HelpLogicTest, BuildsTheFoldersOfManyPathsInOneAnswer)
{
    constexpr int kFolders = 40;
    std::vector<std::wstring> paths;
    std::wstring oddRecording;
    for (int i = 0; i < kFolders; ++i) {
        const std::string name = (i == 7 ? "Kamera-\xc3\xbc-\xff" : "f") + std::to_string(i);
        const std::string recording = name + "/" + RecordingName("Cam01", i + 1, 0, kMorning, 60);
        ASSERT_TRUE(folder.MakeFolder(name));
        Add(recording);
        paths.push_back(PathOf(name));
        if (i == 7)
            oddRecording = PathOf(recording);
    }
    ASSERT_TRUE(folder.MakeFolder("empty"));
    paths.push_back(PathOf("empty"));
    ASSERT_TRUE(folder.MakeFolder("\xe6\x97\xa5"));
    Add("\xe6\x97\xa5/clip.avi");
    paths.push_back(PathOf("\xe6\x97\xa5/clip.avi"));

    SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_BuildFileLists, logic, CMainFrameHelpLogic::PackPaths(paths));
    ASSERT_TRUE(ProcessUntil([&] { return owner->fileLists > 0; }));
    Query(QUERY_FILEPATH_SINGLE, 0, L"", nullptr, nullptr, -1);  // every answer has arrived
    EXPECT_EQ(owner->fileLists, 1);
    EXPECT_EQ(owner->lastNoMatch, 0);
    EXPECT_EQ(owner->lastEmptyFolders, 1);
    ASSERT_EQ(owner->lastGroups.size(), 1u);
    EXPECT_EQ(owner->lastGroups.front().channels.size(), std::size_t(kFolders));
    EXPECT_EQ(owner->lastPaths.size(), std::size_t(kFolders));
    EXPECT_EQ(std::count(owner->lastPaths.begin(), owner->lastPaths.end(), oddRecording), 1);
    ASSERT_EQ(owner->lastSingles.size(), 1u);
    EXPECT_EQ(owner->lastSingles.front().path, PathOf("\xe6\x97\xa5/clip.avi"));
}

TEST_F(HelpLogicTest, AnswersTheThreeKindsOfFilePathRequest)
{
    for (int channel : {3, 1, 2}) {
        Add(RecordingName("Cam01", channel, 0, kNoon, 60));
        Add(RecordingName("Cam01", channel, 0, kMorning, 60));
    }
    Add(RecordingName("Cam01", 1, 1, kMorning, 60));
    Add("clip.avi");
    ASSERT_TRUE(Build(folder.WidePath()));
    const int fileId = owner->lastSingles.front().fileId;

    // One single file.
    Query(QUERY_FILEPATH_SINGLE, fileId, L"ignored", nullptr, owner, 5);
    ASSERT_EQ(owner->lastFiles.size(), 1u);
    const _QUERY_FILE_INFO& single = owner->lastFiles.front();
    EXPECT_EQ(single.path, PathOf("clip.avi"));
    EXPECT_EQ(single.queryType, QUERY_FILEPATH_SINGLE);
    EXPECT_EQ(single.requestKey, fileId);
    EXPECT_EQ(single.fileId, fileId);
    EXPECT_EQ(single.channelKey, -1);
    EXPECT_EQ(single.window, 5);
    EXPECT_EQ(single.startTime, -1);
    EXPECT_EQ(single.endTime, -1);

    // A day limited to channels 1 and 3.
    auto filter = boost::make_shared<std::map<int, void*>>();
    (*filter)[1] = nullptr;
    (*filter)[3] = reinterpret_cast<void*>(0x1234);  // values are not used
    Query(QUERY_FILEPATH_DAY, kDay, L"Cam01", filter, owner, -1);
    const std::vector<std::pair<int, std::wstring>> expectedDay{
        {1, PathOf(RecordingName("Cam01", 1, 0, kMorning, 60))},
        {1, PathOf(RecordingName("Cam01", 1, 0, kNoon, 60))},
        {3, PathOf(RecordingName("Cam01", 3, 0, kMorning, 60))},
        {3, PathOf(RecordingName("Cam01", 3, 0, kNoon, 60))},
    };
    EXPECT_EQ(ChannelsAndPaths(owner->lastFiles), expectedDay);
    EXPECT_EQ(owner->lastFiles.front().fileId, static_cast<int>(kMorning.ToTime()));
    // Each file's span is the one its name gives.
    EXPECT_EQ(owner->lastFiles.front().startTime, static_cast<int>(kMorning.ToTime()));
    EXPECT_EQ(owner->lastFiles.front().endTime, static_cast<int>(kMorning.ToTime()) + 60);
    EXPECT_EQ(owner->lastFiles.front().requestKey, kDay);
    EXPECT_EQ(owner->lastFiles.front().queryType, QUERY_FILEPATH_DAY);

    // A channel request with an empty filter takes every channel.
    Query(QUERY_FILEPATH_CHANNEL, kDay, L"Cam01", boost::make_shared<std::map<int, void*>>(), owner, 2);
    ASSERT_EQ(owner->lastFiles.size(), 7u);
    EXPECT_EQ(owner->lastFiles.back().channelKey, MakeChannelKey(1, 1));
    EXPECT_EQ(owner->lastFiles.back().queryType, QUERY_FILEPATH_CHANNEL);
    EXPECT_EQ(owner->lastFiles.back().window, 2);

    // Nothing found, no reply target, an unknown kind: no answer.
    const int answers = owner->filePaths;
    Query(QUERY_FILEPATH_DAY, kDay + 86400, L"Cam01", nullptr, owner, -1);
    Query(QUERY_FILEPATH_DAY, kDay, L"Other", nullptr, owner, -1);
    Query(QUERY_FILEPATH_DAY, kDay, L"Cam01", nullptr, nullptr, -1);
    Query(static_cast<QUERY_FILEPATH_TYPE>(7), kDay, L"Cam01", nullptr, owner, -1);
    Query(QUERY_FILEPATH_SINGLE, 0, L"", nullptr, owner, -1);
    EXPECT_EQ(owner->filePaths, answers);
    EXPECT_TRUE(owner->answeredOnGuiThread);
}

TEST_F(HelpLogicTest, DeletesListItemsAndHandsOutTheManager)
{
    for (int channel : {1, 2, 3})
        Add(RecordingName("Cam01", channel, 0, kMorning, 60));
    Add("clip.avi");
    ASSERT_TRUE(Build(folder.WidePath()));
    const int fileId = owner->lastSingles.front().fileId;

    auto items = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    _GROUP_FILE_INFO day;
    day.groupName = L"Cam01";
    day.key = kDay;
    day.channels[1] = nullptr;
    day.channels[2] = nullptr;
    items->push_back(day);
    _GROUP_FILE_INFO single;
    single.groupName = L"Cam01";  // ignored for a single file
    single.key = fileId;
    items->push_back(single);
    SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_DelCertainFile, logic, items);

    // A deleted file id is not answered any more.
    const int answers = owner->filePaths;
    Query(QUERY_FILEPATH_SINGLE, fileId, L"", nullptr, owner, -1);
    EXPECT_EQ(owner->filePaths, answers);
    EXPECT_EQ(owner->lastManager, logic->GetFileManager());

    Query(QUERY_FILEPATH_DAY, kDay, L"Cam01", nullptr, owner, -1);
    ASSERT_EQ(owner->lastFiles.size(), 1u);
    EXPECT_EQ(owner->lastFiles.front().channelKey, 3);
}

TEST(HelpLogicOwnerTest, NothingIsPostedWithoutAnOwner)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Touch("clip.avi"));
    auto owner = boost::make_shared<AnswerRecorder>();
    auto logic = CMainFrameHelpLogic::Create(owner);
    owner.reset();
    // Run directly: with no loop registered a post would only be dropped.
    logic->Task_BuildFileList(boost::make_shared<std::wstring>(folder.WidePath()));
    logic->Task_GetFileManager();
    std::list<_SINGLE_FILE_INFO> singles;
    EXPECT_TRUE(logic->GetFileManager()->GetSingleFileList(&singles, nullptr));

    // The manager outlives the logic without calling back into it.
    boost::shared_ptr<CFileManager> manager = logic->GetFileManager();
    logic.reset();
    int noMatch = 1;
    EXPECT_TRUE(manager->LoadPath(folder.Pattern().c_str(), &noMatch));
}
