#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Common/ConfigManager.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/SaveFolders.h"
#include "Common/UserMessages.h"
#include "Common/XmlText.h"
#include "Support/TempFolder.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void WriteSettings(const std::string& xml)
    {
        std::filesystem::create_directory(m_dir.File("Config"));
        WriteFile(m_dir.File("Config/config.xml"), xml);
    }
    std::string Group(const std::string& items)
    {
        return "<Setting><UIConfig>" + items + "</UIConfig></Setting>";
    }

    TempFolder m_dir;
    CurrentFolder m_current{m_dir.Path()};
};

TEST_F(SettingsTest, WithoutFileEverySettingHasItsDefault)
{
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.SnapPath, SFGetAppDir() + L"/Picture/");
    EXPECT_EQ(config.VideoPath, SFGetAppDir() + L"/Video/");
    EXPECT_EQ(config.strRecordFormat, L".kvx;.kvx_;.avi;.mp4;.ps;.ts;");
    EXPECT_EQ(config.VideoLayout, 147);
    EXPECT_EQ(config.Language, 1);
    EXPECT_FALSE(config.VerticalSyn);
    EXPECT_TRUE(config.GetOpenedPaths().empty());
    std::list<std::wstring> formats{L".kvx", L".kvx_", L".avi", L".mp4", L".ps", L".ts"};
    EXPECT_EQ(config.GetRecordFormats(), formats);
}

TEST_F(SettingsTest, SaveOnFreshFolderWritesEveryKeyInOrder)
{
    CConfigManager config;
    config.Init();
    config.GetOpenedPaths() = {L"/rec/a", L"/rec/b"};
    config.Language = 2;
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(config.OldPath, L"/rec/a;/rec/b;");

    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile("Config/config.xml"));
    const TiXmlElement* root = document.RootElement();
    ASSERT_STREQ(root->Value(), "Setting");
    const TiXmlElement* group = root->FirstChildElement();
    ASSERT_STREQ(group->Value(), "UIConfig");
    EXPECT_EQ(group->NextSiblingElement(), nullptr);

    const char* keys[] = {"SnapPath",    "VideoPath",  "Proportion",  "ShowTrace",
                          "Language",    "VerticalSyn", "SnapFormat", "VideoFormat",
                          "OldPath",     "strRecordFormat", "VideoLayout"};
    const TiXmlElement* item = group->FirstChildElement();
    for (const char* key : keys) {
        ASSERT_NE(item, nullptr) << key;
        EXPECT_STREQ(item->Value(), key);
        item = item->NextSiblingElement();
    }
    EXPECT_EQ(item, nullptr);

    std::string text = ReadFile("Config/config.xml");
    EXPECT_NE(text.find("<Language value=\"2\" Default=\"1\" Min=\"0\" Max=\"0\" Scale=\"0\" />"),
              std::string::npos);
    EXPECT_NE(text.find("<VerticalSyn value=\"0\" Default=\"0\" Min=\"0\" Max=\"1\" />"),
              std::string::npos);
    EXPECT_NE(text.find("<OldPath value=\"/rec/a;/rec/b;\" Default=\"\" />"), std::string::npos);
    EXPECT_NE(text.find("<VideoLayout value=\"147\" Default=\"147\""), std::string::npos);
    EXPECT_EQ(text.find("<?xml"), std::string::npos);
    EXPECT_EQ(text.rfind("<Setting>", 0), 0u);
}

TEST_F(SettingsTest, SavedSettingsLoadBack)
{
    {
        CConfigManager config;
        config.Init();
        config.SnapPath = L"/snaps/ü/";
        config.VerticalSyn = true;
        config.VideoLayout = 150;
        config.GetOpenedPaths() = {L"/x"};
        ASSERT_TRUE(config.Save());
    }
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.SnapPath, L"/snaps/ü/");
    EXPECT_TRUE(config.VerticalSyn);
    EXPECT_EQ(config.VideoLayout, 150);
    EXPECT_EQ(config.GetOpenedPaths(), std::vector<std::wstring>{L"/x"});
}

TEST_F(SettingsTest, SaveLeavesNoTemporaryFileAndReplacesTheOld)
{
    WriteSettings(Group("<VideoLayout value=\"150\"/>"));
    CConfigManager config;
    config.Init();
    ASSERT_TRUE(config.Save());
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(m_dir.File("Config"))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_NE(ReadFile("Config/config.xml").find("<Setting>"), std::string::npos);
}

