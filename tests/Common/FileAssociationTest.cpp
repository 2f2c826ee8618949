#include "Common/FileAssociation.h"
#include "Common/XdgAssociationStore.h"
#include "Support/Fifo.h"
#include "Support/ScopedEnv.h"
#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

const std::wstring kProgram = L"/opt/lumivex/lumivex";
const std::list<std::wstring> kDefaultTypes{L".kvx", L".kvx_", L".avi", L".mp4", L".ps", L".ts"};

class XdgAssociationTest : public ::testing::Test {
protected:
    XdgAssociationTest()
    {
        setenv("XDG_DATA_HOME", m_dataHome.c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
        setenv("HOME", m_dir.Path().c_str(), 1);
    }
    std::shared_ptr<CXdgAssociationStore> NewStore()
    {
        return std::make_shared<CXdgAssociationStore>(
            CXdgAssociationStore::FromEnvironment(CFileAssociation::MakeHandlerId(kProgram)));
    }

    TempFolder m_dir;
    std::string m_dataHome = m_dir.File("data");
    std::string m_configHome = m_dir.File("config");
};

TEST_F(XdgAssociationTest, FreshHomeReportsEveryTypeAndRegisteringAssociatesThem)
{
    CFileAssociation association(NewStore(), kProgram);
    std::list<std::wstring> missing = FindUnassociatedFileTypes(association, kDefaultTypes);
    // ".kvx_" has no type and ".ps" is PostScript to the desktop.
    EXPECT_EQ(missing, (std::list<std::wstring>{L".kvx", L".avi", L".mp4", L".ts"}));

    RegisterFileTypes(association, missing, L"/opt/lumivex/lumivex.png");
    EXPECT_TRUE(FindUnassociatedFileTypes(association, kDefaultTypes).empty());

    CFileAssociation reread(NewStore(), kProgram);  // from the files alone
    EXPECT_TRUE(FindUnassociatedFileTypes(reread, kDefaultTypes).empty());
    EXPECT_EQ(reread.IsFileAssociated(L".KVX"), 1);
    EXPECT_EQ(reread.IsFileAssociated(L".mkv"), 0);

    std::string package = ReadFile(m_dataHome + "/mime/packages/lumivex.Files.xml");
    EXPECT_NE(package.find("<glob pattern=\"*.kvx\" />"), std::string::npos);
    EXPECT_NE(package.find("type=\"video/x-kvx\""), std::string::npos);
    EXPECT_NE(package.find("value=\"KVXR\\x01\" offset=\"0\""), std::string::npos);
    EXPECT_EQ(package.find("*.mp4"), std::string::npos);
    std::string entry = ReadFile(m_dataHome + "/applications/lumivex.Files.desktop");
    EXPECT_NE(entry.find("Exec=\"/opt/lumivex/lumivex\" %f\n"), std::string::npos);
    EXPECT_NE(entry.find("Icon=/opt/lumivex/lumivex.png\n"), std::string::npos);
    EXPECT_NE(entry.find("video/mp2t;"), std::string::npos);
    EXPECT_NE(entry.find("video/x-msvideo;"), std::string::npos);
    std::string defaults = ReadFile(m_configHome + "/mimeapps.list");
    EXPECT_EQ(defaults.rfind("[Default Applications]\n", 0), 0u);
    EXPECT_NE(defaults.find("\nvideo/x-kvx=lumivex.Files.desktop;\n"), std::string::npos);
    EXPECT_NE(defaults.find("\nvideo/mp4=lumivex.Files.desktop;\n"), std::string::npos);
}

TEST_F(XdgAssociationTest, AnotherDefaultProgramMeansNotAssociatedAndIsKeptBehindOurs)
{
    std::filesystem::create_directories(m_configHome);
    std::filesystem::create_directories(m_dataHome + "/applications");
    WriteFile(m_dataHome + "/applications/other.desktop", "[Desktop Entry]\nType=Application\nExec=other\n");
    // Listed under an alias of the type the database gives ".avi".
    WriteFile(m_configHome + "/mimeapps.list",
              "[Added Associations]\nvideo/x-msvideo=other.desktop;\n"
              "[Default Applications]\nvideo/avi=other.desktop;\ntext/plain=ed.desktop;\n");
    CFileAssociation association(NewStore(), kProgram);
    association.RegisterFileAssociation(L".mp4", L"", true);
    EXPECT_EQ(association.IsFileAssociated(L".mp4"), 1);

    CFileAssociation second(NewStore(), kProgram);
    EXPECT_EQ(second.IsFileAssociated(L".avi"), 0);
    second.RegisterFileAssociation(L".avi", L"", true);
    EXPECT_EQ(second.IsFileAssociated(L".avi"), 1);
    std::string defaults = ReadFile(m_configHome + "/mimeapps.list");
    EXPECT_NE(defaults.find("video/x-msvideo=lumivex.Files.desktop;"), std::string::npos);
    EXPECT_NE(defaults.find("text/plain=ed.desktop;"), std::string::npos);
    EXPECT_NE(defaults.find("[Added Associations]\nvideo/x-msvideo=other.desktop;"), std::string::npos);
}

// A desktop's own list comes before mimeapps.list: a default named there
// for the type gets ours before it, so the desktop opens the files with us
// and the question does not come back.
TEST_F(XdgAssociationTest, ADesktopsOwnListIsFollowed)
{
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    std::filesystem::create_directories(m_configHome);
    std::filesystem::create_directories(m_dataHome + "/applications");
    WriteFile(m_dataHome + "/applications/other.desktop", "[Desktop Entry]\nType=Application\nExec=other\n");
    const std::string gnomeList = m_configHome + "/gnome-mimeapps.list";
    WriteFile(gnomeList, "[Default Applications]\nvideo/mp4=other.desktop;\ntext/plain=ed.desktop;\n");
    CFileAssociation association(NewStore(), kProgram);
    const std::list<std::wstring> mp4{L".mp4"};
    ASSERT_EQ(FindUnassociatedFileTypes(association, mp4), mp4);
    RegisterFileTypes(association, mp4, L"");
    EXPECT_EQ(association.IsFileAssociated(L".mp4"), 1);
    CFileAssociation reread(NewStore(), kProgram);
    EXPECT_TRUE(FindUnassociatedFileTypes(reread, mp4).empty());

    const std::string listed = ReadFile(gnomeList);
    EXPECT_NE(listed.find("\nvideo/mp4=lumivex.Files.desktop;other.desktop;\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\ntext/plain=ed.desktop;\n"), std::string::npos);
    EXPECT_NE(ReadFile(m_configHome + "/mimeapps.list").find("video/mp4=lumivex.Files.desktop;"), std::string::npos);
    // A desktop list that names no default for the type is neither made nor changed.
    EXPECT_FALSE(std::filesystem::exists(m_configHome + "/ubuntu-mimeapps.list"));
}

// Without a home folder there is no place for the files (not "/.local",
// "/.config"): nothing is asked, written or run, and the reason is known.
TEST_F(XdgAssociationTest, WithoutAHomeNothingIsAskedOrWritten)
{
    ScopedEnv home("HOME", nullptr);
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    auto store = NewStore();
    CFileAssociation association(store, kProgram);
    EXPECT_TRUE(FindUnassociatedFileTypes(association, kDefaultTypes).empty());
    // Guards the steps below, which would write under "/" when it fails.
    ASSERT_NE(association.GetUnavailableReason().find("HOME"), std::string::npos);
    RegisterFileTypes(association, {L".kvx", L".mp4"}, L"");
    EXPECT_EQ(association.IsFileAssociated(L".kvx"), 0);
    EXPECT_FALSE(store->Flush());

    ScopedEnv relative("HOME", "relative/home");
    EXPECT_FALSE(NewStore()->GetUnavailableReason().empty());
    ScopedEnv folders("XDG_DATA_HOME", m_dataHome.c_str());
    ScopedEnv configFolder("XDG_CONFIG_HOME", m_configHome.c_str());
    EXPECT_TRUE(NewStore()->GetUnavailableReason().empty());
}

// The desktop skips a listed program that is not installed (ids are
// case-sensitive file names).
TEST_F(XdgAssociationTest, ListedButMissingProgramDoesNotCount)
{
    CFileAssociation association(NewStore(), kProgram);
    association.RegisterFileAssociation(L".mp4", L"", true);
    std::string path = m_configHome + "/mimeapps.list";
    WriteFile(path, "[Default Applications]\nvideo/mp4=LUMIVEX.FILES.desktop;\n");
    CFileAssociation reread(NewStore(), kProgram);
    EXPECT_EQ(reread.IsFileAssociated(L".MP4"), 0);
    WriteFile(path, "[Default Applications]\nvideo/mp4=gone.desktop;lumivex.Files.desktop;\n");
    EXPECT_EQ(CFileAssociation(NewStore(), kProgram).IsFileAssociated(L".mp4"), 1);
}

// A change that could not be written stays pending: a later Flush writes it
// or fails again, and never reports success with the change lost.
TEST_F(XdgAssociationTest, FailedFlushKeepsTheChangesForTheNextOne)
{
    WriteFile(m_configHome, "a file where the folder should be");
    auto store = NewStore();
    store->SetDefaultHandler(L"video/x-kvx", L"lumivex.Files");
    store->SetOpenCommand(L"lumivex %f", L"");
    EXPECT_FALSE(store->Flush());
    EXPECT_FALSE(store->Flush());

    std::filesystem::remove(m_configHome);
    EXPECT_TRUE(store->Flush());
    EXPECT_NE(ReadFile(m_configHome + "/mimeapps.list").find("video/x-kvx=lumivex.Files.desktop;"),
              std::string::npos);
    EXPECT_EQ(NewStore()->GetDefaultHandler(L"video/x-kvx"), L"lumivex.Files");
}

// The user's defaults file is there but cannot be read (here a link to
// itself): it is left alone and the write reported as failed.
TEST_F(XdgAssociationTest, UnreadableDefaultsFileIsNeverReplaced)
{
    std::filesystem::create_directories(m_configHome);
    const std::string path = m_configHome + "/mimeapps.list";
    std::filesystem::create_symlink("mimeapps.list", path);
    auto store = NewStore();
    EXPECT_EQ(store->GetDefaultHandler(L"video/x-kvx"), L"");
    store->SetDefaultHandler(L"video/x-kvx", L"lumivex.Files");
    EXPECT_FALSE(store->Flush());
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(std::filesystem::read_symlink(path), "mimeapps.list");
}

TEST(FileAssociationNamesTest, FromTheProgramFile)
{
    CFileAssociation association(nullptr, L"/opt/My Player/my player");
    EXPECT_EQ(association.GetHandlerId(), L"myplayer.Files");
    EXPECT_EQ(association.GetOpenCommand(), L"\"/opt/My Player/my player\" %f");
    using Types = std::vector<std::wstring>;
    EXPECT_EQ(association.GetFileTypes(L".KVX"), Types{L"video/x-kvx"});
    EXPECT_EQ(association.GetFileTypes(L".mp4"), Types{L"video/mp4"});
    EXPECT_EQ(association.GetFileTypes(L".avi"), Types{L"video/x-msvideo"});
    EXPECT_EQ(association.GetFileTypes(L".ts"), Types{L"video/mp2t"});  // not the translation files
    EXPECT_TRUE(association.GetFileTypes(L".ps").empty());
    EXPECT_TRUE(association.GetFileTypes(L".kvx_").empty());
    CFileAssociation odd(nullptr, L"/a/$x\"y");
    EXPECT_EQ(odd.GetOpenCommand(), L"\"/a/\\$x\\\"y\" %f");
}

// Records every call, to check which steps run.
class FakeStore : public IFileAssociationStore {
public:
    std::wstring GetExtensionType(const std::wstring& ext) override { return types[ext]; }
    void SetExtensionType(const std::wstring& ext, const std::wstring& type) override
    {
        types[ext] = type;
        ++writes;
    }
    std::wstring GetOpenCommand() override { return command; }
    void SetOpenCommand(const std::wstring& value, const std::wstring& newIcon) override
    {
        command = value;
        icon = newIcon;
        ++writes;
    }
    bool HandlesType(const std::wstring& type) override { return handled.count(type) > 0; }
    void AddHandledType(const std::wstring& type) override
    {
        handled[type] = true;
        ++writes;
    }
    std::wstring GetDefaultHandler(const std::wstring& type) override { return defaults[type]; }
    void SetDefaultHandler(const std::wstring& type, const std::wstring& handler) override
    {
        defaults[type] = handler;
        ++writes;
    }
    bool Flush() override
    {
        ++flushes;
        return true;
    }
    void NotifyChanged() override { ++notifications; }

