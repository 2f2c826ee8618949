#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <filesystem>

#include <spawn.h>
#include <sys/wait.h>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFDateTime.h"
#include "Common/LeftTemporaries.h"
#include "Export/ExportObject.h"
#include "Export/ExportTestSupport.h"
#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Source/AvIndexScanner.h"
#include "Platform/PlayModule/Source/FFmpegMediaSource.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Stream/ContainerRangeReader.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/FullDecode.h"
#include "Support/ProcessUntil.h"
#include "Support/SyncLog.h"
#include "Support/TempFolder.h"

using namespace LumivexBase;
using namespace EXPORT_TEST;

namespace {

constexpr std::uint32_t kStartSeconds = 1451703845;  // the synthetic source's first second

std::string LocalStamp(std::uint32_t seconds)
{
    SF_SOFT_BASE::CSFDateTime time;
    time.FromTime(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

// Stops the engine after a number of its steps: it re-posts itself behind
// each step of the engine's chain.
struct StepStopper {
    void Run()
    {
        if (--steps > 0) {
            SF_POST_TASK(ML_EXPORT, &StepStopper::Run, self.lock());
            return;
        }
        engine->StopConvert();
    }
    int steps = 0;
    boost::shared_ptr<ExportObject> engine;
    boost::weak_ptr<StepStopper> self;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        StartLoops();
        engine = boost::make_shared<ExportObject>();
        listener = boost::make_shared<CListenerDouble>();
        engine->SetListener(listener);
    }
    void TearDown() override { StopLoops(); }

    void Add(std::uint32_t type, const std::string& src, const std::string& dst, std::uint64_t start,
             std::uint64_t end, int interval = 0, unsigned startTime = 0, unsigned fileStart = 0,
             unsigned endTime = 0)
    {
        auto target = engine;
        PostTaskToLoop(ML_EXPORT, MakeTask<int>([=] {
                           target->AddFile(int(type), src, dst, start, end, interval, startTime, endTime, fileStart);
                       }),
                       __FILE__, __LINE__, "&ExportObject::AddFile", "EngineTest");
    }
    // Runs one job; the reports it gave.
    std::vector<std::string> RunJob(std::uint32_t type, const std::string& src, const std::string& dst,
                                    std::uint64_t start, std::uint64_t end, int interval = 0, unsigned startTime = 0,
                                    unsigned fileStart = 0, unsigned endTime = 0)
    {
        listener->events.clear();
        Add(type, src, dst, start, end, interval, startTime, fileStart, endTime);
        return Run() ? listener->events : std::vector<std::string>{"no end"};
    }
    void Start() { SF_POST_TASK(ML_EXPORT, &ExportObject::Export, engine); }
    bool Run()
    {
        Start();
        return WaitForEnd(*listener);
    }
    void StopAfter(int steps)
    {
        auto stopper = boost::make_shared<StepStopper>();
        stopper->steps = steps;
        stopper->engine = engine;
        stopper->self = stopper;
        SF_POST_TASK(ML_EXPORT, &StepStopper::Run, stopper);
    }
    std::string Out(const std::string& name) const { return folder.File("out/" + name); }
    std::uint64_t SizeOf(const std::string& path) const { return std::filesystem::file_size(path); }

    TempFolder folder;
    boost::shared_ptr<ExportObject> engine;
    boost::shared_ptr<CListenerDouble> listener;
};

using Events = std::vector<std::string>;

// 24 s of 352x288 at 1 Mbit/s: about 3 MiB, a key frame every 2 s.
KVX_WRITER::SyntheticOptions ThreeMegabyteOptions()
{
    KVX_WRITER::SyntheticOptions options = SmallOptions(24);
    options.width = 352;
    options.height = 288;
    options.bitrateKbps = 1024;
    return options;
}

// Runs the export child with the arguments; its wait status.
int RunChild(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    std::string program = EXPORT_CHILD;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST_F(EngineTest, RawJobsCopyTheirBytesAndReportProgressOverTheWholeExport)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::vector<int> sizes = {10, 20, 70};
    for (int size : sizes) {
        const std::string name = std::to_string(size) + ".bin";
        std::string bytes;
        for (int i = 0; i < size; ++i)
            bytes += char(i * 7 + size);
        WriteFile(folder.File(name), bytes);
        Add(EXPORT_TYPE_RAW, folder.File(name), Out(name), 0, std::uint64_t(size));
    }
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, Events{"end"});
    EXPECT_EQ(listener->progress, (std::vector<int>{10, 30, 100}));
    for (int size : sizes) {
        const std::string name = std::to_string(size) + ".bin";
        EXPECT_EQ(ReadFile(Out(name)), ReadFile(folder.File(name)));
    }
    EXPECT_EQ(FilesIn(folder.File("out")).size(), 3u);  // no temporaries left

    // An empty range gives an empty file and no progress.
    listener->progress.clear();
    listener->events.clear();
    Add(EXPORT_TYPE_RAW, folder.File("70.bin"), Out("empty.kvx"), 20, 20);
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, Events{"end"});
    EXPECT_TRUE(listener->progress.empty());
    ASSERT_TRUE(std::filesystem::exists(Out("empty.kvx")));
    EXPECT_EQ(SizeOf(Out("empty.kvx")), 0u);

    // A stop while idle reports nothing.
    listener->events.clear();
    SF_POST_TASK(ML_EXPORT, &ExportObject::StopConvert, engine);
    Settle(ML_EXPORT);
    EXPECT_TRUE(listener->events.empty());
}

TEST_F(EngineTest, RawCopyNeedsMoreFreeSpaceThanItsRange)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    WriteFile(folder.File("src.bin"), std::string(70, 'x'));
    struct Case {
        std::uint64_t free;
        Events events;
        bool written;
    };
    for (const Case& c : {Case{70, {"stop", "failed"}, false}, Case{71, {"end"}, true}}) {
        listener->events.clear();
        engine->SetFreeSpaceQuery([&](const std::string&) { return c.free; });
        const std::string out = Out("free" + std::to_string(c.free) + ".kvx");
        Add(EXPORT_TYPE_RAW, folder.File("src.bin"), out, 0, 70);
        ASSERT_TRUE(Run()) << c.free;
        EXPECT_EQ(listener->events, c.events) << c.free;
        EXPECT_EQ(std::filesystem::exists(out), c.written) << c.free;
    }
}