TEST_F(SettingsTest, SaveReportsAFolderThatCannotBeWritten)
{
    WriteFile(m_dir.File("Config"), "a file where the folder should be");
    CConfigManager config;
    config.Init();
    EXPECT_FALSE(config.Save());
}

// Folders of many listed files: what the program writes, it reads back
// whole, also beyond the size other XML files are held to.
TEST_F(SettingsTest, ManyLongOpenedPathsComeBackWhole)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < 556; ++i)
        paths.push_back(L"/rec/" + std::to_wstring(i) + L"/" + std::wstring(3800, L'd'));
    {
        CConfigManager config;
        config.Init();
        config.VideoLayout = 150;
        config.GetOpenedPaths() = paths;
        ASSERT_TRUE(config.Save());
    }
    ASSERT_GT(std::filesystem::file_size(m_dir.File("Config/config.xml")), kMaxXmlBytes);
    CConfigManager config;
    config.Init();
    EXPECT_TRUE(config.GetLoadNotice().empty());
    EXPECT_EQ(config.VideoLayout, 150);
    EXPECT_TRUE(config.GetOpenedPaths() == paths) << config.GetOpenedPaths().size();
}

// Folder names that grow six-fold in the text ("&quot;"), more than fit:
// the oldest remembered ones (the first) are left out and the error output
// says so; the file still loads.
TEST_F(SettingsTest, OpenedPathsBeyondWhatLoadsLeaveOutTheOldest)
{
    const std::size_t count = CConfigXMLPersistImp::kMaxSettingsBytes / 24000 + 20;
    std::vector<std::wstring> paths;
    for (std::size_t i = 0; i < count; ++i)
        paths.push_back(L"/" + std::to_wstring(i) + std::wstring(4000, L'"'));
    {
        CConfigManager config;
        config.Init();
        config.VideoLayout = 150;
        config.GetOpenedPaths() = paths;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(config.Save());
        EXPECT_NE(testing::internal::GetCapturedStderr().find("oldest remembered folders were left out"),
                  std::string::npos);
        EXPECT_NE(SF_SOFT_BASE::WideToUtf8(config.GetSaveNotice()).find("oldest remembered folders were left out"),
                  std::string::npos);
    }
    EXPECT_LE(std::filesystem::file_size(m_dir.File("Config/config.xml")), CConfigXMLPersistImp::kMaxSettingsBytes);
    CConfigManager config;
    config.Init();
    EXPECT_TRUE(config.GetLoadNotice().empty());
    EXPECT_EQ(config.VideoLayout, 150);
    const std::vector<std::wstring>& kept = config.GetOpenedPaths();
    ASSERT_LT(kept.size(), paths.size());
    EXPECT_GT(kept.size(), paths.size() - 30);
    EXPECT_TRUE(std::equal(kept.rbegin(), kept.rend(), paths.rbegin()));
}

// Any name the file system allows comes back, also bytes that are not
// UTF-8; a list written before names were escaped reads as it did.
TEST_F(SettingsTest, OpenedPathsComeBackAsTheyWere)
{
    const std::vector<std::wstring> paths{L"/rec/a;b/", L"/rec/;;/", L"/rec/back\\slash;/", L"/rec/end\\",
                                          L"/rec/plain/", L"/rec/\\;", L"/rec/Kamera-\u00fc;\u65e5\\/\U0001F4F9/"};
    {
        CConfigManager config;
        config.Init();
        config.GetOpenedPaths() = paths;
        ASSERT_TRUE(config.Save());
    }
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.GetOpenedPaths(), paths);

    WriteSettings(Group("<OldPath value=\"/rec/a/;/rec/x\\y/;/rec/z\\\" />"));
    CConfigManager old;
    old.Init();
    EXPECT_EQ(old.GetOpenedPaths(), (std::vector<std::wstring>{L"/rec/a/", L"/rec/x\\y/"}));

    WriteSettings(Group("<OldPath value=\"/rec/\xff\x80x/;/rec/\xc3\xbc\\;\xe6\x97\xa5/;\" />"));
    CConfigManager bytes;
    bytes.Init();
    EXPECT_EQ(bytes.GetOpenedPaths(), (std::vector<std::wstring>{L"/rec/\xDCFF\xDC80x/", L"/rec/\u00fc;\u65e5/"}));
}

