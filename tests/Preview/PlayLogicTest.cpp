#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <boost/make_shared.hpp>

#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "PlayManager/EngineTestSupport.h"
#include "PlayManager/PlayManager.h"
#include "Preview/PreviewPagePlayLogic.h"
#include "PreviewFakes.h"
#include "Support/TempFolder.h"

using namespace PreviewTest;

namespace {

class PlayLogicTest : public PlayManagerTest::EngineLoopTest {
public:
    void SetUp() override
    {
        EngineLoopTest::SetUp();
        libraries.Reset();
        manager = CPlayManager::Create(
            CPlayBackends{libraries.Factory(), boost::make_shared<PlayManagerTest::RecordingOverlayDrawer>()});
        logic = boost::make_shared<CPreviewPagePlayLogic>(manager);
        receiver = boost::make_shared<AnswerRecorder>();
        logic->SetUILogic(receiver);
        recording = folder.File(UniqueRecordingName());
        WriteFile(recording, std::string(1000, 'x'));
    }

    void TearDown() override
    {
        std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(Recording())));
        PlayManagerTest::RunOnPlayLoop([this] {
            logic.reset();
            manager.reset();
        });
        EngineLoopTest::TearDown();
    }

    std::wstring Recording() const { return SF_SOFT_BASE::Utf8ToWide(recording); }

    void OnPlay(const std::function<void(CPreviewPagePlayLogic&)>& work)
    {
        PlayManagerTest::RunOnPlayLoop([&] { work(*logic); });
        PlayManagerTest::ProcessUntil([] { return false; }, 20);
    }

    // Loads the recording; returns the load handle.
    void* Load()
    {
        OnPlay([this](CPreviewPagePlayLogic& l) { l.Task_LoadFile(Recording()); });
        return receiver->answers.empty() ? nullptr : receiver->answers.back().handle;
    }

    std::string LastCall(std::size_t library) const
    {
        PreviewFakeLibrary* fake = libraries.At(library);
        const auto calls = fake ? fake->Calls() : std::vector<std::string>{};
        return calls.empty() ? "" : calls.back();
    }

    TempFolder folder;
    std::string recording;
    PreviewLibraries libraries;
    boost::shared_ptr<CPlayManager> manager;
    boost::shared_ptr<CPreviewPagePlayLogic> logic;
    boost::shared_ptr<AnswerRecorder> receiver;
};

TEST_F(PlayLogicTest, LoadAndSliceEdgeCases)
{
    struct Case {
        const char* name;
        std::function<void(PlayLogicTest&)> prepare;
        std::function<void(PlayLogicTest&, void* load)> act;
        std::string answer;
        int value;
        std::wstring text;
        std::size_t handles;
    };
    const std::vector<Case> cases = {
        {"failed create", [](PlayLogicTest& t) { t.libraries.failCreate = true; },
         [](PlayLogicTest&, void*) {}, "Load", 1, L"", 0},
        {"loaded", [](PlayLogicTest&) {}, [](PlayLogicTest&, void*) {}, "Load", 1, L"", 1},
        {"no file times", [](PlayLogicTest&) {},
         [](PlayLogicTest& t, void* load) {
             t.libraries.At(0)->startTime = 0;
             t.OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_Preview(load, t.Recording(), 0, 4); });
         },
         "Preview", 0, L"Get video time failed!", 1},
        {"no index", [](PlayLogicTest& t) { t.libraries.index.clear(); },
         [](PlayLogicTest& t, void* load) {
             t.OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_Preview(load, t.Recording(), 1, 4); });
         },
         "Preview", 1, L"Set Ref failed", 1},
        {"slice opened", [](PlayLogicTest&) {},
         [](PlayLogicTest& t, void* load) {
             t.OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_Preview(load, t.Recording(), 2, 4); });
         },
         "Preview", 102, L"", 2},
        {"null source", [](PlayLogicTest&) {},
         [](PlayLogicTest& t, void*) {
             t.OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_Preview(nullptr, t.Recording(), 0, 4); });
         },
         "Preview", 0, L"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.prepare(*this);
        void* load = Load();
        c.act(*this, load);
        ASSERT_FALSE(receiver->answers.empty());
        const AnswerRecorder::Answer& answer = receiver->answers.back();
        EXPECT_EQ(answer.name, c.answer);
        EXPECT_EQ(answer.value, c.value);
        EXPECT_EQ(answer.text, c.text);
        EXPECT_EQ(logic->GetHandles().size(), c.handles);
        if (c.answer == "Preview" && c.value == 102) {
            EXPECT_EQ(answer.start, 1000u);
            EXPECT_EQ(answer.end, 1400u);
            EXPECT_EQ(libraries.At(1)->ReceivedIndex(), libraries.index);
        } else if (c.answer == "Preview") {
            EXPECT_EQ(answer.second, nullptr);
            EXPECT_EQ(libraries.Count() < 2 || libraries.At(1) == nullptr, true);
        }
    }
}