TEST_F(EngineTest, BrokenJobsFailWithoutHangingOrLeavingClips)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    WriteFile(folder.File("short.bin"), std::string(100, 'x'));
    WriteFile(folder.File("garbage.mp4"), std::string(5000, 'g'));
    struct Case {
        std::uint32_t type;
        std::string source;
        std::string target;
        std::uint64_t start;
        std::uint64_t end;
        Events events;
    };
    const std::vector<Case> cases = {
        {EXPORT_TYPE_RAW, folder.File("missing.kvx"), Out("a.kvx"), 0, 10, {"stop", "failed"}},
        {EXPORT_TYPE_RAW, folder.File("short.bin"), Out("b.kvx"), 0, 5000, {"stop", "failed"}},
        {EXPORT_TYPE_RAW, folder.File("garbage.mp4"), Out("c.kvx"), 100, 4000, {"stop", "failed"}},
        {EXPORT_TYPE_AVI, folder.File("short.bin"), Out("d.avi"), 0, 5000, {"failed", "stop"}},
        {EXPORT_TYPE_AVI, folder.File("short.bin"), folder.File("no/such/e.avi"), 0, 100, {"stop", "failed"}},
        {EXPORT_TYPE_JPEG, folder.File("garbage.mp4"), Out("pictures"), 0, 5000, {"stop", "failed"}},
        {7, folder.File("short.bin"), Out("f"), 0, 10, {"stop", "failed"}},
    };
    for (const Case& c : cases) {
        listener->events.clear();
        Add(c.type, c.source, c.target, c.start, c.end);
        ASSERT_TRUE(Run()) << c.target;
        EXPECT_EQ(listener->events, c.events) << c.target;
        EXPECT_TRUE(!std::filesystem::exists(c.target) || FilesIn(c.target).empty()) << c.target;
    }
    EXPECT_TRUE(FilesIn(folder.File("out")).empty()) << "not even the folder made for the pictures";
}

TEST_F(EngineTest, PicturesStartAtTheFirstFrameAtOrAfterTheStartAndFollowTheInterval)
{
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(6));
    ASSERT_FALSE(recording.empty());
    const auto size = SizeOf(recording);
    struct Case {
        std::uint32_t type;
        std::string folder;  // made by the engine
        unsigned startTime;
        int interval;
        std::vector<std::uint32_t> seconds;
    };
    const std::vector<Case> cases = {
        {EXPORT_TYPE_JPEG, "jpg/16777221", kStartSeconds + 3, 0, {3, 4, 5}},
        {EXPORT_TYPE_BMP, "bmp", kStartSeconds, 2, {0, 2, 4}},
    };
    for (const Case& c : cases) {
        listener->events.clear();
        Add(c.type, recording, Out(c.folder), 0, size, c.interval, c.startTime);
        ASSERT_TRUE(Run());
        EXPECT_EQ(listener->events, Events{"end"}) << c.folder;
        std::vector<std::string> expected;
        for (std::uint32_t second : c.seconds)
            expected.push_back(LocalStamp(kStartSeconds + second) + (c.type == EXPORT_TYPE_JPEG ? ".jpg" : ".bmp"));
        ASSERT_EQ(FilesIn(Out(c.folder)), expected) << c.folder;
        const std::string picture = ReadBytes(Out(c.folder) + "/" + expected.front());
        if (c.type == EXPORT_TYPE_JPEG) {
            EXPECT_EQ(picture.substr(0, 2), "\xFF\xD8");
        } else {
            ASSERT_GT(picture.size(), 30u);
            EXPECT_EQ(picture.substr(0, 2), "BM");
            EXPECT_EQ(picture[28], 24);  // bits per pixel
        }
    }
}

TEST_F(EngineTest, PicturesOfAnotherRecorderNeverReplaceThoseInTheirFolder)
{
    KVX_WRITER::SyntheticOptions other = SmallOptions(4);
    other.width = 320;
    const std::string first = MakeRecording(folder.Path(), SmallOptions(4), "REC");
    const std::string second = MakeRecording(folder.Path(), other, "OTH");
    const std::string pictures = Out("jpg/16777221");
    Add(EXPORT_TYPE_JPEG, first, pictures, 0, SizeOf(first), 0, kStartSeconds);
    ASSERT_TRUE(Run());
    const std::vector<std::string> firstNames = FilesIn(pictures);
    ASSERT_EQ(firstNames.size(), 4u);
    std::vector<std::string> firstBytes;
    for (const std::string& name : firstNames)
        firstBytes.push_back(ReadBytes(pictures + "/" + name));
    EXPECT_TRUE(listener->renamed.empty());
    listener->events.clear();
    Add(EXPORT_TYPE_JPEG, second, pictures, 0, SizeOf(second), 0, kStartSeconds);
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, Events{"end"});
    // Each second's picture of the other recorder takes the next free name.
    std::vector<std::string> expected = firstNames;
    for (const std::string& name : firstNames)
        expected.push_back(name.substr(0, name.size() - 4) + "(1).jpg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(pictures), expected);
    for (std::size_t i = 0; i < firstNames.size(); ++i)
        EXPECT_EQ(ReadBytes(pictures + "/" + firstNames[i]), firstBytes[i]) << firstNames[i];
    EXPECT_EQ(listener->renamed, (std::vector<std::pair<std::string, int>>{{pictures, 4}}));
}

TEST_F(EngineTest, PictureWriteFailureReportsFailureThenStop)
{
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(4));
    ASSERT_FALSE(recording.empty());
    // A folder that exists but takes no files, also for root.
    Add(EXPORT_TYPE_JPEG, recording, "/proc/self", 0, SizeOf(recording), 0, kStartSeconds);
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, (Events{"failed", "stop"}));
}

TEST_F(EngineTest, SplitAviPartsAreNumberedAcrossTheJobsOfAnExport)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(8));
    ASSERT_FALSE(recording.empty());
    engine->SetAVISplitSize(1024);
    Add(EXPORT_TYPE_AVI, recording, Out("a.avi"), 0, SizeOf(recording));
    Add(EXPORT_TYPE_AVI, recording, Out("b.avi"), 0, SizeOf(recording));
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, Events{"end"});
    EXPECT_EQ(listener->progress.back(), 100);
    // 8 s with a key frame every 2 s: four files per job.
    const std::vector<std::string> expected = {"a(1).avi", "a(2).avi", "a(3).avi", "a.avi",
                                               "b(4).avi", "b(5).avi", "b(6).avi", "b.avi"};
    ASSERT_EQ(FilesIn(folder.File("out")), expected);
    for (const std::string& name : expected)
        EXPECT_GT(CountVideoPackets(Out(name)), 0) << name;
}