// A failed save keeps the old file whole and says why on the error output.
TEST_F(SettingsTest, AFailedSaveKeepsTheOldFileAndSaysWhy)
{
    const std::string old = Group("<VideoLayout value=\"150\"/>");
    WriteSettings(old);
    CConfigManager config;
    config.Init();
    config.GetOpenedPaths() = {L"/rec/" + std::wstring(1000, L'a')};
    struct rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit small {512, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    testing::internal::CaptureStderr();
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = config.Save();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string told = testing::internal::GetCapturedStderr();
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_NE(told.find(std::strerror(EFBIG)), std::string::npos) << told;
    EXPECT_EQ(told.find("cannot be written to"), std::string::npos) << told;
    EXPECT_NE(SF_SOFT_BASE::WideToUtf8(config.GetSaveNotice()).find(std::strerror(EFBIG)), std::string::npos);
    EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml")), old);
}

// Settings kept elsewhere through a link: the linked file gets them.
TEST_F(SettingsTest, SavingThroughALinkKeepsTheLink)
{
    m_dir.MakeFolder("dotfiles");
    WriteFile(m_dir.File("dotfiles/lumivex.xml"), Group("<VideoLayout value=\"150\"/>"));
    std::filesystem::create_directory(m_dir.File("Config"));
    std::filesystem::create_symlink("../dotfiles/lumivex.xml", m_dir.File("Config/config.xml"));
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 150);
    config.VideoLayout = 151;
    ASSERT_TRUE(config.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("Config/config.xml")));
    EXPECT_NE(ReadFile(m_dir.File("dotfiles/lumivex.xml")).find("<VideoLayout value=\"151\""), std::string::npos);
}

// Settings kept with the user's other files through a link to a file not
// made yet: nothing is set aside, and the first save makes the file there.
TEST_F(SettingsTest, ALinkToAFileNotMadeYetIsSavedThrough)
{
    m_dir.MakeFolder("dotfiles");
    std::filesystem::create_directory(m_dir.File("Config"));
    std::filesystem::create_symlink("../dotfiles/lumivex.xml", m_dir.File("Config/config.xml"));
    CConfigManager config;
    config.Init();
    EXPECT_TRUE(config.GetLoadNotice().empty());
    config.VideoLayout = 150;
    ASSERT_TRUE(config.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("Config/config.xml")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(m_dir.File("Config/config.xml.bad"))));
    EXPECT_NE(ReadFile(m_dir.File("dotfiles/lumivex.xml")).find("<VideoLayout value=\"150\""), std::string::npos);
}

// Names with bytes that are not UTF-8 are stored escaped: the file stays
// well-formed UTF-8 XML and every name comes back exact.
TEST_F(SettingsTest, FolderNamesThatAreNotUtf8ComeBackExactFromValidText)
{
    using SF_SOFT_BASE::Utf8ToWide;
    const std::vector<std::wstring> paths{Utf8ToWide("/rec/odd\xff;na\\me\xc3/"), L"/rec/\\xff\\/",
                                          L"/rec/&#x41;\"'<>\t/"};
    const std::wstring snaps = Utf8ToWide("/snaps/\xe9t\xe9\\x80/");
    {
        CConfigManager config;
        config.Init();
        config.GetOpenedPaths() = paths;
        config.SnapPath = snaps;
        config.VideoPath = L"/video\\";
        ASSERT_TRUE(config.Save());
    }
    const std::string text = ReadFile(m_dir.File("Config/config.xml"));
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    while (!reader.atEnd())
        reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_NE(text.find("/rec/odd\\xff\\;na\\\\me\\xc3/;"), std::string::npos) << text;
    EXPECT_NE(text.find("<VideoPath value=\"/video\\\\\""), std::string::npos) << text;
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.GetOpenedPaths(), paths);
    EXPECT_EQ(config.SnapPath, snaps);
    EXPECT_EQ(config.VideoPath, L"/video\\");

    // Folders stored before the escapes: any other "\" is itself.
    WriteSettings(Group("<SnapPath value=\"/a\\b\\x41\\x8\\\" />"));
    CConfigManager old;
    old.Init();
    EXPECT_EQ(old.SnapPath, L"/a\\b\\x41\\x8\\");
}

