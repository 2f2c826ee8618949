#include <cstdio>
#include <ctime>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include "KvxWriter/RecordingName.h"
#include "Platform/PlayModule/KvxContentProbe.h"
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