// A clip in parts exported again into the same folder takes one free name
// for all of its files, its parts numbered as the first clip's are.
TEST_F(EngineTest, AClipInPartsExportedAgainTakesOneNameOfItsOwn)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(6));
    ASSERT_FALSE(recording.empty());
    engine->SetAVISplitSize(1024);
    for (int run = 0; run < 2; ++run)
        ASSERT_EQ(RunJob(EXPORT_TYPE_AVI, recording, Out("a.avi"), 0, SizeOf(recording)), Events{"end"});
    const std::vector<std::string> expected = {"a(1).avi", "a(2).avi", "a.avi", "a_1(1).avi", "a_1(2).avi", "a_1.avi"};
    ASSERT_EQ(FilesIn(folder.File("out")), expected);
    using Renamed = std::pair<std::string, std::string>;
    EXPECT_EQ(listener->clipsRenamed, std::vector<Renamed>{Renamed(Out("a.avi"), Out("a_1.avi"))});
}

// Another instance's start-up clean-up, run over and over while an AVI export
// splits its clip into parts, finds every file of the export held.
TEST_F(EngineTest, ASecondInstancesCleanUpLeavesEveryPartOfARunningAviExportAlone)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), ThreeMegabyteOptions());
    ASSERT_FALSE(recording.empty());
    engine->SetAVISplitSize(1024);
    std::atomic<bool> exporting{true};
    std::atomic<int> taken{0};
    std::thread secondInstance([&] {
        const CLeftTemporaries::Kind clips{{}, {".avi", ".kvx"}, false, true};
        while (exporting)
            taken += CLeftTemporaries::CleanIn(folder.File("out"), clips);
    });
    Add(EXPORT_TYPE_AVI, recording, Out("a.avi"), 0, SizeOf(recording));
    const bool ran = Run();
    exporting = false;
    secondInstance.join();
    ASSERT_TRUE(ran);
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(listener->events, Events{"end"});
    EXPECT_TRUE(listener->cuts.empty());
    // 24 s with a key frame every 2 s: twelve parts, every one in place.
    const std::vector<std::string> files = FilesIn(folder.File("out"));
    ASSERT_EQ(files.size(), 12u);
    for (const std::string& name : files)
        EXPECT_EQ(name.find("incomplete"), std::string::npos) << name;
    EXPECT_EQ(CountVideoPackets(Out("a(11).avi")), 50);
}

// A complete clip whose name is taken gets the next free one, and the
// listener hears it; the file of that name stays as it was.
TEST_F(EngineTest, CompleteClipsNeverReplaceAFileOfTheirName)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(4));
    ASSERT_FALSE(recording.empty());
    using Renamed = std::pair<std::string, std::string>;
    for (const std::string name : {"taken.avi", "taken.kvx"}) {
        SCOPED_TRACE(name);
        const std::string stem = Out(name.substr(0, 5));
        const std::string extension = name.substr(5);
        WriteFile(Out(name), "earlier clip");
        WriteFile(stem + "(1)" + extension, "earlier clip");
        listener->clipsRenamed.clear();
        EXPECT_EQ(RunJob(extension == ".avi" ? EXPORT_TYPE_AVI : EXPORT_TYPE_RAW, recording, Out(name), 0,
                         SizeOf(recording)),
                  Events{"end"});
        EXPECT_EQ(ReadBytes(Out(name)), "earlier clip");
        EXPECT_EQ(ReadBytes(stem + "(1)" + extension), "earlier clip");
        EXPECT_GT(CountVideoPackets(stem + "(2)" + extension), 0);
        EXPECT_EQ(listener->clipsRenamed, std::vector<Renamed>{Renamed(Out(name), stem + "(2)" + extension)});
    }
    EXPECT_EQ(FilesIn(Out("")).size(), 6u);
}

TEST_F(EngineTest, CompleteClipsAreOnTheDiskBeforeTheyAreRenamedIntoPlace)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(4));
    ASSERT_FALSE(recording.empty());
    SYNC_LOG::Start();
    Add(EXPORT_TYPE_RAW, recording, Out("copy.kvx"), 0, SizeOf(recording));
    Add(EXPORT_TYPE_AVI, recording, Out("clip.avi"), 0, SizeOf(recording));
    const bool ran = Run();
    SYNC_LOG::Stop();
    ASSERT_TRUE(ran);
    EXPECT_EQ(listener->events, Events{"end"});
    EXPECT_TRUE(SYNC_LOG::SyncedBeforeRenameTo(Out("copy.kvx")));
    EXPECT_TRUE(SYNC_LOG::SyncedBeforeRenameTo(Out("clip.avi")));
}

