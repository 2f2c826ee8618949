#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "Base/TextCodec.h"
#include "FileIndex/SFFileFind.h"
#include "Support/TempFolder.h"

using SF_SOFT_BASE::Utf8ToWide;

namespace {

// Every entry of a listing by name, with its directory flag.
std::map<std::wstring, bool> ListAll(CSFFileFind& find, const std::wstring& pattern)
{
    std::map<std::wstring, bool> entries;
    if (!find.FindFile(pattern.c_str()))
        return entries;
    do {
        const bool fresh = entries.emplace(find.GetFileName(), find.IsDirectory()).second;
        EXPECT_TRUE(fresh) << "listed twice";
    } while (find.FindNextFile());
    EXPECT_EQ(find.GetLastError(), CSFFileFind::kErrorNoMoreFiles);
    return entries;
}

}  // namespace

TEST(SFFileFindTest, ListsEveryEntryOnceIncludingTheFirst)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    ASSERT_TRUE(folder.Touch("a.kvx"));
    ASSERT_TRUE(folder.Touch(".hidden.kvx"));
    ASSERT_TRUE(folder.MakeFolder("2016-01-02"));

    CSFFileFind find;
    const auto entries = ListAll(find, folder.Pattern());
    const std::map<std::wstring, bool> expected{
        {L".", true}, {L"..", true}, {L"a.kvx", false}, {L".hidden.kvx", false}, {L"2016-01-02", true}};
    EXPECT_EQ(entries, expected);
    EXPECT_FALSE(find.FindNextFile());
}

TEST(SFFileFindTest, DescribesTheCurrentEntry)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Touch("a.b.kvx"));
    {
        std::FILE* file = std::fopen((folder.Path() + "/a.b.kvx").c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("12345", file);
        std::fclose(file);
    }
    CSFFileFind find;
    ASSERT_TRUE(find.FindFile((folder.WidePath() + L"/*.kvx").c_str()));
    EXPECT_STREQ(find.GetFileName(), L"a.b.kvx");
    EXPECT_EQ(std::wstring(find.GetFilePath()), folder.WidePath() + L"/a.b.kvx");
    EXPECT_STREQ(find.GetFileTitle(), L"a.b");
    EXPECT_STREQ(find.GetFileExt(), L".kvx");
    EXPECT_EQ(find.GetLength(), 5u);
    EXPECT_EQ(std::wstring(find.GetRoot()), folder.WidePath() + L"/");
    EXPECT_FALSE(find.IsDirectory());
    EXPECT_FALSE(find.IsHidden());
    EXPECT_FALSE(find.IsSystem());
    EXPECT_FALSE(find.IsTemporary());
    EXPECT_FALSE(find.IsDots());
    EXPECT_FALSE(find.FindNextFile());  // the mask takes only the one file
}

TEST(SFFileFindTest, HiddenDotsAndFolders)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Touch(".x"));
    ASSERT_TRUE(folder.MakeFolder("sub"));
    CSFFileFind find;
    std::set<std::wstring> hidden, dots, folders;
    ASSERT_TRUE(find.FindFile(folder.Pattern().c_str()));
    do {
        if (find.IsHidden())
            hidden.insert(find.GetFileName());
        if (find.IsDots())
            dots.insert(find.GetFileName());
        if (find.IsDirectory())
            folders.insert(find.GetFileName());
    } while (find.FindNextFile());
    EXPECT_EQ(hidden, (std::set<std::wstring>{L".", L"..", L".x"}));
    EXPECT_EQ(dots, (std::set<std::wstring>{L".", L".."}));
    EXPECT_EQ(folders, (std::set<std::wstring>{L".", L"..", L"sub"}));
}

