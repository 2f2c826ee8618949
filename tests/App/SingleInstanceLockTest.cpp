#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <string>

#include <sys/stat.h>
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
    ASSERT_TRUE(first->Acquire(folder));
    EXPECT_TRUE(first->Acquire(folder));  // asking again keeps it
    CSingleInstanceLock second;
    EXPECT_FALSE(second.Acquire(folder));
    CSingleInstanceLock elsewhere;
    EXPECT_TRUE(elsewhere.Acquire(otherProgram.path().toStdString()));
    first.reset();
    EXPECT_TRUE(second.Acquire(folder));
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
        ASSERT_TRUE(first->Acquire(folder));
    }
    ScopedEnv unset("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv tmpdir("TMPDIR", temp.path().toUtf8().constData());
    ScopedEnv home("HOME", nullptr);
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(folder), withRuntime);
    CSingleInstanceLock second;
    EXPECT_FALSE(second.Acquire(folder));
}

TEST(SingleInstanceLockTest, UnusableFolderDoesNotBlockStartUp)
{
    CSingleInstanceLock lock;
    EXPECT_TRUE(lock.Acquire("/nonexistent/folder/for/lumivex"));
    CSingleInstanceLock noFolder;
    EXPECT_TRUE(noFolder.Acquire(""));
}

}  // namespace
