#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include "KvxWriter/RecordingName.h"
#include "Platform/PlayModule/Format/KvxContentProbe.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/FullDecode.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE_TEST;

namespace {

// The recorders' naming rule, as the file list matches it.
bool FollowsNamingRule(const std::string& fileName)
{
    const std::string name = "([A-Za-z0-9\\x80-\\xff\\$\\(\\)\\.\\+\\[\\]\\^\\{\\}#@%!,~&-;`=']+)";
    const std::string channel = "([1-9]\\d*)";
    const std::string stream = "(main_|extra([1-9]\\d*)_)?";
    const std::string dateTime =
        "(([12][0-9]{3})(0?[1-9]|1[012])(0?[1-9]|[12][0-9]|3[01])([01][0-9]|2[0-3])([0-5][0-9])([0-5][0-9]))";
    const std::string tail = "(\\D[_\\w\\.\\[\\]\\+\\(\\)\\{\\}\\$\\+\\^\\&#@%!~&,-`;=']*)*";
    const boost::regex rule("^" + name + "_ch" + channel + "_" + stream + dateTime + "_" + dateTime + tail + "$");
    return boost::regex_match(fileName, rule);
}

std::string LocalStamp(std::int64_t utcSeconds)
{
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[20];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
    return text;
}

}  // namespace

TEST(RecordingName, FollowsTheRecordersRule)
{
    const std::int64_t start = 1451703845000;
    const auto main = KVX_WRITER::RecordingFileName("Cam01", 3, 0, start, start + 3600000);
    EXPECT_EQ(main, "Cam01_ch3_main_" + LocalStamp(1451703845) + "_" + LocalStamp(1451707445) + ".kvx");
    EXPECT_TRUE(FollowsNamingRule(main));
    const auto extra = KVX_WRITER::RecordingFileName("Gate", 12, 2, start, start + 1500);
    EXPECT_EQ(extra, "Gate_ch12_extra2_" + LocalStamp(1451703845) + "_" + LocalStamp(1451703847) + ".kvx");
    EXPECT_TRUE(FollowsNamingRule(extra));
    EXPECT_TRUE(FollowsNamingRule(KVX_WRITER::RecordingFileName("Cam01", 1, -1, start, start + 10)));
    // The end always lies after the start, as the rule demands.
    const auto instant = KVX_WRITER::RecordingFileName("Cam01", 1, 0, start, start);
    EXPECT_NE(instant.find(LocalStamp(1451703846) + ".kvx"), std::string::npos);
}

TEST(RecordingName, RecorderNamesThatBreakTheRuleAreRefused)
{
    EXPECT_TRUE(KVX_WRITER::IsValidRecorderName("Cam-01(2)"));
    EXPECT_TRUE(KVX_WRITER::IsValidRecorderName("Kamera\xc3\xa4"));
    EXPECT_FALSE(KVX_WRITER::IsValidRecorderName("Cam_01"));
    EXPECT_FALSE(KVX_WRITER::IsValidRecorderName(""));
    EXPECT_FALSE(KVX_WRITER::IsValidRecorderName("a/b"));
    EXPECT_FALSE(KVX_WRITER::IsValidRecorderName("a b"));
}

TEST(KvxWriteTool, WritesConsecutiveRecordingsNamedByTheRule)
{
    CSampleFolder folder;
    const std::string command = std::string(KVXWRITE_PATH) +
                                " --name Yard --channel 4 --stream extra1 --start \"2016-01-02 03:04:05\" "
                                "--seconds 1 --count 2 --size 64x48 --audio mulaw " + folder.Path() +
                                " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "Yard_ch4_extra1_20160102030405_20160102030406.kvx");
    EXPECT_EQ(names[1], "Yard_ch4_extra1_20160102030406_20160102030407.kvx");
    for (const auto& name : names) {
        EXPECT_TRUE(FollowsNamingRule(name)) << name;
        EXPECT_TRUE(PLAY_MODULE::FileLooksLikeKvx(folder.File(name)));
    }
}

