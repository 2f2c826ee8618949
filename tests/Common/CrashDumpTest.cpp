#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Runs a copy of the crash child from a folder of its own, so that its dump
// lands there. The sanitizers leave the fatal signals to our handler.
class CrashDumpTest : public ::testing::Test {
protected:
    CrashDumpTest()
    {
        std::filesystem::copy_file(COMMON_CRASH_CHILD, m_child);
    }

    int Run(const char* mode)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "ASAN_OPTIONS=", 13) && std::strncmp(*e, "UBSAN_OPTIONS=", 14))
                env.emplace_back(*e);
        // Nor do they give threads signal stacks: the program must.
        env.emplace_back("ASAN_OPTIONS=handle_segv=0:handle_abort=0:handle_sigbus=0:"
                         "handle_sigfpe=0:handle_sigill=0:detect_leaks=0:use_sigaltstack=0");
        env.emplace_back("UBSAN_OPTIONS=handle_segv=0:handle_abort=0:handle_sigbus=0:"
                         "handle_sigfpe=0:handle_sigill=0");
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = m_child;
        std::string argument = mode;
        char* argv[] = {program.data(), argument.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, m_child.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
            return -1000;
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFSIGNALED(status))
            return -WTERMSIG(status);
        return WEXITSTATUS(status);
    }

    std::string Dump() { return ReadFile(m_dump); }

    TempFolder m_dir;
    std::string m_child = m_dir.File("crash child");
    std::string m_dump = m_child + ".dmp";
};

TEST_F(CrashDumpTest, FaultLeavesADumpBesideTheProgramAndExitsWithOne)
{
    WriteFile(m_dump, "an older dump");
    EXPECT_EQ(Run("segv"), 1);
    std::string dump = Dump();
    EXPECT_NE(dump.find("Signal: 11 (SIGSEGV)"), std::string::npos) << dump;
    EXPECT_NE(dump.find("Address: 0x"), std::string::npos);
    EXPECT_NE(dump.find("Backtrace:\n"), std::string::npos);
    EXPECT_NE(dump.find("crash child"), std::string::npos);  // the map names the program
    EXPECT_NE(dump.find("[stack]"), std::string::npos);
    EXPECT_EQ(dump.find("an older dump"), std::string::npos);
}

TEST_F(CrashDumpTest, AbortFloatingPointAndUncaughtExceptionAreCaught)
{
    EXPECT_EQ(Run("abort"), 1);
    EXPECT_NE(Dump().find("(SIGABRT)"), std::string::npos);
    EXPECT_EQ(Run("fpe"), 1);
    EXPECT_NE(Dump().find("(SIGFPE)"), std::string::npos);
    EXPECT_EQ(Run("terminate"), 1);
    EXPECT_NE(Dump().find("uncaught exception"), std::string::npos);
}

TEST_F(CrashDumpTest, AThreadRunningOutOfStackLeavesADump)
{
    EXPECT_EQ(Run("thread-overflow"), 1);
    EXPECT_NE(Dump().find("Signal: 11 (SIGSEGV)"), std::string::npos) << Dump();
}

TEST_F(CrashDumpTest, FaultWhileDumpingEndsWithTwentyThree)
{
    EXPECT_EQ(Run("double"), 23);
}

TEST_F(CrashDumpTest, NothingIsInstalledWithoutTheFilterAndNoDumpWithoutACrash)
{
    EXPECT_EQ(Run("none"), 0);
    EXPECT_FALSE(std::filesystem::exists(m_dump));
    EXPECT_EQ(Run("nofilter"), -SIGSEGV);
    EXPECT_FALSE(std::filesystem::exists(m_dump));
}

}  // namespace