TEST_F(EngineTest, ClipsCutShortByAStopStayPlayable)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), ThreeMegabyteOptions());
    ASSERT_FALSE(recording.empty());
    ASSERT_GT(SizeOf(recording), 2u * ExportObject::kBlockSize);

    // Clips of an earlier export under the same names stay as they are.
    WriteFile(Out("cut.kvx"), "earlier clip");
    WriteFile(Out("cut.avi"), "earlier clip");
    // Raw: set-up, two blocks, then the stop. The clip says in its name that
    // it was cut short, and the listener hears where it was kept.
    Add(EXPORT_TYPE_RAW, recording, Out("cut.kvx"), 0, SizeOf(recording));
    Start();
    StopAfter(3);
    ASSERT_TRUE(WaitForEnd(*listener));
    EXPECT_EQ(listener->events, Events{"stop"});
    using Cut = std::pair<std::string, std::string>;
    EXPECT_EQ(listener->cuts, std::vector<Cut>{Cut(Out("cut.kvx"), Out("cut_incomplete.kvx"))});
    // Its records end at a group's end, followed by their own footer.
    const ClipCheck check = CheckClip(Out("cut_incomplete.kvx"));
    const std::uint64_t kept = check.recordsEnd;
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, 2u * ExportObject::kBlockSize);
    EXPECT_EQ(ReadBytes(Out("cut_incomplete.kvx")).substr(0, kept), ReadBytes(recording).substr(0, kept));
    EXPECT_EQ(check.errors, 0);
    EXPECT_TRUE(check.endsSigned);
    EXPECT_TRUE(check.footer);
    EXPECT_TRUE(check.footerNamesRecords);
    EXPECT_GE(check.keyFrames, 1);

    // AVI: closed with its index.
    listener->events.clear();
    listener->cuts.clear();
    Add(EXPORT_TYPE_AVI, recording, Out("cut.avi"), 0, SizeOf(recording));
    Start();
    StopAfter(4);
    ASSERT_TRUE(WaitForEnd(*listener));
    EXPECT_EQ(listener->events, Events{"stop"});
    EXPECT_EQ(listener->cuts, std::vector<Cut>{Cut(Out("cut.avi"), Out("cut_incomplete.avi"))});
    EXPECT_GT(CountVideoPackets(Out("cut_incomplete.avi")), 0);
    EXPECT_EQ(FilesIn(folder.File("out")),
              (std::vector<std::string>{"cut.avi", "cut.kvx", "cut_incomplete.avi", "cut_incomplete.kvx"}));
    EXPECT_EQ(ReadBytes(Out("cut.kvx")), "earlier clip");
    EXPECT_EQ(ReadBytes(Out("cut.avi")), "earlier clip");

    // Cut short again: a name of its own, numbered.
    listener->events.clear();
    Add(EXPORT_TYPE_RAW, recording, Out("cut.kvx"), 0, SizeOf(recording));
    Start();
    StopAfter(3);
    ASSERT_TRUE(WaitForEnd(*listener));
    // Where the stop lands depends on the export's pace; the clip is whole.
    const ClipCheck again = CheckClip(Out("cut_incomplete(1).kvx"));
    EXPECT_GT(again.recordsEnd, 0u);
    EXPECT_LT(again.recordsEnd, SizeOf(recording));
    EXPECT_EQ(again.errors, 0);
    EXPECT_TRUE(again.endsSigned);
    EXPECT_EQ(ReadBytes(Out("cut_incomplete(1).kvx")).substr(0, again.recordsEnd),
              ReadBytes(recording).substr(0, again.recordsEnd));
    EXPECT_EQ(FilesIn(folder.File("out")).size(), 5u);
}

// A ".kvx" clip ends with the footer of its own records, which the watermark
// check takes: the whole recording, from a key frame to the end of the
// records (where a clip past the last key frame ends), and between two.
TEST_F(EngineTest, KvxClipsEndWithTheFooterOfTheirOwnRecords)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(6));
    ASSERT_FALSE(recording.empty());
    const ClipCheck source = CheckClip(recording);
    ASSERT_TRUE(source.footerNamesRecords);
    PLAY_MODULE::CKeyFrameIndex index;
    ASSERT_TRUE(PLAY_MODULE::CKvxIndexScanner::Index(recording, index));
    ASSERT_EQ(index.entries.size(), 3u);
    const struct {
        const char* name;
        std::uint64_t from;
        std::uint64_t to;
    } clips[] = {{"whole.kvx", 0, SizeOf(recording)},
                 {"to-end.kvx", index.entries[1].position, source.recordsEnd},
                 {"between.kvx", index.entries[1].position, index.entries[2].position}};
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.name);
        EXPECT_EQ(RunJob(EXPORT_TYPE_RAW, recording, Out(clip.name), clip.from, clip.to), Events{"end"});
        const ClipCheck check = CheckClip(Out(clip.name));
        EXPECT_EQ(check.errors, 0);
        EXPECT_TRUE(check.footerNamesRecords);
    }
}

// A recording, 24 MiB of zeros and more, then another recording: an export
// from the first one's second key frame to the end of the file ends where
// the first recording ends, as its play does, in ".kvx" and in AVI.
TEST_F(EngineTest, KvxCutsEndWhereTheRecordingEnds)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    ASSERT_TRUE(folder.MakeFolder("later"));
    KVX_WRITER::SyntheticOptions later = SmallOptions(4);
    later.startUtcMs += 12000;
    const std::string source = MakeRecording(folder.Path(), SmallOptions(6));
    const std::string second = MakeRecording(folder.File("later"), later);
    ASSERT_FALSE(source.empty() || second.empty());
    PLAY_MODULE::CKvxFileReader reader;
    ASSERT_TRUE(reader.Open(source));
    const std::uint64_t recordsEnd = reader.RecordsEnd();
    std::string bytes = ReadBytes(source).substr(0, recordsEnd);
    bytes.append(PLAY_MODULE::kvx::kMaxGapBytes + (100u << 10), '\0');
    bytes += ReadBytes(second);
    WriteFile(source, bytes);
    PLAY_MODULE::CKeyFrameIndex index;
    ASSERT_TRUE(PLAY_MODULE::CKvxIndexScanner::Index(source, index));
    ASSERT_EQ(index.entries.size(), 3u);
    const std::uint64_t from = index.entries[1].position;

    EXPECT_EQ(RunJob(EXPORT_TYPE_RAW, source, Out("cut.kvx"), from, bytes.size()), Events{"end"});
    const ClipCheck clip = CheckClip(Out("cut.kvx"));
    EXPECT_EQ(clip.recordsEnd, recordsEnd - from);
    EXPECT_TRUE(clip.footerNamesRecords);
    EXPECT_LT(SizeOf(Out("cut.kvx")), recordsEnd);
    EXPECT_EQ(RunJob(EXPORT_TYPE_AVI, source, Out("cut.avi"), from, bytes.size()), Events{"end"});
    EXPECT_EQ(CountVideoPackets(Out("cut.avi")), 4 * 25);
}

