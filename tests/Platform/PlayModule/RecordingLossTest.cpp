#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "Support/SyncLog.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

// Runs the recording child; its wait status, and its first output line.
int RunChild(const std::vector<std::string>& arguments, std::string* output = nullptr)
{
    std::vector<std::string> copies{RECORD_CHILD};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, copies[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(pipeEnds[0]);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (output)
        *output = text.substr(0, text.find('\n'));
    return status;
}

struct Kept {
    int keyFrames = 0;
    int errors = 0;
    bool endsSigned = false;
    std::int64_t videoMs = 0;  // from the first video record to the last
};

Kept Verify(const std::string& path)
{
    Kept kept;
    CKvxChainVerifier verifier;
    std::int64_t first = -1;
    for (const KvxRecord& record : ReadAllRecords(path)) {
        const auto result = verifier.Check(record);
        kept.errors += result == CKvxChainVerifier::Result::Ok || result == CKvxChainVerifier::Result::SignatureValid ? 0 : 1;
        kept.endsSigned = result == CKvxChainVerifier::Result::SignatureValid;
        kept.keyFrames += record.header.IsKeyFrame() ? 1 : 0;
        if (record.header.kind != kvx::RecordKind::Video)
            continue;
        first = first < 0 ? record.header.timeMs : first;
        kept.videoMs = record.header.timeMs - first;
    }
    return kept;
}

// A signed recording of 1 s groups.
std::string MakeSource(const CSampleFolder& folder, double seconds)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = seconds;
    options.width = 352;
    options.height = 288;
    options.gopSeconds = 1;
    return folder.MakeKvx(options);
}

}  // namespace

TEST(RecordingLoss, ARecordingIsOnTheDiskBeforeItIsRenamedIntoPlace)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 3;
    options.width = 64;
    options.height = 48;
    SYNC_LOG::Start();
    const std::string path = folder.MakeKvx(options);
    SYNC_LOG::Stop();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(SYNC_LOG::SyncedBeforeRenameTo(path));
}

TEST(RecordingLoss, AKilledRecordingLosesAtMostTheGroupInProgress)
{
    CSampleFolder folder;
    const std::string source = MakeSource(folder, 10);
    ASSERT_FALSE(source.empty());
    const std::string target = folder.File("copy.kvx");
    const int status = RunChild({"kill", source, target, "5"});
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    // Left under its working name, with the five groups before the kill.
    ASSERT_TRUE(std::filesystem::exists(target + "_"));
    const Kept kept = Verify(target + "_");
    EXPECT_EQ(kept.errors, 0);
    EXPECT_TRUE(kept.endsSigned);
    EXPECT_GE(kept.keyFrames, 5);
    EXPECT_GE(kept.videoMs, 4900);
}

TEST(RecordingLoss, ARecordingOntoAFullDiskEndsAtOnceAndKeepsItsWholeGroups)
{
    CSampleFolder folder;
    const std::string source = MakeSource(folder, 10);
    ASSERT_FALSE(source.empty());
    const std::uint64_t limit = std::filesystem::file_size(source) / 2;
    const std::string target = folder.File("full.kvx");
    std::string line;
    const int status = RunChild({"limit", source, target, std::to_string(limit)}, &line);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    ASSERT_EQ(WEXITSTATUS(status), 0) << line;
    // "kept BYTES MS AT_ONCE PATH": reported while recording, kept under the recording's name.
    unsigned long long bytes = 0;
    long long ms = 0;
    int atOnce = 0;
    char path[4096] = {};
    ASSERT_EQ(std::sscanf(line.c_str(), "kept %llu %lld %d %4095s", &bytes, &ms, &atOnce, path), 4) << line;
    EXPECT_EQ(atOnce, 1);
    EXPECT_EQ(std::string(path), target);
    EXPECT_FALSE(std::filesystem::exists(target + "_"));
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(target), bytes);
    EXPECT_LE(bytes, limit);
    const Kept kept = Verify(target);
    EXPECT_EQ(kept.errors, 0);
    EXPECT_TRUE(kept.endsSigned);
    EXPECT_GE(kept.keyFrames, 2);
    EXPECT_GE(ms, kept.videoMs);
    EXPECT_GE(ms, 1000);
}