TEST(KvxWriteTool, RecordsAnInputFileAndRefusesBadArguments)
{
    CSampleFolder folder;
    const std::string tool = KVXWRITE_PATH;
    EXPECT_NE(std::system((tool + " --name Bad_Name " + folder.Path() + " >/dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((tool + " --codec vp9 " + folder.Path() + " >/dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((tool + " --input /nonexistent.mp4 " + folder.Path() + " >/dev/null 2>&1").c_str()), 0);

    // An ".mp4" with a creation time: the recording starts then, copies the
    // H.264 frames and keeps every key frame.
    const auto input = folder.File("input.mp4");
    ContainerSampleOptions options;
    options.seconds = 2;
    options.creationUtcMs = 1451703845000;
    ASSERT_TRUE(MakeContainerSample(input, ContainerKind::Mp4, options));
    const auto out = folder.Path() + "/out";
    ASSERT_EQ(std::system((tool + " --input " + input + " --name Src " + out + " >/dev/null 2>&1").c_str()), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out)) names.push_back(entry.path().string());
    ASSERT_EQ(names.size(), 1u);
    const auto fileName = std::filesystem::path(names[0]).filename().string();
    EXPECT_TRUE(FollowsNamingRule(fileName)) << fileName;
    EXPECT_EQ(fileName.substr(0, 28), "Src_ch1_main_" + LocalStamp(1451703845) + "_");
    EXPECT_EQ(DecodeKvxVideo(ReadFileBytes(names[0])), 50);
    int keys = 0;
    for (const auto& r : ReadAllRecords(names[0])) keys += r.header.IsKeyFrame();
    EXPECT_EQ(keys, 2);
}

namespace {

std::string ReadFileText(const std::string& path)
{
    const auto bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

int RunTool(const std::string& arguments)
{
    const int status = std::system((std::string(KVXWRITE_PATH) + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(KvxWriteTool, HelpIsASuccessAndBadNumbersAreRefused)
{
    CSampleFolder folder;
    EXPECT_EQ(RunTool("--help"), 0);
    const char* refused[] = {
        "--seconds 0.0001", "--seconds inf", "--seconds 1e300", "--seconds 2x", "--seconds nan",
        "--channel 4294967297", "--channel 3abc", "--channel 0", "--count 2.5", "--fps 25fps",
        "--size 64x48junk", "--gop -1", "--stream extra1x",
        "--start \"2016-02-30 00:00:00\"", "--start \"2016-01-02 25:00:00\"", "--start \"2016-01-02 03:04:05junk\"",
    };
    for (const char* arguments : refused) {
        EXPECT_EQ(RunTool(std::string(arguments) + " --size 32x32 " + folder.Path()), 2) << arguments;
        EXPECT_TRUE(FolderNames(folder.Path()).empty()) << arguments;
    }
    const std::string message = folder.File("message");
    std::system((std::string(KVXWRITE_PATH) + " --channel 3abc " + folder.Path() + " 2>" + message).c_str());
    EXPECT_NE(ReadFileText(message).find("--channel '3abc'"), std::string::npos) << ReadFileText(message);
}

TEST(KvxWriteTool, AFailedOrInterruptedWriteLeavesNoTemporary)
{
    CSampleFolder folder;
    const std::string out = folder.Path() + "/out";
    const std::string message = folder.File("message");
    // A file-size limit stands in for a full disk.
    const std::string full = "sh -c \"trap '' XFSZ; ulimit -f 8; " + std::string(KVXWRITE_PATH) +
                             " --seconds 4 --size 64x48 " + out + " 2>" + message + "\"";
    EXPECT_NE(std::system(full.c_str()), 0);
    EXPECT_TRUE(FolderNames(out).empty());
    EXPECT_NE(ReadFileText(message).find(".kvxwrite-"), std::string::npos) << ReadFileText(message);
    EXPECT_NE(ReadFileText(message).find(std::strerror(EFBIG)), std::string::npos) << ReadFileText(message);

    const std::string interrupted = "sh -c '" + std::string(KVXWRITE_PATH) + " --seconds 600 --size 640x480 " + out +
                                    " >/dev/null 2>&1 & pid=$!; n=0; while ! ls -A " + out +
                                    " 2>/dev/null | grep -q kvxwrite && [ $n -lt 600 ]; do sleep 0.05; n=$((n+1)); done; "
                                    "kill -TERM $pid; wait $pid'";
    EXPECT_NE(std::system(interrupted.c_str()), 0);
    EXPECT_TRUE(FolderNames(out).empty());
}

TEST(SampleFolders, FoldersOfEndedTestProgramsAreRemoved)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const auto left = std::filesystem::temp_directory_path() / ("kvxtest-" + std::to_string(child) + "-halted");
    std::filesystem::create_directories(left / "inside");
    const auto ours = std::filesystem::temp_directory_path() / ("kvxtest-" + std::to_string(::getpid()) + "-kept");
    std::filesystem::create_directories(ours);
    CSampleFolder folder;
    EXPECT_FALSE(std::filesystem::exists(left));
    EXPECT_TRUE(std::filesystem::exists(ours));
    std::filesystem::remove_all(ours);
}
