#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "Common/UserMessages.h"
#include "Export/ExportObject.h"
#include "Export/ExportPageDouble.h"
#include "Export/ExportTestSupport.h"
#include "Export/ExportViewExportLogic.h"
#include "Export/ExportViewPlayLogic.h"
#include "Export/ExportViewUILogic.h"
#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/FileManager.h"
#include "Support/ProcessUntil.h"
#include "KvxWriter/RecordingName.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayModuleLibrary.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Support/TempFolder.h"

using namespace EXPORT_TEST;
using namespace LumivexBase;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

constexpr std::int64_t kStartMs = 1451703845000;  // 2016-01-02 03:04:05 UTC
constexpr std::uint32_t kT0 = 1451703845;
constexpr int kChannel2 = 2;
constexpr int kChannel5Extra1 = 5 + (1 << 24);
constexpr int kChannel7 = 7;
const std::wstring kGroup = L"REC";

std::wstring Stamp(std::uint32_t time)
{
    SF_SOFT_BASE::CSFDateTime local;
    local.FromTime(time);
    wchar_t text[32];
    std::swprintf(text, 32, L"%4d%02d%02d%02d%02d%02d", local.year, local.month, local.day, local.hour,
                  local.minute, local.second);
    return text;
}

// The recording without its key-frame footer: its key frames are found only
// by opening it.
void StripFooter(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const auto footer = PLAY_MODULE::CKvxIndexFooter::ReadFrom(fd, std::uint64_t(::lseek(fd, 0, SEEK_END)));
    EXPECT_TRUE(footer && ::ftruncate(fd, off_t(footer->trailer.tableOffset)) == 0) << path;
    ::close(fd);
}

// Libraries alive now, the most alive at once, and all ever made.
std::atomic<int> g_liveLibraries{0};
std::atomic<int> g_mostLiveLibraries{0};
std::atomic<int> g_librariesMade{0};

// The library with the direction of the play contract (0 forward).
class CContractLibrary : public CPlayModuleLibrary {
public:
    explicit CContractLibrary(PLAY_MODULE::IPlayModuleListener* listener) : CPlayModuleLibrary(listener)
    {
        ++g_librariesMade;
        const int live = ++g_liveLibraries;
        g_mostLiveLibraries = std::max(g_mostLiveLibraries.load(), live);
    }
    ~CContractLibrary() override { --g_liveLibraries; }
    int SetPlayDirection(unsigned long direction) override
    {
        return direction == 0 ? PlayForward() : PlayBackward();
    }
};

boost::shared_ptr<CPlayManager> ContractPlayManager()
{
    CPlayBackends backends;
    backends.library = [](PLAY_MODULE::IPlayModuleListener* listener) {
        return std::make_unique<CContractLibrary>(listener);
    };
    return CPlayManager::Create(backends);
}

// Holds the libraries' index reports, and fails their key-frame lookups,
// until the test releases it with the report's result.
struct IndexGate {
    void Release(int value)
    {
        std::vector<std::pair<PLAY_MODULE::IPlayModuleListener*, PLAY_MODULE::CPlayModule*>> held;
        {
            std::lock_guard lock(mutex);
            closed = false;
            result = value;
            held.swap(waiting);
        }
        for (auto [listener, module] : held)
            listener->OnFileRefFinished(module, value);
    }
    // The library of this listener is gone: its report is not passed on.
    void Forget(PLAY_MODULE::IPlayModuleListener* listener)
    {
        std::lock_guard lock(mutex);
        std::erase_if(waiting, [listener](const auto& held) { return held.first == listener; });
    }
    bool Closed()
    {
        std::lock_guard lock(mutex);
        return closed;
    }
    // True when the report is held.
    bool Hold(PLAY_MODULE::IPlayModuleListener* listener, PLAY_MODULE::CPlayModule* module)
    {
        std::lock_guard lock(mutex);
        if (closed)
            waiting.emplace_back(listener, module);
        return closed;
    }

    std::mutex mutex;
    bool closed = true;
    int result = 1;
    std::vector<std::pair<PLAY_MODULE::IPlayModuleListener*, PLAY_MODULE::CPlayModule*>> waiting;
    std::atomic<int> failedLookups{0};
};