TEST_F(SettingsTest, FoldersThatCannotBeWrittenAreFoundAndToldOnce)
{
    const std::wstring program = m_dir.WidePath();
    EXPECT_TRUE(FindUnwritableSaveFolders(program).empty());
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.File("Config")));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.File("Index")));
    std::filesystem::remove(m_dir.File("Config"));
    WriteFile(m_dir.File("Config"), "a file where the folder should be");
    EXPECT_EQ(FindUnwritableSaveFolders(program), std::vector<std::wstring>{program + L"/Config"});
    std::vector<std::wstring> told;
    SetNotifyMessageHandler([&](const std::wstring& text, bool) { told.push_back(text); });
    TellCannotSaveIn(program + L"/Config");
    TellCannotSaveIn(program + L"/Config");
    SetNotifyMessageHandler(nullptr);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told.front().find(program + L"/Config"), std::wstring::npos);
}

// Folders snapshots and clips go in that cannot be written to are told at
// start with the reason, and a failure in one says it too.
TEST_F(SettingsTest, OutputFoldersThatCannotBeWrittenAreToldWithTheReason)
{
    const std::wstring pictures = m_dir.WidePath() + L"/Picture";
    const std::wstring videos = m_dir.WidePath() + L"/Video";
    WriteFile(m_dir.File("Picture"), "a file where the folder should be");
    std::vector<std::wstring> told;
    SetNotifyMessageHandler([&](const std::wstring& text, bool) { told.push_back(text); });
    TellAboutOutputFolders({pictures, videos});
    TellAboutOutputFolders({pictures, videos});
    SetNotifyMessageHandler(nullptr);
    const std::wstring reason = SF_SOFT_BASE::Utf8ToWide(std::strerror(ENOTDIR));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told.front().find(pictures + L": " + reason), std::wstring::npos);
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.File("Video")));
    EXPECT_EQ(WithFolderProblem(L"Snapshot Failed!", pictures), L"Snapshot Failed! " + pictures + L": " + reason);
    EXPECT_EQ(WithFolderProblem(L"Snapshot Failed!", videos), L"Snapshot Failed!");
    EXPECT_EQ(WithFolderProblem(L"Snapshot Failed!", L""), L"Snapshot Failed!");  // a setting left empty
}

// A settings folder another user made writable for all: this user is told
// that the settings are shared.
TEST_F(SettingsTest, SettingsSharedWithAnotherUserAreTold)
{
    const std::wstring config = m_dir.WidePath() + L"/Config";
    WriteSettings(Group("<VideoLayout value=\"150\"/>"));
    std::vector<std::wstring> told;
    SetNotifyMessageHandler([&](const std::wstring& text, bool) { told.push_back(text); });
    EXPECT_FALSE(TellWhenSettingsAreShared(config));
    const uid_t other = ::geteuid() + 1;
    if (::chown(m_dir.File("Config/config.xml").c_str(), other, static_cast<gid_t>(-1)) != 0) {
        SetNotifyMessageHandler(nullptr);
        GTEST_SKIP() << "files cannot be given to another user here";
    }
    EXPECT_TRUE(TellWhenSettingsAreShared(config));
    EXPECT_FALSE(TellWhenSettingsAreShared(config));
    SetNotifyMessageHandler(nullptr);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told.front().find(config), std::wstring::npos);
}

TEST_F(SettingsTest, BrokenFileLoadsAsDefaults)
{
    WriteSettings("<Setting><UIConfig><VideoLayout value=\"150\"/></UIConf");
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 147);
    EXPECT_EQ(config.strRecordFormat, L".kvx;.kvx_;.avi;.mp4;.ps;.ts;");
}

TEST_F(SettingsTest, AnUnreadableFileIsKeptAsideAndTheUserIsTold)
{
    const std::string typo = "<Setting><UIConfig><VideoLayout value=\"150\"/><Language value=\"2\"></UIConfig></Setting>";
    WriteSettings(typo);
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 147);
    EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml.bad")), typo);
    EXPECT_NE(config.GetLoadNotice().find(L"config.xml.bad"), std::wstring::npos);
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml.bad")), typo);
    EXPECT_NE(ReadFile(m_dir.File("Config/config.xml")).find("<VideoLayout value=\"147\""), std::string::npos);

    // A second broken file does not replace the first one kept.
    WriteSettings("<Setting>");
    CConfigManager again;
    again.Init();
    EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml.bad.2")), "<Setting>");
    EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml.bad")), typo);
    EXPECT_NE(again.GetLoadNotice().find(L"config.xml.bad.2"), std::wstring::npos);
}

