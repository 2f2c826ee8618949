#include "Base/SFDateTime.h"
#include "Common/AppDir.h"
#include "Common/FileNameHelpers.h"
#include "Common/GroupFileLists.h"
#include "Common/LangString.h"
#include "Common/LangStringTable.h"
#include "Common/PlayProgressPanelLayout.h"
#include "Common/UserMessages.h"
#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(LangStringTest, TranslatesFromTheLanguageFileAndFallsBackToTheKey)
{
    TempFolder dir;
    const std::string file = dir.File("Lang_3.xml");
    WriteFile(file, "<Language><s name=\"Prompt\" value=\"Hinweis\"/>"
                    "<t name=\"Prompt\" value=\"Frage \xc3\xa4\"/><u value=\"x\"/></Language>");
    CLangStringTable table;
    EXPECT_STREQ(table.Translate(L"Prompt", file), L"Frage ä");  // the later duplicate wins
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_STREQ(table.Translate(L"Missing", file), L"Missing");
    EXPECT_STREQ(table.Translate(nullptr, file), L"");
}

// A language file need not hold every entry: English fills the gaps.
TEST(LangStringTest, EntriesTheLanguageLacksComeFromTheFallbackFile)
{
    TempFolder dir;
    const std::string english = dir.File("Lang_1.xml");
    const std::string german = dir.File("Lang_2.xml");
    WriteFile(english, "<Language><s name=\"MultiLanguage\" value=\"1\"/><s name=\"Language_1\" value=\"English\"/>"
                       "<s name=\"Prompt\" value=\"Notice\"/></Language>");
    WriteFile(german, "<Language><s name=\"Prompt\" value=\"Hinweis\"/></Language>");
    CLangStringTable table;
    EXPECT_STREQ(table.Translate(L"Prompt", german, english), L"Hinweis");
    EXPECT_STREQ(table.Translate(L"MultiLanguage", german, english), L"1");
    EXPECT_STREQ(table.Translate(L"Language_1", german, english), L"English");
    EXPECT_STREQ(table.Translate(L"Missing", german, english), L"Missing");
    EXPECT_TRUE(table.IsLoaded());
}

// A missing or broken file is read once, not again on every lookup.
TEST(LangStringTest, TheLanguageFileIsReadOnlyOnce)
{
    TempFolder dir;
    const std::string file = dir.File("Lang_3.xml");
    CLangStringTable missing;
    EXPECT_STREQ(missing.Translate(L"Prompt", file), L"Prompt");
    WriteFile(file, "<Language><s name=\"Prompt\" value=\"Hinweis\"/></Language>");
    EXPECT_STREQ(missing.Translate(L"Prompt", file), L"Prompt");
    EXPECT_FALSE(missing.IsLoaded());

    WriteFile(file, "<Language><s name=\"Prompt\" value=\"Hinweis\"/></Langu");
    CLangStringTable broken;
    EXPECT_STREQ(broken.Translate(L"Prompt", file), L"Prompt");
    WriteFile(file, "<Language><s name=\"Prompt\" value=\"Hinweis\"/></Language>");
    EXPECT_STREQ(broken.Translate(L"Prompt", file), L"Prompt");
    EXPECT_FALSE(broken.IsLoaded());
}

TEST(LangStringTest, ALanguageFileThatIsAFolderOrNestsTooDeepGivesTheKeys)
{
    TempFolder dir;
    const std::string folder = dir.File("Lang_4.xml");
    ASSERT_TRUE(dir.MakeFolder("Lang_4.xml"));
    CLangStringTable table;
    EXPECT_STREQ(table.Translate(L"Prompt", folder), L"Prompt");
    std::string nested = "<Language><s name=\"Prompt\" value=\"Hinweis\"/>";
    for (int i = 0; i < 45000; ++i)
        nested += "<a b=\"</\">";
    const std::string deep = dir.File("Lang_5.xml");
    WriteFile(deep, nested);
    CLangStringTable deepTable;
    EXPECT_STREQ(deepTable.Translate(L"Prompt", deep), L"Prompt");
}

TEST(LangStringTest, LongKeysAreCutTo1023Characters)
{
    CLangStringTable table;
    std::wstring key(1500, L'k');
    EXPECT_EQ(std::wstring(table.Translate(key.c_str(), "/nonexistent/Lang_1.xml")),
              std::wstring(1023, L'k'));
}