// A span of another container, from the key frame of its second second to
// that of its fourth: an AVI clip of its frames, pictures named by the
// recording's own times, and, where a byte cut is a clip (".ts", ".ps"), a
// copy of its bytes; a byte cut of an ".mp4" or ".avi" is refused.
TEST_F(EngineTest, OtherContainersExportTheirSpanOnTheRecordingsClock)
{
    using PLAY_MODULE_TEST::ContainerKind;
    ASSERT_TRUE(folder.MakeFolder("out"));
    constexpr int kFps = 25;
    for (ContainerKind kind : {ContainerKind::Ts, ContainerKind::Ps, ContainerKind::Mp4, ContainerKind::Avi}) {
        const std::string extension = PLAY_MODULE_TEST::ContainerExtension(kind);
        SCOPED_TRACE(extension);
        const std::string source = folder.File("REC_ch2_20160102030405_20160102030409" + extension);
        ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(source, kind));
        PLAY_MODULE::CKeyFrameIndex index;
        ASSERT_TRUE(PLAY_MODULE::CAvIndexScanner::Scan(source, index));
        ASSERT_GE(index.entries.size(), 4u);
        const auto& first = index.entries[1];
        const auto& next = index.entries[3];
        ASSERT_EQ(first.timeMs, 1000);
        const int frames = int((next.timeMs - first.timeMs) * kFps / 1000);
        const bool cuttable = kind == ContainerKind::Ts || kind == ContainerKind::Ps;
        for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW, EXPORT_TYPE_JPEG, EXPORT_TYPE_BMP}) {
            SCOPED_TRACE(type);
            listener->events.clear();
            const std::string target = Out(extension.substr(1) + std::to_string(type) +
                                           (type == EXPORT_TYPE_AVI ? ".avi" : type == EXPORT_TYPE_RAW ? ".kvx" : ""));
            Add(type, source, target, first.position, next.position, 1, kStartSeconds + 1, kStartSeconds);
            ASSERT_TRUE(Run());
            if (type == EXPORT_TYPE_RAW && !cuttable) {
                EXPECT_EQ(listener->events, (Events{"stop", "failed"}));
                EXPECT_FALSE(std::filesystem::exists(target));
                continue;
            }
            EXPECT_EQ(listener->events, Events{"end"});
            if (listener->events != Events{"end"})
                continue;
            EXPECT_EQ(listener->progress.back(), 100);
            if (type == EXPORT_TYPE_AVI) {
                EXPECT_EQ(CountVideoPackets(target), frames);
            } else if (type == EXPORT_TYPE_RAW) {
                EXPECT_EQ(ReadBytes(target), ReadBytes(source).substr(first.position, next.position - first.position));
                EXPECT_EQ(CountVideoPackets(target), frames);
            } else {
                const std::string suffix = type == EXPORT_TYPE_JPEG ? ".jpg" : ".bmp";
                EXPECT_EQ(FilesIn(target), (std::vector<std::string>{LocalStamp(kStartSeconds + 1) + suffix,
                                                                     LocalStamp(kStartSeconds + 2) + suffix}));
            }
        }
    }
}

namespace {

// The index of the source frame a picture shows: the one nearest in luma.
std::size_t NearestFrame(const std::vector<std::vector<std::uint8_t>>& frames, const std::vector<std::uint8_t>& picture)
{
    std::size_t best = 0;
    std::uint64_t bestDistance = UINT64_MAX;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::uint64_t distance = 0;
        for (std::size_t p = 0; p < std::min(picture.size(), frames[i].size()); ++p)
            distance += std::uint64_t(std::abs(int(picture[p]) - int(frames[i][p])));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// Writes path by the ffmpeg command line with the arguments (inputs and
// output options) and indexes its key frames; false when either fails.
bool MakeWithFFmpeg(const std::string& arguments, const std::string& path, PLAY_MODULE::CKeyFrameIndex& index)
{
    const std::string make = "ffmpeg -v error -y " + arguments + " '" + path + "'";
    return std::system(make.c_str()) == 0 && PLAY_MODULE::CAvIndexScanner::Scan(path, index);
}

}  // namespace

// Pictures of a ".ps" with frames whose packets carry no time stamp, and
// of an FFmpeg-made ".avi" with B-frames (decoding times only), one a
// second, are each named by the time of the frame they show.
TEST_F(EngineTest, PicturesAreNamedByTheTimeOfTheFrameTheyShow)
{
    for (const std::string kind : {"ps", "avi"}) {
        SCOPED_TRACE(kind);
        const std::string source = folder.File("REC_ch2_20160102030405_20160102030413." + kind);
        PLAY_MODULE::CKeyFrameIndex index;
        if (kind == "ps") {
            // Key frames every 2 s; the frames that start seconds 1, 3, 5 ... have no stamps.
            PLAY_MODULE_TEST::ContainerSampleOptions options;
            options.seconds = 8;
            options.gopSeconds = 2;
            options.unstampedEvery = 25;
            ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(source, PLAY_MODULE_TEST::ContainerKind::Ps, options));
            ASSERT_TRUE(PLAY_MODULE::CAvIndexScanner::Scan(source, index));
        } else {
            // Key frames every 1.2 s: most pictures come from frames between them.
            ASSERT_TRUE(MakeWithFFmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 8 -c:v libx264 -g 30 -pix_fmt yuv420p",
                                       source, index));
        }
        ASSERT_GE(index.entries.size(), 4u);
        const std::string target = Out(kind);
        EXPECT_EQ(RunJob(EXPORT_TYPE_JPEG, source, target, index.entries[1].position, index.entries[3].position, 1,
                         kStartSeconds + 1, kStartSeconds),
                  Events{"end"});
        const auto frames = PLAY_MODULE_TEST::DecodeLuma(source);
        const std::vector<std::string> pictures = FilesIn(target);
        EXPECT_GE(pictures.size(), 3u);
        for (const std::string& name : pictures) {
            const auto shown = PLAY_MODULE_TEST::DecodeLuma(target + "/" + name);
            ASSERT_EQ(shown.size(), 1u) << name;
            const std::size_t frame = NearestFrame(frames, shown.front());
            EXPECT_EQ(name, LocalStamp(kStartSeconds + std::uint32_t(frame / 25)) + ".jpg") << "frame " << frame;
        }
    }
}

namespace {

// When this player shows the picture of the index and plays the sample of
// the index: an AVI's pictures at its decoding times taken in order, its
// sound at its packets' times.
std::pair<double, double> PlayerTimes(const std::string& path, std::size_t picture, std::size_t sample, int rate)
{
    PLAY_MODULE::CFFmpegMediaSource source;
    EXPECT_TRUE(source.Open(path));
    std::vector<std::int64_t> decodingTimes;
    std::optional<std::int64_t> soundStart;
    PLAY_MODULE::MediaPacket packet;
    while (source.ReadPacket(packet) > 0) {
        if (packet.kind == PLAY_MODULE::PacketKind::Video)
            decodingTimes.push_back(packet.timeMs);
        else if (packet.kind == PLAY_MODULE::PacketKind::Audio && !soundStart)
            soundStart = packet.timeMs;
    }
    std::sort(decodingTimes.begin(), decodingTimes.end());
    if (picture >= decodingTimes.size() || !soundStart)
        return {-1, 1};
    return {decodingTimes[picture] / 1000.0, *soundStart / 1000.0 + double(sample) / rate};
}

}  // namespace