TEST(SFFileFindTest, ExtensionEdgeCases)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Touch("noext"));
    ASSERT_TRUE(folder.Touch("long.abcdefghijklmnop"));  // 17 characters with the dot
    ASSERT_TRUE(folder.Touch("edge.abcdefghijklmn"));    // 15 characters with the dot
    CSFFileFind find;
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> parts;
    ASSERT_TRUE(find.FindFile(folder.Pattern().c_str()));
    do {
        if (find.IsDirectory())
            continue;
        std::wstring title = find.GetFileTitle();
        parts[find.GetFileName()] = {title, find.GetFileExt()};
    } while (find.FindNextFile());
    EXPECT_EQ(parts[L"noext"], std::make_pair(std::wstring(L"noext"), std::wstring()));
    EXPECT_EQ(parts[L"long.abcdefghijklmnop"], std::make_pair(std::wstring(L"long"), std::wstring()));
    EXPECT_EQ(parts[L"edge.abcdefghijklmn"],
              std::make_pair(std::wstring(L"edge"), std::wstring(L".abcdefghijklmn")));
}

TEST(SFFileFindTest, FailuresAreReportedNotThrown)
{
    CSFFileFind find;
    EXPECT_FALSE(find.FindNextFile());
    EXPECT_EQ(find.GetFilePath(), nullptr);
    EXPECT_STREQ(find.GetFileName(), L"");
    EXPECT_EQ(find.GetLength(), 0u);
    EXPECT_FALSE(find.IsDirectory());

    EXPECT_FALSE(find.FindFile(nullptr));
    EXPECT_FALSE(find.FindFile(L"/no/such/folder/anywhere/*.*"));
    EXPECT_EQ(find.GetLastError(), CSFFileFind::kErrorPathNotFound);
    EXPECT_FALSE(find.FindNextFile());

    const std::wstring tooLong = L"/tmp/" + std::wstring(5000, L'x') + L"/*.*";
    EXPECT_FALSE(find.FindFile(tooLong.c_str()));
    EXPECT_EQ(find.GetLastError(), CSFFileFind::kErrorFileNameTooLong);

    TempFolder folder;
    ASSERT_TRUE(folder.Touch("plain"));
    EXPECT_FALSE(find.FindFile((folder.WidePath() + L"/plain/*.*").c_str()));
    EXPECT_FALSE(find.FindFile((folder.WidePath() + L"/*.none").c_str()));
    EXPECT_EQ(find.GetLastError(), CSFFileFind::kErrorFileNotFound);
}

TEST(SFFileFindTest, UnreadableFolderFailsCleanly)
{
    TempFolder folder;
    ASSERT_TRUE(folder.MakeFolder("locked"));
    const std::string locked = folder.Path() + "/locked";
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    // The check runs in a child that gives up any rights to ignore permissions.
    EXPECT_EXIT(
        {
            DropRootRights();
            CSFFileFind find;
            const bool opened = find.FindFile((Utf8ToWide(locked) + L"/*.*").c_str());
            std::exit(!opened && find.GetLastError() == CSFFileFind::kErrorAccessDenied ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(SFFileFindTest, NamesOfEveryByteSurvive)
{
    TempFolder folder;
    std::set<std::string> made;
    for (int b = 1; b < 256; ++b) {
        if (b == '/')
            continue;
        const std::string name = std::string("n") + static_cast<char>(b) + "_ch1.kvx";
        ASSERT_TRUE(folder.Touch(name)) << b;
        made.insert(name);
    }
    const std::string longest(255, 'z');
    ASSERT_TRUE(folder.Touch(longest));
    made.insert(longest);

    CSFFileFind find;
    std::set<std::string> seen;
    ASSERT_TRUE(find.FindFile(folder.Pattern().c_str()));
    do {
        if (find.IsDots())
            continue;
        const std::string path = SF_SOFT_BASE::WideToUtf8(find.GetFilePath());
        struct stat st;
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << "path does not name the file";
        seen.insert(SF_SOFT_BASE::WideToUtf8(find.GetFileName()));
        find.GetFileTitle();
        find.GetFileExt();
    } while (find.FindNextFile());
    EXPECT_EQ(seen, made);
}
