#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

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

TEST(SingleInstanceLockTest, UnsetRuntimeFolderFallsBackToTemp)
{
    RuntimeDir runtime;
    unsetenv("XDG_RUNTIME_DIR");
    const std::string path = CSingleInstanceLock::LockFilePath();
    EXPECT_NE(path.find("Lumivex"), std::string::npos);
    EXPECT_EQ(path.front(), '/');
}

TEST(SingleInstanceLockTest, UnusableFolderDoesNotBlockStartUp)
{
    RuntimeDir runtime;
    setenv("XDG_RUNTIME_DIR", "/nonexistent/folder/for/lumivex", 1);
    CSingleInstanceLock lock;
    EXPECT_TRUE(lock.Acquire());
}

}  // namespace
