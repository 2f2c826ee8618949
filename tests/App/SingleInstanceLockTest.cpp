#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SingleInstanceLock.h"
#include "Support/ScopedEnv.h"

namespace {

std::string OwnName() { return "Lumivex-" + std::to_string(::geteuid()) + ".lock"; }

TEST(SingleInstanceLockTest, LockFileLivesInTheProgramFolderUnderTheUsersName)
{
    QTemporaryDir program;
    const std::string folder = program.path().toStdString();
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(folder), folder + "/" + OwnName());
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(folder + "/"), folder + "/" + OwnName());
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(""), "");
}

TEST(SingleInstanceLockTest, OnlyOneHolderAtATimePerProgramFolder)
{
    QTemporaryDir program;
    QTemporaryDir otherProgram;
    const std::string folder = program.path().toStdString();
    auto first = std::make_unique<CSingleInstanceLock>();
    using Result = CSingleInstanceLock::Result;
    ASSERT_EQ(first->Acquire(folder), Result::Acquired);
    EXPECT_EQ(first->Acquire(folder), Result::Acquired);  // asking again keeps it
    EXPECT_FALSE(first->IsOutsideProgramFolder());
    EXPECT_EQ(first->LockFileError(), 0);
    CSingleInstanceLock second;
    EXPECT_EQ(second.Acquire(folder), Result::HeldByAnother);
    CSingleInstanceLock elsewhere;
    EXPECT_EQ(elsewhere.Acquire(otherProgram.path().toStdString()), Result::Acquired);
    first.reset();
    EXPECT_EQ(second.Acquire(folder), Result::Acquired);
    struct stat info {};
    ASSERT_EQ(::stat(CSingleInstanceLock::LockFilePath(folder).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(SingleInstanceLockTest, TheEnvironmentDoesNotMoveTheLock)
{
    QTemporaryDir program;
    QTemporaryDir runtime;
    QTemporaryDir temp;
    const std::string folder = program.path().toStdString();
    auto first = std::make_unique<CSingleInstanceLock>();
    std::string withRuntime;
    {
        ScopedEnv set("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
        withRuntime = CSingleInstanceLock::LockFilePath(folder);
        ASSERT_EQ(first->Acquire(folder), CSingleInstanceLock::Result::Acquired);
    }
    ScopedEnv unset("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv tmpdir("TMPDIR", temp.path().toUtf8().constData());
    ScopedEnv home("HOME", nullptr);
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(folder), withRuntime);
    CSingleInstanceLock second;
    EXPECT_EQ(second.Acquire(folder), CSingleInstanceLock::Result::HeldByAnother);
}

// A child forked while the lock is held (and stuck before its exec) does not
// keep it once this holder ends.
TEST(SingleInstanceLockTest, AForkedChildDoesNotKeepTheLock)
{
    QTemporaryDir program;
    const std::string folder = program.path().toStdString();
    auto first = std::make_unique<CSingleInstanceLock>();
    ASSERT_EQ(first->Acquire(folder), CSingleInstanceLock::Result::Acquired);
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        [[maybe_unused]] const ssize_t written = ::write(started[1], "x", 1);
        for (;;)
            ::pause();
    }
    ASSERT_GT(child, 0);
    char byte;
    ASSERT_EQ(::read(started[0], &byte, 1), 1);
    ::close(started[0]);
    ::close(started[1]);
    first.reset();
    CSingleInstanceLock next;
    EXPECT_EQ(next.Acquire(folder), CSingleInstanceLock::Result::Acquired);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A program folder that refuses the lock file still gives one holder only:
// the user's lock is then taken in the runtime folder, else the cache folder.
TEST(SingleInstanceLockTest, AFolderRefusingTheLockFileIsLockedElsewhere)
{
    QTemporaryDir program;
    QTemporaryDir runtime;
    QTemporaryDir cache;
    const std::string folder = program.path().toStdString();
    ASSERT_EQ(::mkdir(CSingleInstanceLock::LockFilePath(folder).c_str(), 0700), 0);
    for (const char* place : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}) {
        ScopedEnv runtimeDir("XDG_RUNTIME_DIR", std::string(place) == "XDG_RUNTIME_DIR" ? runtime.path().toUtf8().constData() : nullptr);
        ScopedEnv cacheDir("XDG_CACHE_HOME", cache.path().toUtf8().constData());
        CSingleInstanceLock first;
        ASSERT_EQ(first.Acquire(folder), CSingleInstanceLock::Result::Acquired) << place;
        EXPECT_TRUE(first.IsOutsideProgramFolder());
        EXPECT_EQ(first.LockFileError(), EISDIR);
        const std::string lockFile = CSingleInstanceLock::FallbackLockFilePath(folder);
        EXPECT_EQ(lockFile.rfind(std::getenv(place), 0), 0u) << lockFile;
        CSingleInstanceLock second;
        EXPECT_EQ(second.Acquire(folder), CSingleInstanceLock::Result::HeldByAnother) << place;
        CSingleInstanceLock missingFolder;
        EXPECT_EQ(missingFolder.Acquire("/nonexistent/folder/for/lumivex"), CSingleInstanceLock::Result::Acquired);
    }
}

TEST(SingleInstanceLockTest, NoPlaceForALockFileIsReported)
{
    ScopedEnv runtimeDir("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv cacheDir("XDG_CACHE_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    CSingleInstanceLock lock;
    EXPECT_EQ(lock.Acquire("/nonexistent/folder/for/lumivex"), CSingleInstanceLock::Result::Unavailable);
}

}  // namespace