// Text the parser stops in before its end without an error (a DOCTYPE's
// internal subset, stray text), or that holds an element beside the root,
// is not read whole.
TEST_F(SettingsTest, AFileNotReadWholeIsKeptAside)
{
    const std::string good = Group("<VideoLayout value=\"150\"/>");
    for (const std::string& text : {"<!DOCTYPE s [<!ENTITY a \"x\">]>" + good, good + "]>", std::string("<!-- -->"),
                                     "<Other/>\n" + good, "<Setting/>" + good, good + "<!-- -->\n<Other/>"}) {
        WriteSettings(text);
        CConfigManager config;
        config.Init();
        EXPECT_EQ(config.VideoLayout, 147) << text;
        EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml.bad")), text);
        EXPECT_NE(config.GetLoadNotice().find(L"config.xml.bad"), std::wstring::npos) << text;
        std::filesystem::remove(m_dir.File("Config/config.xml.bad"));
    }
    TiXmlDocument document;  // as language and MIME files are read
    EXPECT_FALSE(ParseXmlText(document, "<Language/>\n<Language><s name=\"a\" value=\"b\"/></Language>"));
    WriteSettings("<?xml version=\"1.0\"?>\n<!-- kept -->\n" + good + "\n\n");
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 150);
    EXPECT_TRUE(config.GetLoadNotice().empty());
}

TEST_F(SettingsTest, AnUnreadableFileThatCannotBeSetAsideIsNeverOverwritten)
{
    WriteSettings("<Setting");
    WriteFile(m_dir.File("Config/config.xml.bad"), "kept");
    for (int n = 2; n <= 100; ++n)
        WriteFile(m_dir.File("Config/config.xml.bad." + std::to_string(n)), "kept");
    CConfigManager config;
    config.Init();
    EXPECT_FALSE(config.GetLoadNotice().empty());
    EXPECT_FALSE(config.Save());
    EXPECT_EQ(ReadFile(m_dir.File("Config/config.xml")), "<Setting");

    // Loaded again from a readable file, the settings are saved again.
    WriteSettings(Group("<VideoLayout value=\"150\"/>"));
    config.SetPersistent(std::make_shared<CConfigXMLPersistImp>(""));
    config.Init();
    EXPECT_TRUE(config.GetLoadNotice().empty());
    EXPECT_TRUE(config.Save());
}

TEST_F(SettingsTest, AMissingOrReadableFileGivesNoNotice)
{
    CConfigManager missing;
    missing.Init();
    EXPECT_TRUE(missing.GetLoadNotice().empty());
    WriteSettings(Group("<VideoLayout value=\"150\"/>"));
    CConfigManager readable;
    readable.Init();
    EXPECT_TRUE(readable.GetLoadNotice().empty());
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("Config/config.xml.bad")));
}

TEST_F(SettingsTest, DeeplyNestedFileLoadsAsDefaults)
{
    std::string nested;
    for (int i = 0; i < 200000; ++i)
        nested += "<a>";
    WriteSettings("<Setting><UIConfig><VideoLayout value=\"150\"/>" + nested + "</UIConfig></Setting>");
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 147);
}

TEST_F(SettingsTest, NestingIsCountedAsTheParserReadsIt)
{
    // "</" inside attribute values, comments, CDATA and character references
    // closes nothing.
    const char* repeated[] = {"<a b=\"</\">",      "<a b='</'>",         "<a><!-- </a> -->",
                              "<a><![CDATA[</a>]]>", "<a>&#x</a>x1;", "<a>&#</a>#1;"};
    for (const char* unit : repeated) {
        std::string nested;
        for (int i = 0; i < 45000; ++i)
            nested += unit;
        WriteSettings("<Setting><UIConfig><VideoLayout value=\"150\"/>" + nested + "</UIConfig></Setting>");
        CConfigManager config;
        config.Init();
        EXPECT_EQ(config.VideoLayout, 147) << unit;
        TiXmlDocument document;
        EXPECT_FALSE(ParseXmlText(document, nested)) << unit;
    }
}