// AVI clips of H.264 and H.265 ".ts" and ".mp4" recordings (with B-frames)
// whose picture turns white where a tone starts: in the clip the tone starts
// within a frame of the white picture, as FFmpeg's players present it and as
// this player does.
TEST_F(EngineTest, AviClipsKeepTheSoundInStepWithThePictures)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    for (const std::string kind : {"libx264.ts", "libx265.ts", "libx264.mp4", "libx265.mp4"}) {
        SCOPED_TRACE(kind);
        const std::string source = folder.File(kind);
        PLAY_MODULE::CKeyFrameIndex index;
        ASSERT_TRUE(MakeWithFFmpeg(
            "-f lavfi -i color=black:s=320x240:r=25:d=6 -f lavfi -i "
            "'aevalsrc=if(gte(t\\,3)\\,sin(2*PI*1000*t)\\,0):s=48000:d=6' -vf 'drawbox=c=white:t=fill:enable=gte(t\\,3)' "
            "-c:v " + kind.substr(0, kind.find('.')) + " -g 25 -pix_fmt yuv420p -x265-params log-level=error -c:a aac",
            source, index));
        ASSERT_GE(index.entries.size(), 6u);
        const std::string target = Out(kind + ".avi");
        ASSERT_EQ(RunJob(EXPORT_TYPE_AVI, source, target, index.entries[2].position, index.entries[5].position, 0,
                         kStartSeconds + 2, kStartSeconds),
                  Events{"end"});
        const auto frames = PLAY_MODULE_TEST::DecodeLuma(target);
        const auto white = std::find_if(frames.begin(), frames.end(), [](const std::vector<std::uint8_t>& luma) {
            return !luma.empty() && std::accumulate(luma.begin(), luma.end(), std::uint64_t(0)) / luma.size() > 128;
        });
        int rate = 0;
        const std::vector<float> sound = PLAY_MODULE_TEST::DecodeSound(target, &rate);
        const auto tone = std::find_if(sound.begin(), sound.end(), [](float sample) { return std::abs(sample) > 0.3f; });
        ASSERT_TRUE(white != frames.end() && tone != sound.end() && rate > 0);
        const std::size_t whiteIndex = std::size_t(white - frames.begin());
        const std::size_t toneIndex = std::size_t(tone - sound.begin());
        const PLAY_MODULE_TEST::PresentedTimes presented = PLAY_MODULE_TEST::PresentationTimes(target);
        ASSERT_EQ(presented.pictures.size(), frames.size());
        EXPECT_NEAR(presented.soundStart + double(toneIndex) / rate, presented.pictures[whiteIndex], 0.04);
        const auto [shown, played] = PlayerTimes(target, whiteIndex, toneIndex, rate);
        EXPECT_NEAR(played, shown, 0.04);
    }
}

// An H.265 ".ts" with its parameter sets only at the start of the file (as
// some muxers write it): a span from a later key frame gives an AVI clip, a
// raw clip and pictures, every frame of them decoding. Where the stream has
// none at all nothing decodes: the export fails naming the recording and
// leaves no clip and no folder of pictures behind.
TEST_F(EngineTest, ClipsStartWithWhatTheirDecoderNeeds)
{
    using Sets = PLAY_MODULE_TEST::ContainerSampleOptions::ParameterSets;
    ASSERT_TRUE(folder.MakeFolder("out"));
    for (Sets sets : {Sets::AtStart, Sets::Nowhere}) {
        const bool playable = sets == Sets::AtStart;
        SCOPED_TRACE(playable);
        PLAY_MODULE_TEST::ContainerSampleOptions options;
        options.codec = PLAY_MODULE::kvx::VideoCodec::H265;
        options.parameterSets = sets;
        const std::string source = folder.File(playable ? "start.ts" : "nowhere.ts");
        ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(source, PLAY_MODULE_TEST::ContainerKind::Ts, options));
        PLAY_MODULE::CKeyFrameIndex index;
        ASSERT_TRUE(PLAY_MODULE::CAvIndexScanner::Scan(source, index));
        ASSERT_GE(index.entries.size(), 4u);
        const auto& first = index.entries[1];
        const auto& next = index.entries[3];
        const std::size_t frames = std::size_t((next.timeMs - first.timeMs) * 25 / 1000);
        // Its video is H.265 even where its size is not known.
        EXPECT_TRUE(PLAY_MODULE::CContainerRangeReader::Reads(source));
        for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW, EXPORT_TYPE_JPEG}) {
            SCOPED_TRACE(type);
            const std::string target = Out(source.substr(source.rfind('/') + 1) + std::to_string(type) +
                                           (type == EXPORT_TYPE_AVI ? ".avi" : type == EXPORT_TYPE_RAW ? ".ts" : ""));
            const Events events = RunJob(type, source, target, first.position, next.position, 1, kStartSeconds + 1,
                                         kStartSeconds);
            if (!playable) {
                EXPECT_EQ(events, (Events{"stop", "failed"}));
                EXPECT_FALSE(std::filesystem::exists(target));
                continue;
            }
            EXPECT_EQ(events, Events{"end"});
            if (type == EXPORT_TYPE_JPEG)
                EXPECT_EQ(FilesIn(target).size(), 2u);
            else
                EXPECT_EQ(PLAY_MODULE_TEST::DecodeLuma(target).size(), frames);
        }
    }
    EXPECT_EQ(listener->unplayable, std::vector<std::string>(3, folder.File("nowhere.ts")));
    EXPECT_EQ(FilesIn(Out("")).size(), 3u) << "the playable clips and pictures";
}

