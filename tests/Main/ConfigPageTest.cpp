#include <gtest/gtest.h>

#include <filesystem>

#include <boost/make_shared.hpp>

#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "FileIndex/FileManager.h"
#include "Main/ConfigUILogic.h"
#include "Main/ConfigViewEventImp.h"
#include "Support/TempFolder.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFRadioBox.h"

namespace {

std::wstring EditText(CSFEditCtrl* edit)
{
    wchar_t text[256] = {};
    edit->GetWindowTextW(text, 256);
    return text;
}

class ConfigPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_settings.SnapPath = m_folder.WidePath() + L"/snap/";
        m_settings.VideoPath = m_folder.WidePath() + L"/video/";
        m_settings.ShowTrace = 7;
        m_settings.Proportion = 1;
        m_page = CConfigViewEventImp::Create(nullptr);
    }
    void Edit(const std::wstring& text)
    {
        std::wstring buffer = text;
        m_page->EDIT_OnEditingFinished(CConfigViewEventImp::kSnapPathEdit, buffer.data());
    }

    TempFolder m_folder;
    CConfigManager& m_settings = *CConfigManager::GetInstance();
    boost::shared_ptr<CConfigViewEventImp> m_page;
};

}  // namespace

TEST(ConfigFolderRules, TextChecksAndNormalForm)
{
    EXPECT_EQ(CConfigUILogic::CheckFolderText(std::wstring(200, L'a')), CConfigUILogic::kFolderTextOk);
    EXPECT_EQ(CConfigUILogic::CheckFolderText(std::wstring(201, L'a')), CConfigUILogic::kFolderTextTooLong);
    EXPECT_EQ(CConfigUILogic::CheckFolderText(L""), CConfigUILogic::kFolderTextEmpty);
    EXPECT_EQ(CConfigUILogic::NormaliseFolderText(L"\\rec\\snap"), L"/rec/snap/");
    EXPECT_EQ(CConfigUILogic::NormaliseFolderText(L"/rec/snap/"), L"/rec/snap/");
    EXPECT_EQ(CConfigUILogic::MakeStoredFolder(L"/rec/snap../"), L"/rec/snap/");
    EXPECT_EQ(CConfigUILogic::MakeStoredFolder(L"/rec/snap/"), L"/rec/snap/");
}

TEST_F(ConfigPageTest, ControlsShowTheSettings)
{
    EXPECT_EQ(EditText(m_page->GetFolderEdit(CConfigViewEventImp::kSnapPathEdit)), m_settings.SnapPath);
    EXPECT_EQ(m_page->GetCombo(CConfigViewEventImp::kProportionCombo)->GetCurSel(), 1);
    for (int id : {711, 712, 713})
        EXPECT_EQ(m_page->GetCheckBox(id)->GetCheck(), 1);
}

TEST_F(ConfigPageTest, EditedFolderIsCreatedAndStoredInOneForm)
{
    Edit(m_folder.WidePath() + L"\\new..");
    const std::wstring expected = m_folder.WidePath() + L"/new/";
    EXPECT_EQ(m_settings.SnapPath, expected);
    EXPECT_EQ(EditText(m_page->GetFolderEdit(CConfigViewEventImp::kSnapPathEdit)), expected);
    EXPECT_TRUE(std::filesystem::is_directory(m_folder.File("new")));
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("new..")));
}

TEST_F(ConfigPageTest, UncreatableFolderKeepsTheSetting)
{
    ASSERT_TRUE(m_folder.Touch("file"));
    const std::wstring before = m_settings.SnapPath;
    Edit(m_folder.WidePath() + L"/file/sub");  // prompts; no prompt dialog here
    EXPECT_EQ(m_settings.SnapPath, before);
    EXPECT_EQ(EditText(m_page->GetFolderEdit(CConfigViewEventImp::kSnapPathEdit)), before);
}

TEST_F(ConfigPageTest, CombosAndCheckBoxesWriteTheLiveSettings)
{
    m_page->SelectChanged(CConfigViewEventImp::kSnapFormatCombo, 1);
    m_page->SelectChanged(CConfigViewEventImp::kRecordFormatCombo, 1);
    m_page->SelectChanged(CConfigViewEventImp::kProportionCombo, 2);
    EXPECT_EQ(m_settings.SnapFormat, 1);
    EXPECT_EQ(m_settings.VideoFormat, 1);
    EXPECT_EQ(m_settings.Proportion, 2);
    m_page->GetCheckBox(712)->SetCheck(0);
    m_page->RADIO_OnClicked(0, 712, tagPOINT{1, 1});
    EXPECT_EQ(m_settings.ShowTrace, 5);
    m_page->RADIO_OnClicked(1, CConfigViewEventImp::kVerticalSyncCheck, tagPOINT{1, 1});
    EXPECT_TRUE(m_settings.VerticalSyn);
}

TEST_F(ConfigPageTest, WithoutALanguageFileTheLanguageBoxHoldsNoBrokenEntry)
{
    // No language file beside the test program: the list key comes back as itself.
    CSFComboBox* languages = m_page->GetCombo(CConfigViewEventImp::kLanguageCombo);
    EXPECT_EQ(languages->GetCount(), 0);
    EXPECT_EQ(languages->GetCurSel(), -1);
}

// The language in use and English are offered also when the list of the
// language file in use lacks them, so that the user can go back.
TEST(ConfigLanguageChoices, TheLanguageInUseAndEnglishAreAlwaysOffered)
{
    using Choices = std::vector<CConfigUILogic::LanguageChoice>;
    const auto nameOf = [](int number) -> std::wstring {
        return number == 1 ? L"English" : number == 2 ? L"Deutsch" : L"";
    };
    const struct {
        const wchar_t* list;
        int inUse;
        Choices expected;
    } cases[] = {
        {L"1", 2, {{1, L"English"}, {2, L"Deutsch"}}},  // Lang_2.xml without a list of its own
        {L"2", 2, {{2, L"Deutsch"}, {1, L"English"}}},
        {L"1,2", 1, {{1, L"English"}, {2, L"Deutsch"}}},
        {L"1, 2,2,x,3", 2, {{1, L"English"}, {2, L"Deutsch"}}},  // 3 has no name
        {L"MultiLanguage", 7, {{1, L"English"}}},  // 7 unnamed, no list anywhere
    };
    for (const auto& c : cases)
        EXPECT_EQ(CConfigUILogic::MakeLanguageChoices(c.list, c.inUse, nameOf), c.expected)
            << std::wstring(c.list).size() << " " << c.inUse;
}

// Folders added this run follow those remembered before, so that a list too
// long for the settings file loses the oldest, never the one just added.
TEST(ConfigOpenedPaths, RememberedFoldersLeadThoseAddedSince)
{
    auto manager = boost::make_shared<CFileManager>(nullptr);
    for (const wchar_t* path : {L"/rec/new/x.avi", L"/rec/b/x.avi", L"/rec/a/x.avi", L"/rec/a/y.avi"})
        manager->AddSingleFile(path);
    std::vector<std::wstring>& opened = CConfigManager::GetInstance()->GetOpenedPaths();
    opened = {L"/rec/a/", L"/rec/gone/", L"/rec/b/"};
    CConfigUILogic::RebuildOpenedPaths(manager);
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"/rec/a/", L"/rec/b/", L"/rec/new/"}));
    opened.clear();
}