// Passes the module's reports on, the index report through the gate.
class CGatedListener : public PLAY_MODULE::IPlayModuleListener {
public:
    CGatedListener(PLAY_MODULE::IPlayModuleListener* target, std::shared_ptr<IndexGate> gate)
        : m_target(target), m_gate(std::move(gate))
    {
    }
    void OnFileRefFinished(PLAY_MODULE::CPlayModule* module, int result) override
    {
        if (!m_gate->Hold(m_target, module))
            m_target->OnFileRefFinished(module, result);
    }
    void OnFileEnd(PLAY_MODULE::CPlayModule* module) override { m_target->OnFileEnd(module); }
    void OnStreamData(PLAY_MODULE::CPlayModule* module, unsigned char* data, int length,
                      PLAY_MODULE::PM_FRAME_INFO* info, int reserved) override
    {
        m_target->OnStreamData(module, data, length, info, reserved);
    }
    void OnFrameVisible(PLAY_MODULE::CPlayModule* module, int renderKind, unsigned char* data, int value,
                        PLAY_MODULE::PM_FRAME_INFO* info) override
    {
        m_target->OnFrameVisible(module, renderKind, data, value, info);
    }
    void OnFileTimeDone(PLAY_MODULE::CPlayModule* module, unsigned start, unsigned end) override
    {
        m_target->OnFileTimeDone(module, start, end);
    }
    int OnOverlayData(PLAY_MODULE::CPlayModule* module, unsigned char* data, int kind, int length, int value1,
                      int value2) override
    {
        return m_target->OnOverlayData(module, data, kind, length, value1, value2);
    }

private:
    PLAY_MODULE::IPlayModuleListener* m_target;
    std::shared_ptr<IndexGate> m_gate;
};

struct GatedListenerMember {
    GatedListenerMember(PLAY_MODULE::IPlayModuleListener* target, std::shared_ptr<IndexGate> gate)
        : gatedListener(target, std::move(gate))
    {
    }
    CGatedListener gatedListener;
};

// A library whose index is built only when the gate opens; its lookups fail
// while it is closed, and after it opened with a failed index.
class CGatedLibrary : private GatedListenerMember, public CContractLibrary {
public:
    CGatedLibrary(PLAY_MODULE::IPlayModuleListener* listener, std::shared_ptr<IndexGate> gate)
        : GatedListenerMember(listener, gate), CContractLibrary(&gatedListener), m_target(listener),
          m_gate(std::move(gate))
    {
    }
    ~CGatedLibrary() override { m_gate->Forget(m_target); }
    int GetKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos) override
    {
        bool fails = false;
        {
            std::lock_guard lock(m_gate->mutex);
            fails = m_gate->closed || m_gate->result == 0;
        }
        if (fails) {
            ++m_gate->failedLookups;
            return 0;
        }
        return CContractLibrary::GetKeyFramePosByAbsTime(time, pos);
    }

private:
    PLAY_MODULE::IPlayModuleListener* m_target;
    std::shared_ptr<IndexGate> m_gate;
};

boost::shared_ptr<CPlayManager> GatedPlayManager(const std::shared_ptr<IndexGate>& gate)
{
    CPlayBackends backends;
    backends.library = [gate](PLAY_MODULE::IPlayModuleListener* listener) {
        return std::make_unique<CGatedLibrary>(listener, gate);
    };
    return CPlayManager::Create(backends);
}

// The page's three logics over recordings of recorder "REC": channel 2 (two
// recordings of 6 s), channel 5 extra 1 (12 s), channel 3 main and extra 1,
// and a single file.
class UILogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        ASSERT_TRUE(folder.MakeFolder("rec"));
        ASSERT_TRUE(folder.MakeFolder("out"));
        const std::string rec = folder.File("rec");
        first = Make(rec, kStartMs, 6, 2, 0);
        second = Make(rec, kStartMs + 6000, 6, 2, 0);
        extra = Make(rec, kStartMs, 12, 5, 1);
        Make(rec, kStartMs, 4, 3, 0);
        Make(rec, kStartMs, 4, 3, 1);
        single = rec + "/single.kvx";
        ASSERT_TRUE(KVX_WRITER::WriteSyntheticRecording(SmallOptions(4), single));

        StartLoops();
        manager = boost::make_shared<CFileManager>(nullptr);
        int noMatch = 1;
        ASSERT_TRUE(manager->LoadPath((Utf8ToWide(rec) + L"/*.*").c_str(), &noMatch));
        std::list<_SINGLE_FILE_INFO> singles;
        manager->GetSingleFileList(&singles, nullptr);
        ASSERT_EQ(singles.size(), 1u);
        singleId = singles.front().fileId;
        SF_SOFT_BASE::CSFDateTime start;
        start.FromTime(kT0);
        day = GetDayKey(start);

        page = boost::make_shared<CExportPageDouble>();
        ui = boost::make_shared<CExportViewUILogic>();
        play = boost::make_shared<CExportViewPlayLogic>(UsesIndexGate() ? GatedPlayManager(gate)
                                                                          : ContractPlayManager());
        exporter = boost::make_shared<CExportViewExportLogic>();
        ui->SetPage(page);
        ui->SetPlayLogic(play);
        ui->SetExportLogic(exporter);
        ui->SetFileManager(manager);
        play->SetUILogic(ui);
        exporter->SetListener(ui);
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notes.push_back(text); });
    }
    void TearDown() override
    {
        SetNotifyMessageHandler({});
        ui->DeleteFilesAll();
        Settle(ML_PLAY);
        Settle(ML_PLAY);
        StopLoops();
    }

    virtual bool UsesIndexGate() const { return false; }

    std::string Make(const std::string& rec, std::int64_t startMs, double seconds, int channel, int stream)
    {
        KVX_WRITER::SyntheticOptions options = SmallOptions(seconds);
        options.startUtcMs = startMs;
        return MakeRecording(rec, options, "REC", channel, stream);
    }

    // Until the tree is unlocked and every answer has arrived.
    void Idle()
    {
        ASSERT_TRUE(ProcessUntil([&] {
            return ui->GetBusyState() == 0 && !page->checkableCalls.empty() && page->checkableCalls.back() == 1;
        }));
        Settle(ML_PLAY);
        Settle(ML_PLAY);
    }
    // The key and record of a recording.
    std::pair<int, _EXPORT_FILE_INFO> RecordOf(const std::string& path, int isChannelFile = 1) const
    {
        for (const auto& [key, record] : ui->GetFileTable())
            if (record.fileInfo.GetPathString() == Utf8ToWide(path) && record.isChannelFile == isChannelFile)
                return {key, record};
        return {0, {}};
    }
    const _EXPORT_HANDLE_INFO* HandleOf(const std::string& path, int isChannelFile = 1) const
    {
        const auto found = ui->GetHandleTable().find(RecordOf(path, isChannelFile).second.playHandle);
        return found == ui->GetHandleTable().end() ? nullptr : &found->second;
    }
    bool Plays(const std::string& path, int isChannelFile = 1) const
    {
        const _EXPORT_HANDLE_INFO* handle = HandleOf(path, isChannelFile);
        return handle && handle->state == 0;
    }
    std::wstring RowName(const std::string& path, int isChannelFile = 1) const
    {
        const auto row = page->timeLine->rows.find(RecordOf(path, isChannelFile).second.lineId);
        return row == page->timeLine->rows.end() ? L"" : row->second.name;
    }
    bool WaitForResult()
    {
        return ProcessUntil(
            [&] { return !page->results.empty() || (!page->controls.empty() && page->controls.back() == "stopped"); },
            60000);
    }

    std::shared_ptr<IndexGate> gate = std::make_shared<IndexGate>();
    TempFolder folder;
    std::string first;
    std::string second;
    std::string extra;
    std::string single;
    int singleId = 0;
    int day = 0;
    std::vector<std::wstring> notes;
    boost::shared_ptr<CFileManager> manager;
    boost::shared_ptr<CExportPageDouble> page;
    boost::shared_ptr<CExportViewUILogic> ui;
    boost::shared_ptr<CExportViewPlayLogic> play;
    boost::shared_ptr<CExportViewExportLogic> exporter;
};