// H.265 with open groups (x265's defaults): the pictures shown just before
// a key frame are coded after it. A span from one key frame to another keeps
// every picture shown in it, as an AVI clip and as a raw cut.
TEST_F(EngineTest, AnOpenGroupCutKeepsThePicturesShownBeforeItsEndKeyFrame)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string source = folder.File("REC_ch2_20160102030405_20160102030411.ts");
    PLAY_MODULE::CKeyFrameIndex index;
    ASSERT_TRUE(MakeWithFFmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 6 -c:v libx265 -g 25 -pix_fmt yuv420p "
                               "-x265-params log-level=error",
                               source, index));
    ASSERT_GE(index.entries.size(), 4u);
    const auto& first = index.entries[1];
    const auto& next = index.entries[3];
    const std::size_t shown = std::size_t((next.timeMs - first.timeMs) * 25 / 1000);
    for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW}) {
        SCOPED_TRACE(type);
        const std::string target = Out(type == EXPORT_TYPE_AVI ? "open.avi" : "open.ts");
        ASSERT_EQ(RunJob(type, source, target, first.position, next.position, 0, kStartSeconds + 1, kStartSeconds),
                  Events{"end"});
        EXPECT_GE(PLAY_MODULE_TEST::DecodeLuma(target).size(), shown);
    }
}

// A ".ts" whose bytes from within its second group to within its fifth were
// blanked: a span inside the blank holds no picture that decodes, only
// frames before it and frames that lost their key frame after it. Every
// format fails naming the recording and writes nothing; a span before the
// blank gives its pictures and no grey one from after the blank.
TEST_F(EngineTest, AnExportOfASpanInWhichNothingDecodesFailsNamingTheRecording)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string source = folder.File("REC_ch2_20160102030405_20160102030417.ts");
    PLAY_MODULE_TEST::ContainerSampleOptions options;
    options.seconds = 12;
    options.gopSeconds = 2;
    ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(source, PLAY_MODULE_TEST::ContainerKind::Ts, options));
    PLAY_MODULE::CKeyFrameIndex index;
    ASSERT_TRUE(PLAY_MODULE::CAvIndexScanner::Scan(source, index));
    ASSERT_EQ(index.entries.size(), 6u);
    const auto packetAt = [&](std::size_t a, std::size_t b) {
        return (index.entries[a].position + index.entries[b].position) / 2 / 188 * 188;
    };
    std::string bytes = ReadBytes(source);
    std::fill(bytes.begin() + std::ptrdiff_t(packetAt(1, 2)), bytes.begin() + std::ptrdiff_t(packetAt(4, 5)), '\0');
    WriteFile(source, bytes);
    // From the key frame before the blank to the first one after it.
    const std::uint64_t from = index.entries[1].position;
    const std::uint64_t to = index.entries[5].position;
    for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW, EXPORT_TYPE_JPEG}) {
        SCOPED_TRACE(type);
        const std::string target = Out("blank" + std::to_string(type));
        EXPECT_EQ(RunJob(type, source, target, from, to, 1, kStartSeconds + 5, kStartSeconds, kStartSeconds + 7),
                  (Events{"stop", "failed"}));
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_EQ(listener->unplayable, std::vector<std::string>(3, source));
    EXPECT_TRUE(FilesIn(Out("")).empty());

    EXPECT_EQ(RunJob(EXPORT_TYPE_JPEG, source, Out("before"), from, to, 1, kStartSeconds + 2, kStartSeconds,
                     kStartSeconds + 2),
              Events{"end"});
    EXPECT_EQ(FilesIn(Out("before")), std::vector<std::string>{LocalStamp(kStartSeconds + 2) + ".jpg"});
}

// A ".kvx" whose video payloads from its fourth second to its ninth were
// zeroed (the records stay sound): a span inside them, in a range from the
// key frame before them, holds no picture that decodes. Every format fails
// naming the recording and leaves no clip, as for a ".ts".
TEST_F(EngineTest, AKvxSpanInWhichNothingDecodesFailsNamingTheRecording)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string source = MakeRecording(folder.Path(), SmallOptions(12));
    PLAY_MODULE::CKeyFrameIndex index;
    ASSERT_TRUE(PLAY_MODULE::CKvxIndexScanner::Index(source, index));
    ASSERT_EQ(index.entries.size(), 6u);
    const std::uint64_t from = index.entries[1].position;
    const std::uint64_t to = index.entries[5].position;
    std::string bytes = ReadBytes(source);
    PLAY_MODULE::CKvxFileReader reader;
    ASSERT_TRUE(reader.Open(source));
    const std::int64_t blankFromMs = std::int64_t(kStartSeconds + 3) * 1000;
    const std::int64_t blankToMs = std::int64_t(kStartSeconds + 9) * 1000;
    for (PLAY_MODULE::KvxRecord record; reader.ReadNext(record);)
        if (record.header.kind == PLAY_MODULE::kvx::RecordKind::Video && record.header.timeMs >= blankFromMs &&
            record.header.timeMs < blankToMs)
            std::fill_n(bytes.begin() + std::ptrdiff_t(record.offset + PLAY_MODULE::kvx::kHeaderSize),
                        record.payload.size(), '\0');
    WriteFile(source, bytes);
    for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW, EXPORT_TYPE_JPEG}) {
        SCOPED_TRACE(type);
        const std::string target = Out("blank" + std::to_string(type));
        EXPECT_EQ(RunJob(type, source, target, from, to, 1, kStartSeconds + 3, kStartSeconds, kStartSeconds + 7),
                  (Events{"stop", "failed"}));
    }
    EXPECT_EQ(listener->unplayable, std::vector<std::string>(3, source));
    EXPECT_TRUE(FilesIn(Out("")).empty());
}

// The same for an ".avi" and an ".mp4", whose index keeps the zeroed
// packets.
TEST_F(EngineTest, AnIndexedContainerSpanOfZeroedPicturesFailsNamingTheRecording)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    for (auto kind : {PLAY_MODULE_TEST::ContainerKind::Avi, PLAY_MODULE_TEST::ContainerKind::Mp4}) {
        const std::string source = folder.File(std::string("REC_ch2_20160102030405_20160102030417") +
                                               PLAY_MODULE_TEST::ContainerExtension(kind));
        SCOPED_TRACE(source);
        PLAY_MODULE_TEST::ContainerSampleOptions options;
        options.seconds = 12;
        options.gopSeconds = 2;
        ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(source, kind, options));
        PLAY_MODULE::CKeyFrameIndex index;
        ASSERT_TRUE(PLAY_MODULE::CAvIndexScanner::Scan(source, index));
        ASSERT_EQ(index.entries.size(), 6u);
        ASSERT_TRUE(ZeroVideoPayloads(source, 3, 9));
        listener->unplayable.clear();
        for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW, EXPORT_TYPE_JPEG}) {
            SCOPED_TRACE(type);
            EXPECT_EQ(RunJob(type, source, Out("blank" + std::to_string(type)), index.entries[1].position,
                             index.entries[5].position, 1, kStartSeconds + 3, kStartSeconds, kStartSeconds + 7),
                      (Events{"stop", "failed"}));
        }
        EXPECT_EQ(listener->unplayable, std::vector<std::string>(3, source));
        EXPECT_TRUE(FilesIn(Out("")).empty());
    }
}