TEST_F(PlayLogicTest, IndexFileReachesTheLibraryOnlyWhenValid)
{
    EXPECT_NE(Load(), nullptr);
    EXPECT_TRUE(libraries.At(0)->ReceivedIndex().empty());
    EXPECT_FALSE(libraries.At(0)->Called("SetRefValue 5"));

    const std::vector<unsigned char> saved = {9, 8, 7, 6, 5, 4, 3};
    ASSERT_TRUE(SaveIndexFile(saved.data(), unsigned(saved.size()), Recording()));
    EXPECT_NE(Load(), nullptr);
    EXPECT_EQ(libraries.At(1)->ReceivedIndex(), saved);
}

TEST_F(PlayLogicTest, AnIndexFileTheLibraryRefusedIsReplaced)
{
    auto savedData = [this] {
        std::ifstream in(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(Recording())), std::ios::binary);
        std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
        return bytes.size() < 24 ? bytes : std::vector<unsigned char>(bytes.begin() + 24, bytes.end());
    };
    const std::vector<unsigned char> broken = {9, 8, 7};
    for (bool refused : {false, true}) {
        SCOPED_TRACE(refused);
        ASSERT_TRUE(SaveIndexFile(broken.data(), unsigned(broken.size()), Recording()));
        libraries.refuseIndex = refused;
        void* load = Load();
        ASSERT_NE(load, nullptr);
        OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_SaveRef(load); });
        EXPECT_EQ(receiver->answers.back().name, "SaveIndex");
        EXPECT_EQ(savedData(), refused ? libraries.index : broken);
        EXPECT_TRUE(IsIndexFileValid(Recording()));
    }
}

TEST_F(PlayLogicTest, SeekArithmeticOfFourSlicesFrom1000To1400)
{
    void* handle = Load();
    ASSERT_NE(handle, nullptr);
    struct SeekCase {
        std::function<void(CPreviewPagePlayLogic&)> task;
        std::string lastCall;
    };
    const std::vector<SeekCase> cases = {
        {[&](CPreviewPagePlayLogic& l) { l.Task_FileEnd(handle, 4, 0); }, "Seek 1000 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_FileEnd(handle, 4, 1); }, "Seek 1100 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_FileEnd(handle, 4, 2); }, "Seek 1200 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_FileEnd(handle, 4, 3); }, "Seek 1300 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_Seek(handle, 1150, 0.5f); }, "Seek 1300 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_Seek(handle, 1250, 0.5f); }, "Seek 1250 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_Seek(handle, 0, 25.0f); }, "Seek 1100 1"},
        {[&](CPreviewPagePlayLogic& l) { l.Task_FileEnd(handle, 0, 1); }, "Seek 1100 1"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        OnPlay(cases[i].task);
        EXPECT_EQ(LastCall(0), cases[i].lastCall);
    }
}

TEST_F(PlayLogicTest, PauseSpeedAndCloseAnswers)
{
    void* load = Load();
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_Preview(load, Recording(), 0, 4); });
    void* slice = receiver->answers.back().second;
    ASSERT_NE(slice, nullptr);
    const std::size_t before = receiver->answers.size();

    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_PauseOne(load, 0); });
    EXPECT_EQ(receiver->answers.size(), before);
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_PauseOne(slice, 0); });
    ASSERT_EQ(receiver->answers.size(), before + 1);
    EXPECT_EQ(receiver->answers.back().name, "PauseOne");
    EXPECT_EQ(receiver->answers.back().value, 1);

    auto handles = boost::make_shared<PreviewHandleList>(PreviewHandleList{slice});
    auto speedCalls = [&] {
        const auto calls = libraries.At(1)->Calls();
        return std::count(calls.begin(), calls.end(), "SetSpeed");
    };
    const auto opened = speedCalls();  // the slice starts at 1X
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_SetPlaySpeed(handles, 2.0f); });
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_SetPlaySpeed(handles, 2.0f); });
    EXPECT_EQ(speedCalls(), opened + 1);
    // A close naming no file also ends a load the GUI never learned of.
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_CloseFiles(nullptr); });
    EXPECT_EQ(receiver->answers.back().name, "Close");
    EXPECT_EQ(receiver->answers.back().handle, reinterpret_cast<void*>(1));
    EXPECT_EQ(logic->GetHandles(), PreviewHandleList{slice});
    EXPECT_EQ(libraries.At(0), nullptr);
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_SetPlaySpeed(handles, 1.0f); });
    EXPECT_EQ(speedCalls(), opened + 1);

    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_CloseFiles(slice); });
    EXPECT_TRUE(logic->GetHandles().empty());
    EXPECT_EQ(libraries.At(1), nullptr);
    OnPlay([&](CPreviewPagePlayLogic& l) { l.Task_CloseFiles(nullptr); });
    EXPECT_EQ(receiver->answers.back().handle, reinterpret_cast<void*>(1));
}

}  // namespace