// The same over libraries whose index reports wait for the test, and
// recordings without footers, so that every lookup asks a library.
class UILogicGatedIndexTest : public UILogicTest {
protected:
    bool UsesIndexGate() const override { return true; }
    void SetUp() override
    {
        UILogicTest::SetUp();
        for (const std::string& path : {first, second, extra})
            StripFooter(path);
    }
    void TearDown() override
    {
        gate->Release(1);
        UILogicTest::TearDown();
    }
};

}  // namespace

TEST_F(UILogicTest, ClosingThePageSavesTheIndexOfARecordingWithoutOne)
{
    const std::wstring recording = Utf8ToWide(first);
    const std::string indexFile = SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(recording));
    std::filesystem::remove(indexFile);
    ASSERT_FALSE(IsIndexFileValid(recording));
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    ASSERT_TRUE(ProcessUntil([&] { return HandleOf(first)->isIndexReady; }));
    ui->SaveRefAll();
    Settle(ML_PLAY);
    EXPECT_TRUE(IsIndexFileValid(recording));
    std::filesystem::remove(indexFile);
    std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(Utf8ToWide(second))));
}

TEST_F(UILogicGatedIndexTest, KeyFramesAreLookedUpUntilTheIndexIsBuiltOrHasFailed)
{
    ui->SetAnalyseRetryInterval(5);
    const std::wstring out = Utf8ToWide(folder.File("out"));
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    // Lookups asked while the index is built keep coming, however many fail.
    ui->StartExport(2, out, kT0, kT0 + 3, 6);
    const int many = 3 * CExportViewUILogic::kAnalyseRetries / 360;  // far more than a fixed few
    ASSERT_TRUE(ProcessUntil([&] { return gate->failedLookups > many || !page->results.empty(); }, 120000));
    EXPECT_TRUE(page->results.empty());
    EXPECT_EQ(ui->IsExporting(), 1);
    // Built: the next lookup finds the key frames and the export runs.
    gate->Release(1);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    EXPECT_EQ(FilesIn(folder.File("out")).size(), 1u);

    // An index that failed ends the retries: the export fails.
    ui->CloseChannel(kGroup, day, kChannel2);
    Idle();
    {
        std::lock_guard lock(gate->mutex);
        gate->closed = true;
    }
    ui->OpenChannel(kGroup, day, kChannel5Extra1);
    Idle();
    page->results.clear();
    const int before = gate->failedLookups;
    ui->StartExport(2, out, kT0, kT0 + 3, 6);
    ASSERT_TRUE(ProcessUntil([&] { return gate->failedLookups > before + 3; }));
    EXPECT_TRUE(page->results.empty());
    gate->Release(0);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{2});
    EXPECT_EQ(ui->IsExporting(), 0);
}