    std::map<std::wstring, std::wstring> types, defaults;
    std::map<std::wstring, bool> handled;
    std::wstring command, icon;
    int writes = 0, flushes = 0, notifications = 0;
};

TEST(FileAssociationStepsTest, DesktopIsToldOnceAfterTheLastType)
{
    auto store = std::make_shared<FakeStore>();
    CFileAssociation association(store, kProgram);
    RegisterFileTypes(association, {L".avi", L".mp4", L".ts"}, L"icon");
    EXPECT_EQ(store->notifications, 1);
    EXPECT_EQ(store->flushes, 3);
    EXPECT_EQ(store->icon, L"icon");
    // command and icon once, then handled type and default per extension
    EXPECT_EQ(store->writes, 1 + 3 * 2);
}

TEST(FileAssociationStepsTest, AlreadyAssociatedTypeWritesNothing)
{
    auto store = std::make_shared<FakeStore>();
    CFileAssociation association(store, kProgram);
    association.RegisterFileAssociation(L".kvx", L"icon", false);
    EXPECT_EQ(store->notifications, 0);
    int writes = store->writes;
    association.RegisterFileAssociation(L".kvx", L"icon", true);
    EXPECT_EQ(store->writes, writes);
    EXPECT_EQ(store->flushes, 2);
    EXPECT_EQ(store->notifications, 1);
}

TEST(FileAssociationStepsTest, EachCheckMustHold)
{
    auto store = std::make_shared<FakeStore>();
    CFileAssociation association(store, kProgram);
    association.RegisterFileAssociation(L".kvx", L"", true);
    ASSERT_EQ(association.IsFileAssociated(L".kvx"), 1);
    const std::wstring type = association.GetFileTypes(L".kvx").front();

    store->types[L".kvx"] = L"video/other";
    EXPECT_EQ(association.IsFileAssociated(L".kvx"), 0);
    store->types[L".kvx"] = type;
    store->command = L"\"/elsewhere\" %f";
    EXPECT_EQ(association.IsFileAssociated(L".kvx"), 0);
    store->command = association.GetOpenCommand();
    store->handled.clear();
    EXPECT_EQ(association.IsFileAssociated(L".kvx"), 0);
    store->handled[type] = true;
    store->defaults[type] = L"";
    EXPECT_EQ(association.IsFileAssociated(L".kvx"), 0);
    store->defaults[type] = L"vlc";
    EXPECT_EQ(association.IsFileAssociated(L".kvx"), 0);
}

TEST(FileAssociationPromptTest, ListsTheMissingTypes)
{
    EXPECT_EQ(MakeFileAssociationPrompt({L".avi", L".mp4"}),
              L"The file types(.avi ,.mp4 ) doesn't associate to the program, do you want to "
              L"associate to it?");
    std::list<std::wstring> many(60, L".kvx_");
    std::wstring prompt = MakeFileAssociationPrompt(many);
    EXPECT_GT(prompt.size(), 60u * 6u);
    EXPECT_TRUE(prompt.ends_with(L".kvx_ ) doesn't associate to the program, do you want to "
                                 L"associate to it?"));
}

// A package file the XML guard refuses (the MIME database would take minutes
// over it) is set aside; a readable one stays.
TEST_F(XdgAssociationTest, ARefusedPackageFileIsSetAside)
{
    auto store = NewStore();
    std::filesystem::create_directories(m_dataHome + "/mime/packages");
    const std::string path = store->GetPackagePath();
    WriteFile(path, "<mime-info><mime-type type=\"video/x-kvx\"><glob pattern=\"*.kvx\"/></mime-type></mime-info>");
    EXPECT_FALSE(store->SetAsideRefusedPackage());
    EXPECT_TRUE(std::filesystem::exists(path));
    std::string attributes;
    for (int i = 0; i < 5000; ++i)
        attributes += " a" + std::to_string(i) + "=\"\"";
    WriteFile(path, "<mime-info" + attributes + "/>");
    EXPECT_TRUE(store->SetAsideRefusedPackage());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ReadFile(store->GetRefusedPackagePath()), "<mime-info" + attributes + "/>");
    EXPECT_TRUE(std::filesystem::is_empty(m_dataHome + "/mime/packages"));
}