// What the parser reads as an unknown node (up to the first '>') cannot
// hide the elements that follow from the count.
TEST_F(SettingsTest, NestingBehindUnknownNodesAndEntitiesIsCounted)
{
    std::string nested;
    for (int i = 0; i < 45000; ++i)
        nested += "<a>";
    const char* leads[] = {"<\">", "<1 \">", "<< \">", "<a b=\"x\"><\"", "<?pi \">"};
    for (const char* lead : leads) {
        WriteSettings("<Setting><UIConfig><VideoLayout value=\"150\"/>" + std::string(lead) + nested +
                      "</UIConfig></Setting>");
        CConfigManager config;
        config.Init();
        EXPECT_EQ(config.VideoLayout, 147) << lead;
        TiXmlDocument document;
        EXPECT_FALSE(ParseXmlText(document, lead + nested)) << lead;
    }
}

// The parser checks each attribute against all earlier ones of its element:
// a file of one element with many attributes, or of very many nodes, or
// just very big, is refused and kept aside as unreadable.
TEST_F(SettingsTest, AFileBeyondTheParsersBoundsIsKeptAsideAndDefaultsAreUsed)
{
    std::string attributes;
    for (int i = 0; i < 5000; ++i)
        attributes += " a" + std::to_string(i) + "=\"\"";
    std::string nodes;
    for (int i = 0; i < 150000; ++i)
        nodes += "<a/>";
    const std::string oversized = "<!--" + std::string(CConfigXMLPersistImp::kMaxSettingsBytes, 'x') + "-->";
    for (const std::string& unit : {"<VideoLayout value=\"150\"" + attributes + "/>",
                                    "<VideoLayout value=\"150\"/>" + nodes,
                                    "<VideoLayout value=\"150\"/>" + oversized}) {
        WriteSettings(Group(unit));
        CConfigManager config;
        config.Init();
        EXPECT_EQ(config.VideoLayout, 147) << unit.size();
        EXPECT_NE(config.GetLoadNotice().find(L"config.xml.bad"), std::wstring::npos);
        std::filesystem::remove(m_dir.File("Config/config.xml.bad"));
    }
    std::string withinBounds;
    for (int i = 1; i < 64; ++i)
        withinBounds += " a" + std::to_string(i) + "=\"\"";
    WriteSettings(Group("<VideoLayout value=\"150\"" + withinBounds + "/>"));
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 150);
}

TEST_F(SettingsTest, NestingJustWithinTheLimitLoads)
{
    std::string nested;
    for (int i = 0; i < 254; ++i)
        nested += "<a b=\"<c>\"><\"><!-- <c> -->";
    for (int i = 0; i < 254; ++i)
        nested += "</a>";
    WriteSettings("<Setting><UIConfig><VideoLayout value=\"150\"/>" + nested + "</UIConfig></Setting>");
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 150);
}

TEST_F(SettingsTest, TextEndingInACutUtf8CharacterIsNotReadPastItsEnd)
{
    // Bytes after the text's end that would close the element if read.
    std::string text = std::string("<?xml version=\"1.0\"?><a>x\xd7") + '\0' + "AAAA</a>";
    const std::size_t end = text.find('\0');
    text.resize(end);  // the bytes stay in the buffer behind the end
    TiXmlDocument document;
    EXPECT_FALSE(ParseXmlText(document, text));
    WriteSettings("<?xml version=\"1.0\"?><Setting><UIConfig><VideoLayout value=\"150\"/></UIConfig>\r\n"
                  "</Setting>\r\n");
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 150);
}

TEST_F(SettingsTest, ASettingsFileThatIsNoReadableFileLoadsAsDefaults)
{
    std::filesystem::create_directories(m_dir.File("Config/config.xml"));
    CConfigManager asFolder;
    EXPECT_NO_THROW(asFolder.Init());
    EXPECT_EQ(asFolder.VideoLayout, 147);
    std::filesystem::remove(m_dir.File("Config/config.xml"));

    // Neither blocks on a FIFO nor reads a device without end.
    ASSERT_EQ(::mkfifo(m_dir.File("Config/config.xml").c_str(), 0600), 0);
    CConfigManager asFifo;
    asFifo.Init();
    EXPECT_EQ(asFifo.VideoLayout, 147);
    std::filesystem::remove(m_dir.File("Config/config.xml"));
    std::filesystem::create_symlink("/dev/zero", m_dir.File("Config/config.xml"));
    CConfigManager asDevice;
    asDevice.Init();
    EXPECT_EQ(asDevice.VideoLayout, 147);
}