// Many recordings, half of them without footers: those with one are answered
// without opening them, the others as soon as their index is built; no
// lookup waits on the fallback timer (an hour here). The progress tells how
// much of the span is prepared.
TEST_F(UILogicGatedIndexTest, AnExportFindsTheSpansOfManyRecordingsWithoutWaitingOnATimer)
{
    constexpr int kFiles = 16;
    ASSERT_TRUE(folder.MakeFolder("day"));
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        paths.push_back(Make(folder.File("day"), kStartMs + 100000 + std::int64_t(i) * 2000, 2, kChannel7, 0));
        if (i % 2 == 0)
            StripFooter(paths.back());
    }
    int noMatch = 1;
    ASSERT_TRUE(manager->LoadPath((Utf8ToWide(folder.File("day")) + L"/*.*").c_str(), &noMatch));
    ui->SetAnalyseRetryInterval(3600000);
    ui->OpenChannel(kGroup, day, kChannel7);
    Idle();
    const int made = g_librariesMade;
    ui->StartExport(2, Utf8ToWide(folder.File("out")), kT0 + 100, kT0 + 1000, 6);
    ASSERT_TRUE(ProcessUntil([&] { return gate->failedLookups > 0; }));
    gate->Release(1);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    EXPECT_EQ(FilesIn(folder.File("out")).size(), std::size_t(kFiles));
    // The one that plays was open already.
    EXPECT_EQ(g_librariesMade - made, kFiles / 2 - 1);
    ASSERT_FALSE(page->prepared.empty());
    EXPECT_EQ(page->prepared.front(), 0);
    EXPECT_EQ(page->prepared.back(), 100);
    EXPECT_TRUE(std::is_sorted(page->prepared.begin(), page->prepared.end()));
}

// A stop ends at once the lookups that wait for their index, not when the
// fallback timer (an hour here) fires; the files opened for them close.
TEST_F(UILogicGatedIndexTest, AStopEndsTheLookupsThatWaitForTheirIndex)
{
    ui->SetAnalyseRetryInterval(3600000);
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    ui->StartExport(2, Utf8ToWide(folder.File("out")), kT0, kT0 + 100, 6);
    ASSERT_TRUE(ProcessUntil([&] { return HandleOf(first)->awaitsIndex && HandleOf(second)->awaitsIndex; }));
    ui->StopExport();
    ASSERT_TRUE(ProcessUntil([&] { return page->controls.back() == "stopped"; }));
    EXPECT_EQ(ui->IsExporting(), 0);
    EXPECT_TRUE(page->results.empty());
    Settle(ML_PLAY);
    Settle(ML_EXPORT);
    EXPECT_TRUE(FilesIn(folder.File("out")).empty());
    EXPECT_EQ(g_liveLibraries, 1);
}

TEST_F(UILogicTest, TheTreeOpensOneDayOrOneFileAtATimeAndPlaysOneRecording)
{
    ui->OpenChannel(kGroup, day, kChannel2);
    EXPECT_EQ(ui->GetBusyState(), CExportViewUILogic::BUSY_OPEN_CHANNEL);
    Idle();
    const auto [firstKey, firstRecord] = RecordOf(first);
    EXPECT_TRUE(Plays(first));
    EXPECT_TRUE(RecordOf(second).second.isOpen);
    EXPECT_FALSE(Plays(second));
    // The index of the one that plays comes ready; the other is not open.
    EXPECT_TRUE(ProcessUntil([&] { return HandleOf(first)->isIndexReady != 0; }));
    EXPECT_EQ(HandleOf(second)->isIndexReady, 0);
    EXPECT_EQ(RowName(first), L"Channel:2_main");
    EXPECT_EQ(page->timeLine->rows[firstRecord.lineId].segments.size(), 2u);
    EXPECT_EQ(page->playing.back(), firstRecord.lineId);
    EXPECT_EQ((page->hilights[{kGroup, day, kChannel2, 1}]), 1);
    // The cut marks stand at the span, moved only when a bound changed.
    ASSERT_FALSE(page->cutTimes.empty());
    EXPECT_EQ(ui->GetSpanStart(), kT0);
    EXPECT_GE(ui->GetSpanEnd(), kT0 + 10);
    std::map<int, unsigned> lastCut;
    for (std::size_t i = 0; i < page->cutTimes.size(); ++i) {
        const auto [which, time] = page->cutTimes[i];
        if (lastCut.count(which)) {
            EXPECT_NE(lastCut[which], time) << i;
        }
        lastCut[which] = time;
    }
    EXPECT_EQ(lastCut[0], ui->GetSpanStart());
    EXPECT_EQ(lastCut[1], ui->GetSpanEnd());

    // Another channel of the same day: the first stays open, stopped.
    ui->OpenChannel(kGroup, day, kChannel5Extra1);
    Idle();
    EXPECT_TRUE(Plays(extra));
    EXPECT_TRUE(RecordOf(first).second.isOpen);
    EXPECT_FALSE(Plays(first));
    EXPECT_EQ((page->hilights[{kGroup, day, kChannel2, 1}]), 0);
    EXPECT_EQ(RowName(extra), L"Channel:5_extra1");

    // A single file closes everything else.
    ui->OpenSingleFile(singleId);
    Idle();
    EXPECT_TRUE(Plays(single, 0));
    EXPECT_FALSE(RecordOf(first).second.isOpen);
    EXPECT_FALSE(RecordOf(extra).second.isOpen);
    // A single file's row waits for the times its library reports on its own.
    EXPECT_TRUE(ProcessUntil([&] { return !RowName(single, 0).empty(); }));
    EXPECT_EQ(RowName(single, 0), L"single.kvx");
    EXPECT_EQ(RowName(first), L"");
    EXPECT_EQ((page->checks[{kGroup, day, kChannel2, 1}]), 0);
    EXPECT_EQ((page->checks[{kGroup, day, kChannel5Extra1, 1}]), 0);

    // Checking a channel again reopens its records on their play objects.
    const std::size_t records = ui->GetFileTable().size();
    void* handle = RecordOf(first).second.playHandle;
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    EXPECT_EQ(ui->GetFileTable().size(), records);
    EXPECT_EQ(RecordOf(first).second.playHandle, handle);
    EXPECT_TRUE(Plays(first));
    EXPECT_FALSE(RecordOf(single, 0).second.isOpen);

    // Channel 3: the labels of a main and an extra stream.
    ui->OpenDay(kGroup, day);
    Idle();
    std::set<std::wstring> labels;
    for (const auto& [lineId, row] : page->timeLine->rows)
        labels.insert(row.name);
    EXPECT_TRUE(labels.count(L"Channel:3_main"));
    EXPECT_TRUE(labels.count(L"Channel:3_extra1"));
    EXPECT_EQ(labels.size(), 4u);

    // Unchecking the day closes all of it.
    ui->CloseDay(kGroup, day);
    EXPECT_EQ(ui->GetBusyState(), CExportViewUILogic::BUSY_CLOSE_DAY);
    Idle();
    EXPECT_TRUE(page->timeLine->rows.empty());
    EXPECT_EQ(ui->GetSpanStart(), 0u);
}

