#include "Common/FileAssociation.h"
#include "Common/XdgAssociationStore.h"
#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        ::pclose(pipe);
    }
    return output;
}

bool HasProgram(const char* name)
{
    return !RunCommand(std::string("command -v ") + name).empty();
}

// The type the desktop gives the file by its name and content.
std::string ContentType(const std::string& file)
{
    const std::string info = RunCommand("gio info -a standard::content-type '" + file + "'");
    const std::string key = "standard::content-type: ";
    const auto at = info.find(key);
    return at == std::string::npos ? "" : info.substr(at + key.size(), info.find('\n', at) - at - key.size());
}

class DesktopAssociationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HasProgram("gio") || !HasProgram("ffmpeg") || !HasProgram("update-mime-database"))
            GTEST_SKIP() << "needs gio, ffmpeg and update-mime-database";
        setenv("XDG_DATA_HOME", m_home.File("data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_home.File("config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", m_home.File("etc").c_str(), 1);
        setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
        unsetenv("XDG_CURRENT_DESKTOP");
    }

    TempFolder m_home;
    TempFolder m_files;
};

}  // namespace

// Real recordings resolve, by the desktop's own lookup, to our desktop entry.
TEST_F(DesktopAssociationTest, RealRecordingsOpenWithTheProgram)
{
    for (const char* ext : {"mp4", "avi", "ts"})
        RunCommand("ffmpeg -y -loglevel error -f lavfi -i testsrc=size=64x48:rate=5 -t 1 '" + m_files.File(std::string("a.") + ext) + "'");
    RunCommand(std::string(KVXWRITE_PROGRAM) + " --name Demo --size 64x48 --seconds 1 --audio none '" + m_files.Path() + "'");
    std::string kvx;
    for (const auto& entry : std::filesystem::directory_iterator(m_files.Path()))
        if (entry.path().extension() == ".kvx")
            kvx = entry.path().string();
    ASSERT_FALSE(kvx.empty());
    std::filesystem::rename(kvx, m_files.File("recording.kvx"));

    // The desktop lists only entries whose program exists.
    const std::string programFile = m_home.File("lumivex");
    WriteFile(programFile, "#!/bin/sh\n");
    std::filesystem::permissions(programFile, std::filesystem::perms::owner_all);
    const std::wstring program = SF_SOFT_BASE::Utf8ToWide(programFile);
    auto store = std::make_shared<CXdgAssociationStore>(
        CXdgAssociationStore::FromEnvironment(CFileAssociation::MakeHandlerId(program)));
    CFileAssociation association(store, program);
    const std::list<std::wstring> types{L".kvx", L".avi", L".mp4", L".ts"};
    RegisterFileTypes(association, FindUnassociatedFileTypes(association, types), L"");
    EXPECT_TRUE(FindUnassociatedFileTypes(association, types).empty());

    const std::pair<const char*, const char*> files[] = {
        {"a.mp4", "video/mp4"}, {"a.avi", "video/x-msvideo"}, {"a.ts", "video/mp2t"}, {"recording.kvx", "video/x-kvx"}};
    for (const auto& [name, expected] : files) {
        const std::string type = ContentType(m_files.File(name));
        EXPECT_EQ(type, expected) << name;
        EXPECT_NE(RunCommand("gio mime '" + type + "'").find("lumivex.Files.desktop"), std::string::npos) << name;
    }
    // Content alone: a renamed recording is still ours.
    std::filesystem::copy(m_files.File("recording.kvx"), m_files.File("recording.bin"));
    EXPECT_EQ(ContentType(m_files.File("recording.bin")), "video/x-kvx");
}

TEST_F(DesktopAssociationTest, LinkedDefaultsFileKeepsItsLinkAndIconIsInstalled)
{
    const std::string dotfiles = m_home.File("dotfiles");
    std::filesystem::create_directories(dotfiles);
    std::filesystem::create_directories(m_home.File("config"));
    WriteFile(dotfiles + "/mimeapps.list", "[Default Applications]\ntext/plain=ed.desktop;\n");
    std::filesystem::create_symlink(dotfiles + "/mimeapps.list", m_home.File("config/mimeapps.list"));
    WriteFile(m_files.File("icon.png"), "png bytes");

    const std::wstring program = L"/opt/lumivex/lumivex";
    auto store = std::make_shared<CXdgAssociationStore>(
        CXdgAssociationStore::FromEnvironment(CFileAssociation::MakeHandlerId(program)));
    CFileAssociation association(store, program);
    association.RegisterFileAssociation(L".mp4", SF_SOFT_BASE::Utf8ToWide(m_files.File("icon.png")), false);

    EXPECT_TRUE(std::filesystem::is_symlink(m_home.File("config/mimeapps.list")));
    const std::string linked = ReadFile(dotfiles + "/mimeapps.list");
    EXPECT_NE(linked.find("video/mp4=lumivex.Files.desktop;"), std::string::npos);
    EXPECT_NE(linked.find("text/plain=ed.desktop;"), std::string::npos);
    EXPECT_EQ(ReadFile(m_home.File("data/icons/hicolor/64x64/apps/lumivex.png")), "png bytes");
    const std::string entry = ReadFile(m_home.File("data/applications/lumivex.Files.desktop"));
    EXPECT_NE(entry.find("Icon=lumivex\n"), std::string::npos);
    EXPECT_EQ(association.IsFileAssociated(L".mp4"), 1);
}