// What update-mime-database made that is no regular file is set aside
// once; a file set aside stays as it is at the next start.
TEST_F(XdgAssociationTest, IrregularMimeFilesAreSetAsideOnce)
{
    const std::string mime = m_dataHome + "/mime";
    std::filesystem::create_directories(mime + "/packages");
    WriteFile(mime + "/globs2", "");
    Fifo cache(mime + "/mime.cache");
    ASSERT_TRUE(cache.IsValid());
    auto store = NewStore();
    EXPECT_EQ(store->SetAsideIrregularMimeFiles(), 1);
    EXPECT_EQ(store->SetAsideIrregularMimeFiles(), 0);
    EXPECT_EQ(std::filesystem::status(mime + "/mime.cache.bad").type(), std::filesystem::file_type::fifo);
    EXPECT_FALSE(std::filesystem::exists(mime + "/mime.cache.bad.bad"));
    EXPECT_TRUE(std::filesystem::exists(mime + "/globs2"));
}

// A FIFO in place of the defaults file is neither waited on nor replaced.
TEST_F(XdgAssociationTest, AFifoInPlaceOfTheDefaultsFileNeverBlocks)
{
    std::filesystem::create_directories(m_configHome);
    Fifo fifo(m_configHome + "/mimeapps.list");
    ASSERT_TRUE(fifo.IsValid());
    auto store = NewStore();
    bool flushed = true;
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] {
        CFileAssociation association(store, kProgram);
        association.RegisterFileAssociation(L".mp4", L"", false);
        flushed = store->Flush();
    }));
    EXPECT_FALSE(flushed);
    EXPECT_EQ(std::filesystem::status(m_configHome + "/mimeapps.list").type(), std::filesystem::file_type::fifo);
}

}  // namespace