// A channel of many short recordings: only the one that plays has a library,
// the others are their records (rows of the time line all the same); an
// export opens them a few at a time.
TEST_F(UILogicTest, OnlyTheRecordingThatPlaysIsOpenAndAnExportOpensTheOthersAFewAtATime)
{
    constexpr std::size_t kFiles = 12;
    ASSERT_TRUE(folder.MakeFolder("day"));
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < kFiles; ++i)
        paths.push_back(Make(folder.File("day"), kStartMs + 100000 + std::int64_t(i) * 2000, 2, kChannel7, 0));
    int noMatch = 1;
    ASSERT_TRUE(manager->LoadPath((Utf8ToWide(folder.File("day")) + L"/*.*").c_str(), &noMatch));
    ui->OpenChannel(kGroup, day, kChannel7);
    Idle();
    EXPECT_TRUE(Plays(paths[0]));
    EXPECT_EQ(g_liveLibraries, 1);
    EXPECT_EQ(page->timeLine->rows[RecordOf(paths[0]).second.lineId].segments.size(), kFiles);
    // The end of one opens the next and closes the ended one.
    ui->OnFileEnd(RecordOf(paths[0]).second.playHandle);
    ASSERT_TRUE(ProcessUntil([&] { return Plays(paths[1]); }));
    Idle();
    EXPECT_EQ(g_liveLibraries, 1);

    g_mostLiveLibraries = 0;
    ui->StartExport(2, Utf8ToWide(folder.File("out")), kT0 + 100, kT0 + 1000, 6);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    EXPECT_EQ(FilesIn(folder.File("out")).size(), kFiles);
    EXPECT_LE(g_mostLiveLibraries, int(1 + CExportViewPlayLogic::kLookupOpens));
    Settle(ML_PLAY);
    EXPECT_EQ(g_liveLibraries, 1);
    // A stop right after the begin drops the lookups still waiting: only
    // those already under way open their recordings.
    ASSERT_TRUE(folder.MakeFolder("stopped"));
    page->controls.clear();
    const int made = g_librariesMade;
    ui->StartExport(2, Utf8ToWide(folder.File("stopped")), kT0 + 100, kT0 + 1000, 6);
    ui->StopExport();
    ASSERT_TRUE(ProcessUntil([&] { return !page->controls.empty() && page->controls.back() == "stopped"; }));
    Settle(ML_PLAY);
    Settle(ML_PLAY);
    EXPECT_LE(g_librariesMade - made, int(CExportViewPlayLogic::kLookupOpens));
    EXPECT_EQ(page->results, std::vector<int>{1});
    EXPECT_TRUE(FilesIn(folder.File("stopped")).empty());
    EXPECT_EQ(ui->IsExporting(), 0);
    // A recording that no longer opens fails the export.
    WriteFile(paths.back(), std::string(100000, 'x'));
    ASSERT_TRUE(folder.MakeFolder("out2"));
    page->results.clear();
    ui->StartExport(2, Utf8ToWide(folder.File("out2")), kT0 + 100, kT0 + 1000, 6);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{2});
    Settle(ML_PLAY);
    EXPECT_EQ(g_liveLibraries, 1);
    // Closed, the channel keeps no library; the page's close lets go of
    // every record.
    ui->CloseChannel(kGroup, day, kChannel7);
    Idle();
    EXPECT_EQ(g_liveLibraries, 0);
    ui->DeleteFilesAll();
    ASSERT_TRUE(ProcessUntil([&] { return page->resets == 1; }));
    EXPECT_TRUE(ui->HasNoPlayHandle());
    EXPECT_TRUE(ui->GetFileTable().empty());
    EXPECT_TRUE(page->timeLine->rows.empty());
}