TEST(LangStringTest, ALanguageWithoutItsFileFallsBackToEnglish)
{
    EXPECT_EQ(ChooseLanguageNumber(0), 1);
    EXPECT_EQ(ChooseLanguageNumber(9877), 1);
    const std::string file = SFGetAppDirUtf8() + "/Lang_9878.xml";
    WriteFile(file, "<Language><s name=\"Prompt\" value=\"Hinweis\"/></Language>");
    EXPECT_EQ(ChooseLanguageNumber(9878), 9878);
    std::filesystem::remove(file);
}

TEST(LangStringTest, ResultsStayValidAfterManyCallsAndAcrossThreads)
{
    SetLanguageNumber(9876);  // no such file beside the test program
    const wchar_t* first = GetLangString(L"first");
    for (int i = 0; i < 10; ++i)
        GetLangString((L"other" + std::to_wstring(i)).c_str());
    EXPECT_STREQ(first, L"first");

    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < 200; ++i) {
                std::wstring key = L"k" + std::to_wstring(t) + L"_" + std::to_wstring(i % 7);
                if (key != GetLangString(key.c_str()))
                    ++wrong;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(GetLanguageNumber(), 9876);
}

class RecordingPrompt : public IPromptDialog {
public:
    int ShowMsg(const wchar_t* text, const wchar_t* title, int style) override
    {
        lastText = text;
        lastTitle = title;
        lastStyle = style;
        return 1;
    }
    std::wstring lastText;
    std::wstring lastTitle;
    int lastStyle = -5;
};

TEST(UserMessagesTest, MessageBoxUsesTheRegisteredPromptDialog)
{
    EXPECT_EQ(ShowMessageBox(L"text", L"title", 1), -1);
    RecordingPrompt prompt;
    SetPromptDialog(&prompt);
    EXPECT_EQ(ShowMessageBox(L"Delete?", nullptr, 1), 1);
    EXPECT_EQ(prompt.lastText, L"Delete?");
    EXPECT_EQ(prompt.lastTitle, L"Prompt");
    EXPECT_EQ(prompt.lastStyle, 1);
    ShowMessageBox(L"t", L"Own", 0);
    EXPECT_EQ(prompt.lastTitle, L"Own");
    SetPromptDialog(nullptr);
    EXPECT_EQ(ShowMessageBox(L"text", L"title", 1), -1);
}

TEST(UserMessagesTest, NotifyReachesTheHandler)
{
    ShowNotifyMessage(L"no handler yet", true);  // must not fail
    std::wstring got;
    bool shown = false;
    SetNotifyMessageHandler([&](const std::wstring& text, bool show) {
        got = text;
        shown = show;
    });
    ShowNotifyMessage(L"Record Failed!", true);
    EXPECT_EQ(got, L"Record Failed!");
    EXPECT_TRUE(shown);
    SetNotifyMessageHandler(nullptr);
    ShowNotifyMessage(L"after", false);
    EXPECT_EQ(got, L"Record Failed!");
}

class TimeStampNameTest : public ::testing::Test {
protected:
    std::uint32_t m_time = SF_SOFT_BASE::CSFDateTime(2013, 5, 6, 7, 8, 9).ToTime();
};

TEST_F(TimeStampNameTest, FormsByChannelAndStream)
{
    std::wstring name;
    EXPECT_EQ(MakeTimeStampFileName((1 << 24) | 3, m_time, name, L".jpg"), 1);
    EXPECT_EQ(name.rfind(L"20130506070809[3_1]_", 0), 0u) << name;
    EXPECT_TRUE(name.ends_with(L".jpg"));
    MakeTimeStampFileName(3, m_time, name, L".bmp");
    EXPECT_EQ(name.rfind(L"20130506070809[3]_", 0), 0u) << name;
    MakeTimeStampFileName(-1, m_time, name, L"");
    EXPECT_EQ(name.rfind(L"20130506070809_", 0), 0u) << name;
    int number = std::stoi(name.substr(15));
    EXPECT_GE(number, 0);
    EXPECT_LT(number, 10000);
}

TEST_F(TimeStampNameTest, NamesInTheSameSecondNeverRepeat)
{
    std::set<std::wstring> names;
    for (int i = 0; i < 2000; ++i) {
        std::wstring name;
        MakeTimeStampFileName(5, m_time, name, L".jpg");
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 2000u);
}

TEST(FileTypeTest, ByExtension)
{
    EXPECT_EQ(GetFileTypeByExtension(L"/r/a.kvx"), 1);
    EXPECT_EQ(GetFileTypeByExtension(L"a.AVI"), 2);
    EXPECT_EQ(GetFileTypeByExtension(L"a.mp4"), 3);
    EXPECT_EQ(GetFileTypeByExtension(L"a.ps"), 4);
    EXPECT_EQ(GetFileTypeByExtension(L"C:\\x\\b.TS"), 5);
    EXPECT_EQ(GetFileTypeByExtension(L"a.mp4.bak"), 0);
    EXPECT_EQ(GetFileTypeByExtension(L"noextension"), 0);
    EXPECT_EQ(GetFileTypeByExtension(L"a.kvx_"), 0);
    EXPECT_EQ(GetFileTypeByExtension(L""), 0);
}