// A raw cut of an FFmpeg-made ".ps", whose muxer runs frames on across its
// packets: every frame of the span decodes, the last one too.
TEST_F(EngineTest, ARawCutOfAProgramStreamKeepsItsFramesWhole)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string source = folder.File("REC_ch2_20160102030405_20160102030411.ps");
    PLAY_MODULE::CKeyFrameIndex index;
    ASSERT_TRUE(MakeWithFFmpeg("-f lavfi -i testsrc=size=704x576:rate=25 -t 6 -c:v libx264 -g 25 -b:v 2M "
                               "-pix_fmt yuv420p -f mpeg", source, index));
    ASSERT_GE(index.entries.size(), 4u);
    const std::string target = Out("cut.ps");
    EXPECT_EQ(RunJob(EXPORT_TYPE_RAW, source, target, index.entries[1].position, index.entries[3].position),
              Events{"end"});
    EXPECT_EQ(PLAY_MODULE_TEST::DecodeLuma(target).size(),
              std::size_t((index.entries[3].timeMs - index.entries[1].timeMs) * 25 / 1000));
}

TEST_F(EngineTest, DamagedRecordingsGiveAClipThatOpensOrFail)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), SmallOptions(6));
    std::string bytes = ReadBytes(recording);
    WriteFile(folder.File("truncated.kvx"), bytes.substr(0, bytes.size() * 2 / 3));
    for (std::size_t at = bytes.size() / 3; at < bytes.size() / 3 + 4000; ++at)
        bytes[at] = char(at * 31);
    const std::string garbled = folder.File("garbled.kvx");
    WriteFile(garbled, bytes);

    int clip = 0;
    const std::uint64_t size = SizeOf(garbled);
    for (std::uint32_t type : {EXPORT_TYPE_AVI, EXPORT_TYPE_RAW, EXPORT_TYPE_JPEG}) {
        for (std::uint64_t start : {std::uint64_t(0), size / 3}) {
            listener->events.clear();
            const std::string target = Out(std::to_string(++clip) + (type == EXPORT_TYPE_AVI ? ".avi" : ".kvx"));
            Add(type, garbled, target, start, size, 1, kStartSeconds);
            ASSERT_TRUE(Run()) << type;
            const bool ended = listener->events == Events{"end"};
            EXPECT_TRUE(ended || listener->events == Events({"stop", "failed"}) ||
                        listener->events == Events({"failed", "stop"}))
                << type;
            if (!ended)
                continue;
            if (type == EXPORT_TYPE_AVI)
                EXPECT_GT(CountVideoPackets(target), 0) << start;
            else if (type == EXPORT_TYPE_RAW)
                EXPECT_GT(CheckClip(target).keyFrames, 0) << start;
            else
                EXPECT_FALSE(FilesIn(target).empty()) << start;
        }
    }
    // A truncated recording whose range runs past its end.
    listener->events.clear();
    Add(EXPORT_TYPE_RAW, folder.File("truncated.kvx"), Out("t.kvx"), 0, SizeOf(recording));
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, (Events{"stop", "failed"}));
    EXPECT_FALSE(std::filesystem::exists(Out("t.kvx")));
    EXPECT_GT(CheckClip(Out("t_incomplete.kvx")).keyFrames, 0);  // what was whole is kept
}

TEST_F(EngineTest, AWriteFailureKeepsASignedClipAndAKilledExportLeavesNoClip)
{
    ASSERT_TRUE(folder.MakeFolder("out"));
    const std::string recording = MakeRecording(folder.Path(), ThreeMegabyteOptions());
    ASSERT_FALSE(recording.empty());
    const std::string size = std::to_string(SizeOf(recording));

    // A file-size limit: the write fails, the clip ends at a signed boundary
    // under a name that says so.
    const int limited = RunChild({"limit", recording, Out("limited.kvx"), size, "1500000"});
    ASSERT_TRUE(WIFEXITED(limited));
    EXPECT_EQ(WEXITSTATUS(limited), 0);
    EXPECT_FALSE(std::filesystem::exists(Out("limited.kvx")));
    ASSERT_TRUE(std::filesystem::exists(Out("limited_incomplete.kvx")));
    EXPECT_LE(SizeOf(Out("limited_incomplete.kvx")), 1500000u);
    const ClipCheck check = CheckClip(Out("limited_incomplete.kvx"));
    EXPECT_EQ(check.errors, 0);
    EXPECT_TRUE(check.endsSigned);

    // The same export again onto a disk that fills: the complete clip of the
    // first stays whole.
    Add(EXPORT_TYPE_RAW, recording, Out("again.kvx"), 0, SizeOf(recording));
    ASSERT_TRUE(Run());
    ASSERT_EQ(listener->events, Events{"end"});
    const int again = RunChild({"limit", recording, Out("again.kvx"), size, "1500000"});
    ASSERT_TRUE(WIFEXITED(again));
    EXPECT_EQ(WEXITSTATUS(again), 0);
    EXPECT_EQ(ReadBytes(Out("again.kvx")), ReadBytes(recording));
    EXPECT_EQ(CheckClip(Out("again_incomplete.kvx")).errors, 0);
    listener->events.clear();

    // Killed while writing: only a temporary, then a complete clip.
    const int killed = RunChild({"kill", recording, Out("killed.kvx"), size});
    ASSERT_TRUE(WIFSIGNALED(killed));
    EXPECT_EQ(WTERMSIG(killed), SIGKILL);
    EXPECT_FALSE(std::filesystem::exists(Out("killed.kvx")));
    const std::vector<std::string> left = FilesIn(folder.File("out"));
    EXPECT_EQ(std::count_if(left.begin(), left.end(),
                            [](const std::string& name) { return name.starts_with("killed.kvx."); }),
              1);
    Add(EXPORT_TYPE_RAW, recording, Out("killed.kvx"), 0, SizeOf(recording));
    ASSERT_TRUE(Run());
    EXPECT_EQ(listener->events, Events{"end"});
    EXPECT_EQ(ReadBytes(Out("killed.kvx")), ReadBytes(recording));
}