// A channel of a day's one-minute recordings: each tree operation updates
// a row, the span and the player once, however many recordings it took.
TEST_F(UILogicTest, ATreeOperationUpdatesTheTimeLineAndThePlayerOnceForAllItsRecordings)
{
    constexpr int kMinutes = 30;
    ASSERT_TRUE(folder.MakeFolder("minutes"));
    ASSERT_TRUE(folder.MakeFolder("source"));
    const std::string minutes = folder.File("minutes");
    const std::string source = Make(folder.File("source"), kStartMs + 3600000, 2, kChannel7, 0);
    for (int minute = 0; minute < kMinutes; ++minute) {
        const std::int64_t start = kStartMs + 3600000 + std::int64_t(minute) * 60000;
        std::filesystem::create_hard_link(
            source, minutes + "/" + KVX_WRITER::RecordingFileName("REC", kChannel7, 0, start, start + 60000));
    }
    const std::string other = Make(minutes, kStartMs + 3600000, 2, 8, 0);
    int noMatch = 1;
    ASSERT_TRUE(manager->LoadPath((Utf8ToWide(minutes) + L"/*.*").c_str(), &noMatch));
    ui->SetPageUpdateInterval(600000);  // only the operations' ends update the page
    ui->OpenChannel(kGroup, day, 8);
    Idle();
    const int otherLine = RecordOf(other).second.lineId;

    page->cutTimes.clear();
    page->timeLine->segmentsSet = 0;
    ui->OpenChannel(kGroup, day, kChannel7);
    Idle();
    int line = 0;
    for (const auto& [key, record] : ui->GetFileTable())
        line = record.channelKey == kChannel7 ? record.lineId : line;
    EXPECT_EQ(page->timeLine->rows[line].segments.size(), std::size_t(kMinutes));
    EXPECT_LE(page->timeLine->segmentsSet, std::size_t(kMinutes + 1));
    EXPECT_LE(page->cutTimes.size(), 2u);
    EXPECT_EQ(ui->GetSpanEnd(), kT0 + 3600 + kMinutes * 60);

    // Closing it removes its row and plays the channel still open, once.
    const std::size_t shown = page->playing.size();
    const int removals = page->timeLine->removals;
    ui->CloseChannel(kGroup, day, kChannel7);
    Idle();
    EXPECT_EQ(page->timeLine->removals, removals + 1);
    EXPECT_EQ(page->playing.size(), shown + 1);
    EXPECT_EQ(page->playing.back(), otherLine);
    EXPECT_EQ(page->timeLine->rows.count(line), 0u);
    EXPECT_EQ(ui->GetSpanEnd(), kT0 + 3602);
}

TEST_F(UILogicTest, PlayMovesAlongTheChannelAndSeeksOnlyInsideARecording)
{
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    ASSERT_TRUE(Plays(first));
    ui->OnFileEnd(RecordOf(first).second.playHandle);
    ASSERT_TRUE(ProcessUntil([&] { return Plays(second); }));
    EXPECT_FALSE(Plays(first));
    // After the last recording play starts over with the first.
    ui->OnFileEnd(RecordOf(second).second.playHandle);
    ASSERT_TRUE(ProcessUntil([&] { return Plays(first); }));
    Idle();

    // Bounds are strict: the second recording's first second is outside it.
    const _EXPORT_HANDLE_INFO secondTimes = *HandleOf(second);
    ui->Seek(secondTimes.startTime, 0);
    Settle(ML_PLAY);
    EXPECT_TRUE(Plays(first));
    ui->Seek(secondTimes.startTime + 1, 0);
    ASSERT_TRUE(ProcessUntil([&] { return Plays(second); }));
    EXPECT_FALSE(Plays(first));

    // A double click on a channel that plays already does nothing; on one
    // with nothing open it unlocks the tree at once.
    const std::size_t calls = page->checkableCalls.size();
    ui->PlayChannel(kGroup, day, kChannel2);
    EXPECT_EQ(page->checkableCalls.size(), calls);
    ui->PlayChannel(kGroup, day, kChannel5Extra1);
    EXPECT_EQ(page->checkableCalls.size(), calls + 2);
    EXPECT_EQ(page->checkableCalls.back(), 1);
    EXPECT_EQ(ui->GetBusyState(), 0);
}