TEST(PlayProgressPanelLayoutTest, TextsByWidth)
{
    PlayProgressPanelLayout layout = MakePlayProgressPanelLayout(1000);
    EXPECT_EQ(layout[0], L"156,0,802,70");
    EXPECT_EQ(layout[3], L"959,25,15,30");
    EXPECT_EQ(layout[4], L"0,10,975,70");
    EXPECT_EQ(layout[6], L"slider_speedoutput.png");
    EXPECT_EQ(layout[12], L"300,0,20,20");
    EXPECT_EQ(layout[13], L"28,78,90,21");
    EXPECT_TRUE(layout[14].empty());
    EXPECT_TRUE(layout[25].empty());
    EXPECT_EQ(layout[26], L"975,22,21,28");
    EXPECT_EQ(layout[27], L"975,50,21,28");
    EXPECT_TRUE(layout[29].empty());
}

_GROUP_FILE_INFO Group(const wchar_t* name, int key, std::initializer_list<int> channels)
{
    _GROUP_FILE_INFO group;
    group.groupName = name;
    group.key = key;
    for (int channel : channels)
        group.channels[channel] = reinterpret_cast<void*>(static_cast<std::intptr_t>(channel * 16));
    return group;
}

GroupFileListPtr List(std::initializer_list<_GROUP_FILE_INFO> groups)
{
    return std::make_shared<GroupFileList>(groups);
}

TEST(GroupFileListsTest, CommonFilesNeedSameNameKeyAndAChannel)
{
    auto a = List({Group(L"NVR", 100, {1, 2})});
    EXPECT_TRUE(HasCommonGroupFiles(a, List({Group(L"NVR", 100, {2, 3})})));
    EXPECT_FALSE(HasCommonGroupFiles(a, List({Group(L"NVR", 100, {3})})));
    EXPECT_FALSE(HasCommonGroupFiles(a, List({Group(L"NVR", 101, {1})})));
    EXPECT_FALSE(HasCommonGroupFiles(a, List({Group(L"DVR", 100, {1})})));
    EXPECT_TRUE(HasCommonGroupFiles(List({Group(L"single.avi", 7, {})}),
                                    List({Group(L"single.avi", 7, {})})));
    EXPECT_FALSE(HasCommonGroupFiles(a, nullptr));
    EXPECT_FALSE(HasCommonGroupFiles(a, List({})));
}

TEST(GroupFileListsTest, SplitByGroupAndChannel)
{
    auto a = List({Group(L"NVR", 100, {1, 2, 3}), Group(L"NVR", 200, {1}), Group(L"one.avi", 7, {}),
                   Group(L"two.avi", 8, {})});
    auto b = List({Group(L"NVR", 100, {2, 9}), Group(L"one.avi", 7, {})});
    GroupFileListPtr common = SplitGroupFileList(a, b, 1);
    GroupFileListPtr rest = SplitGroupFileList(a, b, 0);

    ASSERT_EQ(common->size(), 2u);
    EXPECT_EQ(common->front().key, 100);
    EXPECT_EQ(common->front().channels.size(), 1u);
    EXPECT_EQ(common->front().channels.count(2), 1u);
    EXPECT_EQ(common->front().channels.at(2), reinterpret_cast<void*>(32));
    EXPECT_EQ(common->back().groupName, L"one.avi");

    ASSERT_EQ(rest->size(), 3u);
    auto it = rest->begin();
    EXPECT_EQ(it->key, 100);
    EXPECT_EQ(it->channels.size(), 2u);
    EXPECT_EQ((++it)->key, 200);
    EXPECT_EQ((++it)->groupName, L"two.avi");
    EXPECT_EQ(a->front().channels.size(), 3u);  // inputs unchanged
}

TEST(GroupFileListsTest, SplitAgainstEmptyList)
{
    auto a = List({Group(L"NVR", 100, {1}), Group(L"x.avi", 3, {})});
    EXPECT_EQ(SplitGroupFileList(a, List({}), 0)->size(), 2u);
    EXPECT_TRUE(SplitGroupFileList(a, List({}), 1)->empty());
    EXPECT_TRUE(SplitGroupFileList(nullptr, a, 0)->empty());
}

}  // namespace