TEST_F(SettingsTest, ModeratelyNestedFileStillLoads)
{
    std::string nested;
    for (int i = 0; i < 100; ++i)
        nested += "<a><!-- <b> --><c/>";
    for (int i = 0; i < 100; ++i)
        nested += "</a>";
    WriteSettings("<?xml version=\"1.0\"?><Setting><UIConfig><VideoLayout value=\"150\"/>" + nested +
                  "</UIConfig></Setting>");
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 150);
}

TEST_F(SettingsTest, ReadingRules)
{
    WriteSettings(Group("<VideoLayout value=\"abc\"/>"
                        "<Language value=\"2\"/>"
                        "<Proportion value=\"12abc\"/>"
                        "<ShowTrace value=\"99999999999\"/>"
                        "<VerticalSyn value=\"Yes\"/>"
                        "<SnapPath value=\"\"/>"
                        "<OldPath value=\"C:/a;D:/b\"/>"
                        "<strRecordFormat value=\".KVX_LONGER;.Avi;\"/>"));
    CConfigManager config;
    config.Init();
    EXPECT_EQ(config.VideoLayout, 147);
    EXPECT_EQ(config.Language, 2);
    EXPECT_EQ(config.Proportion, 0);
    EXPECT_EQ(config.ShowTrace, 0);
    EXPECT_TRUE(config.VerticalSyn);
    EXPECT_EQ(config.SnapPath, SFGetAppDir() + L"/Picture/");
    EXPECT_EQ(config.GetOpenedPaths(), std::vector<std::wstring>{L"C:/a"});
    std::list<std::wstring> formats{L".kvx_lo", L".avi"};
    EXPECT_EQ(config.GetRecordFormats(), formats);
}

// An empty entry names no extension; taken as one it would match every file
// without an extension and register the glob "*" with the desktop.
TEST_F(SettingsTest, EmptyRecordFormatEntriesAreSkipped)
{
    WriteSettings(Group("<strRecordFormat value=\";.kvx;;.avi;\"/>"));
    CConfigManager config;
    config.Init();
    std::list<std::wstring> formats{L".kvx", L".avi"};
    EXPECT_EQ(config.GetRecordFormats(), formats);
}

TEST(ConfigXMLPersistTest, TypedReadsWithDefaults)
{
    CConfigXMLPersistImp store("");
    store.LoadXml("<Anything><G><b1 value=\"NO\"/><b2 value=\"maybe\"/><d value=\"2.5\"/>"
                  "<i value=\" -7 \"/><s value=\"t\xc3\xa9xt\"/><none/></G></Anything>");
    EXPECT_FALSE(store.ReadBool(L"G", L"b1", true, 0));
    EXPECT_TRUE(store.ReadBool(L"G", L"b2", true, 0));
    EXPECT_DOUBLE_EQ(store.ReadDouble(L"G", L"d", 0, 0), 2.5);
    EXPECT_EQ(store.ReadInt(L"G", L"i", 0, 0), -7);
    EXPECT_EQ(store.ReadLong(L"G", L"i", 0, 0), -7);
    EXPECT_EQ(store.ReadString(L"G", L"s", L""), L"téxt");
    EXPECT_EQ(store.ReadString(L"G", L"none", L"dflt"), L"dflt");
    EXPECT_EQ(store.ReadInt(L"Other", L"i", 5, 0), 5);
    store.LoadXml(nullptr);
    EXPECT_EQ(store.ReadInt(L"G", L"i", 5, 0), -7);
}

TEST(ConfigManagerTest, IntegersWithScaleAreClampedToTheirLimits)
{
    auto store = std::make_shared<CConfigXMLPersistImp>("");
    store->LoadXml("<S><G><low value=\"1\"/><high value=\"90\"/><mid value=\"25\"/>"
                   "<free value=\"90\"/></G></S>");
    CConfigManager config;
    std::int32_t low = 0, high = 0, mid = 0, free = 0;
    config.AddInt(L"G", L"low", &low, 0, 10, 1, 5);
    config.AddInt(L"G", L"high", &high, 0, 10, 1, 5);
    config.AddInt(L"G", L"mid", &mid, 0, 10, 1, 5);
    config.AddInt(L"G", L"free", &free, 0, 0, 1, 5);
    config.SetPersistent(store);
    config.Init();
    EXPECT_EQ(low, 10);
    EXPECT_EQ(high, 50);
    EXPECT_EQ(mid, 25);
    EXPECT_EQ(free, 90);
    EXPECT_EQ(config.VideoLayout, 147);
}

}  // namespace