// Once nothing is left open, the player's button shows play, not pause.
TEST_F(UILogicTest, ClosingEverythingLeavesThePlayButtonShowingPlay)
{
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    ui->OpenChannel(kGroup, day, kChannel5Extra1);
    Idle();
    ASSERT_TRUE(page->playButtonShowsPause);
    ui->CloseChannel(kGroup, day, kChannel5Extra1);
    Idle();
    EXPECT_TRUE(page->playButtonShowsPause);  // channel 2 of the day plays on
    ui->CloseChannel(kGroup, day, kChannel2);
    Idle();
    EXPECT_FALSE(page->playButtonShowsPause);

    ui->OpenSingleFile(singleId);
    Idle();
    ASSERT_TRUE(page->playButtonShowsPause);
    ui->CloseSingleFile(singleId);
    Idle();
    EXPECT_FALSE(page->playButtonShowsPause);
}

TEST_F(UILogicTest, AFileGoneFromDiskIsUncheckedAndTheTreeStaysUsable)
{
    std::filesystem::remove(single);
    ui->OpenSingleFile(singleId);
    Idle();
    EXPECT_EQ((page->checks[{L"", singleId, -1, 2}]), 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes.front(), L"Open the video file unsuccessfully");
    EXPECT_FALSE(RecordOf(single, 0).second.isOpen);
    // The tree answers the next operation.
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    EXPECT_TRUE(Plays(first));
}

TEST_F(UILogicTest, ExportsWriteNamedClipsOfTheClampedSpan)
{
    const std::wstring out = Utf8ToWide(folder.File("out"));
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    // A span from inside the first recording to past the channel's end: the
    // second recording is cut to its own end.
    const std::uint32_t start = kT0 + 3;
    const std::uint32_t end = kT0 + 100;
    ui->StartExport(2, out + L"/", start, end, 6);
    EXPECT_EQ(page->controls, std::vector<std::string>{"started"});
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    EXPECT_EQ(page->progress.back(), 100);
    const _EXPORT_HANDLE_INFO firstTimes = *HandleOf(first);
    const _EXPORT_HANDLE_INFO secondTimes = *HandleOf(second);
    const std::wstring firstClip = L"REC@ch2@main_" + Stamp(start) + L"_" + Stamp(firstTimes.endTime) + L".kvx";
    const std::wstring secondClip =
        L"REC@ch2@main_" + Stamp(secondTimes.startTime) + L"_" + Stamp(secondTimes.endTime) + L".kvx";
    const std::string firstPath = folder.File("out/" + SF_SOFT_BASE::WideToUtf8(firstClip));
    const std::string secondPath = folder.File("out/" + SF_SOFT_BASE::WideToUtf8(secondClip));
    ASSERT_TRUE(std::filesystem::exists(firstPath));
    ASSERT_TRUE(std::filesystem::exists(secondPath));
    // The first clip begins at the key frame at or before 3 s (2 s) and runs
    // to the file's end; the second is its whole recording.
    // Each ends with the key-frame footer of its own records, so the whole
    // recording is copied as it is.
    const std::string source = ReadBytes(first);
    const std::string clip = ReadBytes(firstPath);
    const std::size_t sourceRecords = CheckClip(first).recordsEnd;
    const std::size_t clipRecords = CheckClip(firstPath).recordsEnd;
    ASSERT_GT(clipRecords, 0u);
    EXPECT_LT(clipRecords, sourceRecords);
    EXPECT_EQ(source.substr(sourceRecords - clipRecords, clipRecords), clip.substr(0, clipRecords));
    EXPECT_EQ(ReadBytes(secondPath), ReadBytes(second));
    for (const std::string& path : {firstPath, secondPath}) {
        const ClipCheck check = CheckClip(path);
        EXPECT_EQ(check.errors, 0) << path;
        EXPECT_TRUE(check.endsSigned) << path;
        EXPECT_TRUE(check.footer) << path;
    }

    // AVI: one clip per recording, lasting its cut span.
    std::filesystem::remove_all(folder.File("out"));
    ASSERT_TRUE(folder.MakeFolder("out"));
    page->results.clear();
    ui->StartExport(3, out, kT0, kT0 + 3, 6);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    const std::string avi =
        folder.File("out/" + SF_SOFT_BASE::WideToUtf8(L"REC@ch2@main_" + Stamp(kT0) + L"_" + Stamp(kT0 + 3) + L".avi"));
    double seconds = 0;
    EXPECT_GT(CountVideoPackets(avi, &seconds), 0);
    EXPECT_GE(seconds, 3.0);
    EXPECT_LE(seconds, 6.5);
    EXPECT_EQ(FilesIn(folder.File("out")).size(), 1u);

    // JPG every 6 s of channel 5 extra 1 into its channel folder (channel 2,
    // open beside it, into its own).
    ui->OpenChannel(kGroup, day, kChannel5Extra1);
    Idle();
    page->results.clear();
    ui->StartExport(0, out, kT0, kT0 + 100, 6);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    const std::vector<std::string> pictures = FilesIn(folder.File("out/16777221"));
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(Utf8ToWide(pictures[0]), Stamp(kT0) + L".jpg");
    EXPECT_EQ(Utf8ToWide(pictures[1]), Stamp(kT0 + 6) + L".jpg");
    EXPECT_EQ(FilesIn(folder.File("out/2")).size(), 2u);

    // A single file writes into the folder itself, named after the file.
    ui->OpenSingleFile(singleId);
    Idle();
    // Its times come from the library once it plays.
    ASSERT_TRUE(ProcessUntil([&] {
        const _EXPORT_HANDLE_INFO* handle = HandleOf(single, 0);
        return handle && handle->hasTimes;
    }));
    page->results.clear();
    ui->StartExport(1, out, kT0, kT0 + 100, 1);
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(page->results, std::vector<int>{1});
    std::vector<std::string> names = FilesIn(folder.File("out"));
    ASSERT_EQ(names.size(), 3u + 4u);  // folders 2 and 16777221, the AVI, 4 BMPs
    for (std::uint32_t second = 0; second < 4; ++second)
        EXPECT_EQ(Utf8ToWide(names[2 + second]), Stamp(kT0 + second) + L".bmp");
}

