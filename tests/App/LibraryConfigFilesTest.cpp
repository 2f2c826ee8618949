// Configuration files that libraries read at start: one that is no small
// regular file is kept from them.
#include <gtest/gtest.h>

#include <pulse/pulseaudio.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "LibraryConfigFiles.h"
#include "Support/Fifo.h"
#include "Support/ScopedEnv.h"
#include "Support/TempFolder.h"

using namespace LibraryConfigFiles;

namespace {

class LibraryConfigFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsValid());
        std::filesystem::create_directories(m_home + "/.config/pulse");
    }

    void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    TempFolder m_folder;
    const std::string m_home = m_folder.Path();
    const std::string m_clientConfig = m_home + "/.config/pulse/client.conf";
    ScopedEnv m_homeEnv{"HOME", m_home.c_str()};
    ScopedEnv m_configHome{"XDG_CONFIG_HOME", nullptr};
    ScopedEnv m_configPath{"PULSE_CONFIG_PATH", nullptr};
    ScopedEnv m_named{"PULSE_CLIENTCONFIG", nullptr};
};

}  // namespace

TEST_F(LibraryConfigFilesTest, TheSoundLibraryTakesAnotherClientConfigInPlaceOfAFifo)
{
    Fifo fifo(m_clientConfig);
    ASSERT_TRUE(fifo.IsValid());
    const std::string system = m_home + "/system.conf";
    WriteFile(system, "autospawn = no\n");
    EXPECT_EQ(PulseClientConfigReplacement(system), system);
    EXPECT_EQ(PulseClientConfigReplacement(m_clientConfig), "/dev/null");
    ASSERT_TRUE(GuardPulseClientConfig());
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [] {
        pa_mainloop* loop = pa_mainloop_new();
        pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "test");
        if (context)
            pa_context_unref(context);
        pa_mainloop_free(loop);
    }, std::chrono::seconds(10)));
}

TEST_F(LibraryConfigFilesTest, OnlyClientConfigsThatCannotBeReadSafelyAreReplaced)
{
    EXPECT_EQ(PulseClientConfigReplacement(), "") << "none";
    WriteFile(m_clientConfig, "autospawn = no\n");
    EXPECT_EQ(PulseClientConfigReplacement(), "");
    EXPECT_FALSE(GuardPulseClientConfig());
    EXPECT_EQ(std::getenv("PULSE_CLIENTCONFIG"), nullptr);

    std::filesystem::remove(m_clientConfig);
    std::filesystem::create_symlink("/dev/zero", m_clientConfig);
    EXPECT_NE(PulseClientConfigReplacement(), "");
    std::filesystem::create_directories(m_home + "/other/pulse");
    ScopedEnv configHome("XDG_CONFIG_HOME", (m_home + "/other").c_str());
    EXPECT_EQ(PulseClientConfigReplacement(), "") << "the file of another settings folder is not read";
    std::filesystem::create_directories(m_home + "/other/pulse/client.conf.d");
    Fifo part(m_home + "/other/pulse/client.conf.d/a.conf");
    ASSERT_TRUE(part.IsValid());
    EXPECT_NE(PulseClientConfigReplacement(), "") << "a part read after the file";
    ScopedEnv named("PULSE_CLIENTCONFIG", "/dev/zero");
    EXPECT_NE(PulseClientConfigReplacement(), "");
}

TEST_F(LibraryConfigFilesTest, QtConfFilesBesideTheProgramAreSafeWhenAbsentOrSmallRegularFiles)
{
    EXPECT_TRUE(AreQtConfFilesSafe(m_home));
    WriteFile(m_home + "/qt.conf", "[Paths]\n");
    EXPECT_TRUE(AreQtConfFilesSafe(m_home));
    Fifo fifo(m_home + "/qt6.conf");
    ASSERT_TRUE(fifo.IsValid());
    EXPECT_FALSE(AreQtConfFilesSafe(m_home));
    std::filesystem::remove(m_home + "/qt6.conf");
    std::filesystem::remove(m_home + "/qt.conf");
    std::filesystem::create_symlink("/dev/zero", m_home + "/qt.conf");
    EXPECT_FALSE(AreQtConfFilesSafe(m_home));
}
