#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "SingleInstanceLock.h"

namespace {

class RuntimeDir {
public:
    RuntimeDir()
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_old = old ? old : "";
        m_hadOld = old != nullptr;
        setenv("XDG_RUNTIME_DIR", m_dir.path().toUtf8().constData(), 1);
    }
    ~RuntimeDir()
    {
        if (m_hadOld)
            setenv("XDG_RUNTIME_DIR", m_old.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::string m_old;
    bool m_hadOld = false;
};

TEST(SingleInstanceLockTest, LockFileLivesInTheRuntimeFolder)
{
    RuntimeDir runtime;
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(), (runtime.Path() + "/Lumivex").toStdString());
}

TEST(SingleInstanceLockTest, OnlyOneHolderAtATime)
{
    RuntimeDir runtime;
    auto first = std::make_unique<CSingleInstanceLock>();
    ASSERT_TRUE(first->Acquire());
    EXPECT_TRUE(first->Acquire());  // asking again keeps it
    CSingleInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire());
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        const char* old = std::getenv(name);
        m_hadOld = old != nullptr;
        m_old = old ? old : "";
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_hadOld)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_hadOld = false;
};

TEST(SingleInstanceLockTest, WithoutRuntimeFolderTheLockIsInAFolderOfTheUsersOwn)
{
    RuntimeDir runtime;
    unsetenv("XDG_RUNTIME_DIR");
    QTemporaryDir temp;
    QTemporaryDir home;
    ScopedEnv tmpdir("TMPDIR", temp.path().toStdString());
    ScopedEnv homeDir("HOME", home.path().toStdString());
    const std::string shared = temp.path().toStdString() + "/Lumivex";
    // Another user holding a lock of the shared name stops nobody.
    const int other = ::open(shared.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    const std::string own = temp.path().toStdString() + "/lumivex-" + std::to_string(::geteuid());
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(), own + "/Lumivex");
    struct stat info {};
    ASSERT_EQ(::stat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    {
        CSingleInstanceLock first;
        EXPECT_TRUE(first.Acquire());
        CSingleInstanceLock second;
        EXPECT_FALSE(second.Acquire());
    }
    ::close(other);

    // A folder of that name anyone may write is not taken: the cache is.
    std::filesystem::remove_all(own);
    ASSERT_EQ(::mkdir(own.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(own.c_str(), 0777), 0);
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(), home.path().toStdString() + "/.cache/lumivex/Lumivex");
    // A link in its place neither.
    std::filesystem::remove_all(own);
    std::filesystem::create_directory_symlink(home.path().toStdString(), own);
    EXPECT_EQ(CSingleInstanceLock::LockFilePath(), home.path().toStdString() + "/.cache/lumivex/Lumivex");
}

TEST(SingleInstanceLockTest, UnusableFolderDoesNotBlockStartUp)
{
    RuntimeDir runtime;
    setenv("XDG_RUNTIME_DIR", "/nonexistent/folder/for/lumivex", 1);
    CSingleInstanceLock lock;
    EXPECT_TRUE(lock.Acquire());
}

}  // namespace