TEST_F(UILogicTest, ExportsThatCannotStartOrAreStoppedEarly)
{
    const std::wstring out = Utf8ToWide(folder.File("out"));
    // Nothing open.
    ui->StartExport(2, out, kT0, kT0 + 100, 6);
    EXPECT_EQ(page->results, std::vector<int>{0});

    // A span that meets no open recording.
    ui->OpenChannel(kGroup, day, kChannel2);
    Idle();
    page->results.clear();
    ui->StartExport(2, out, kT0 + 1000, kT0 + 2000, 6);
    EXPECT_EQ(page->results, std::vector<int>{0});

    // A stop while the key frames are looked up: nothing reaches the engine.
    page->results.clear();
    ui->StartExport(2, out, kT0, kT0 + 100, 6);
    ui->StopExport();
    EXPECT_EQ(page->controls, (std::vector<std::string>{"started", "disabled"}));
    ASSERT_TRUE(ProcessUntil([&] { return page->controls.back() == "stopped"; }));
    Settle(ML_EXPORT);
    EXPECT_TRUE(page->results.empty());
    EXPECT_TRUE(FilesIn(folder.File("out")).empty());
    EXPECT_EQ(ui->IsExporting(), 0);

    // A recording of 4 GiB among three: no analysis, code 3.
    ui->OpenDay(kGroup, day);
    Idle();
    ASSERT_EQ(::truncate(second.c_str(), off_t(4) << 30), 0);
    page->controls.clear();
    ui->StartExport(2, out, kT0, kT0 + 100, 6);
    EXPECT_EQ(page->results, std::vector<int>{3});
    EXPECT_TRUE(page->controls.empty());
    EXPECT_EQ(ui->IsExporting(), 0);
    Settle(ML_PLAY);
    EXPECT_TRUE(FilesIn(folder.File("out")).empty());
}

TEST_F(UILogicTest, TheUserIsToldWhereAClipCutShortIsKeptAndHowManyPicturesWereRenamed)
{
    ui->OnExportClipCut("/out/a.kvx", "/out/a_incomplete.kvx");
    ui->OnExportClipCut("/out/b.avi", "");
    ui->OnExportPicturesRenamed("/out/16777221", 199);
    ui->OnExportClipRenamed("/out/c.avi", "/out/c(1).avi");
    EXPECT_EQ(notes, (std::vector<std::wstring>{
                         L"The clip cut short is kept as /out/a_incomplete.kvx",
                         L"The clip cut short was removed: /out/b.avi",
                         L"199 pictures were saved under new names, as theirs were taken, in /out/16777221",
                         L"The clip was saved under a new name, as its own was taken: /out/c(1).avi"}));
}

// A failure because nothing in a recording played names it; a later
// failure of another cause does not.
TEST_F(UILogicTest, AnExportThatFoundNothingToPlayNamesTheRecording)
{
    ui->OnExportNothingPlayable("/rec/REC_ch1_20160102080000_20160102080100.ts");
    ui->OnExportFailed(0);
    ui->OnExportFailed(0);
    EXPECT_EQ(page->results, (std::vector<int>{5, 2}));
    EXPECT_EQ(page->unplayableFiles, std::vector<std::wstring>{L"REC_ch1_20160102080000_20160102080100.ts"});
}

TEST_F(UILogicTest, AFileTheLibraryRefusesIsUncheckedAndTheTreeUnlocked)
{
    // Readable, but no recording: the library refuses to open it.
    WriteFile(single, std::string(100000, 'x'));
    ui->OpenSingleFile(singleId);
    Idle();
    EXPECT_EQ((page->checks[{L"", singleId, -1, 2}]), 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes.front(), L"Open the video file unsuccessfully");
    EXPECT_EQ(RecordOf(single, 0).first, 0);  // its play object and record are gone
    EXPECT_TRUE(ui->HasNoPlayHandle());
}
