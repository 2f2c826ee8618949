#include <gtest/gtest.h>

#include <list>
#include <string>

#include "Base/TextCodec.h"
#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/RecordFormats.h"

using SF_SOFT_BASE::CSFDateTime;

namespace {

struct ValidName {
    const wchar_t* fileName;
    const wchar_t* group;
    int channelKey;
    CSFDateTime start;
    CSFDateTime end;
};

const CSFDateTime kStart(2016, 1, 2, 3, 4, 5);
const CSFDateTime kEnd(2016, 1, 2, 4, 5, 6);

}  // namespace

TEST(NamingRuleTest, AcceptsNamesOfTheRule)
{
    const ValidName cases[] = {
        // streams
        {L"Cam01_ch3_main_20160102030405_20160102040506.kvx", L"Cam01", 3, kStart, kEnd},
        {L"Cam01_ch3_extra2_20160102030405_20160102040506", L"Cam01", (2 << 24) + 3, kStart, kEnd},
        {L"Cam01_ch3_20160102030405_20160102040506_x", L"Cam01", 3, kStart, kEnd},
        {L"Cam01_ch3_20160102030405_20160102040506", L"Cam01", 3, kStart, kEnd},
        {L"Cam01_ch12_extra127_20160102030405_20160102040506", L"Cam01", (127 << 24) + 12, kStart, kEnd},
        // channel bounds
        {L"C_ch16777215_20160102030405_20160102040506", L"C", 0xFFFFFF, kStart, kEnd},
        {L"C_ch1_20160102030405_20160102040506", L"C", 1, kStart, kEnd},
        // name characters: punctuation of the rule, digits only, non-ASCII
        {L"a$().+[]^{}#@%!,~&';`=-_ch1_20160102030405_20160102040506", L"a$().+[]^{}#@%!,~&';`=-", 1,
         kStart, kEnd},
        {L"2016_ch1_20160102030405_20160102040506", L"2016", 1, kStart, kEnd},
        {L"Überwachung_ch1_20160102030405_20160102040506", L"Überwachung", 1, kStart, kEnd},
        {L"カメラ_ch1_20160102030405_20160102040506.kvx", L"カメラ", 1, kStart, kEnd},
        // tails after the end date-time
        {L"Cam01_ch1_20160102030405_20160102040506.kvx_", L"Cam01", 1, kStart, kEnd},
        {L"Cam01_ch1_20160102030405_20160102040506 copy (2)", L"Cam01", 1, kStart, kEnd},
        {L"Cam01_ch1_20160102030405_20160102040506x123", L"Cam01", 1, kStart, kEnd},
        // day and year edges
        {L"X_ch1_20160229235959_20160301000000", L"X", 1, CSFDateTime(2016, 2, 29, 23, 59, 59),
         CSFDateTime(2016, 3, 1, 0, 0, 0)},
        {L"X_ch1_19991231000000_20000101000000", L"X", 1, CSFDateTime(1999, 12, 31, 0, 0, 0),
         CSFDateTime(2000, 1, 1, 0, 0, 0)},
    };
    for (const ValidName& c : cases) {
        CNamingRuleParser parser;
        ASSERT_TRUE(parser.Parse(c.fileName)) << SF_SOFT_BASE::WideToUtf8(c.fileName);
        EXPECT_EQ(parser.name, c.group);
        EXPECT_EQ(parser.channel, c.channelKey);
        EXPECT_EQ(parser.start, c.start);
        EXPECT_EQ(parser.end, c.end);
    }
}

TEST(NamingRuleTest, RefusesNamesOutsideTheRule)
{
    const wchar_t* cases[] = {
        L"",
        L"Cam01",
        L"Cam01.kvx",
        // name characters
        L"Cam_01_ch1_20160102030405_20160102040506",
        L"_ch1_20160102030405_20160102040506",
        L"Cam 01_ch1_20160102030405_20160102040506",
        L"Cam\"01_ch1_20160102030405_20160102040506",
        // channel
        L"Cam01_ch0_20160102030405_20160102040506",
        L"Cam01_ch01_20160102030405_20160102040506",
        L"Cam01_c1_20160102030405_20160102040506",
        L"Cam01_CH1_20160102030405_20160102040506",
        L"Cam01_ch_20160102030405_20160102040506",
        L"Cam01_ch16777216_20160102030405_20160102040506",
        L"Cam01_ch99999999999999999999_20160102030405_20160102040506",
        // stream
        L"Cam01_ch1_mainx_20160102030405_20160102040506",
        L"Cam01_ch1_Main_20160102030405_20160102040506",
        L"Cam01_ch1_extra_20160102030405_20160102040506",
        L"Cam01_ch1_extra0_20160102030405_20160102040506",
        L"Cam01_ch1_extra128_20160102030405_20160102040506",
        L"Cam01_ch1_extra99999999999_20160102030405_20160102040506",
        L"Cam01_ch1_main_extra1_20160102030405_20160102040506",
        // date-time ranges
        L"Cam01_ch1_30160102030405_30160102040506",
        L"Cam01_ch1_20161302030405_20161302040506",
        L"Cam01_ch1_20160132030405_20160132040506",
        L"Cam01_ch1_20160102240405_20160102250506",
        L"Cam01_ch1_20160102036005_20160102040506",
        L"Cam01_ch1_20160102030460_20160102040506",
        L"Cam01_ch1_2016010203040_20160102040506_",  // cut start
        L"Cam01_ch1_201601020304051_20160102040506",
        L"Cam01_ch1_20160102030405",
        L"Cam01_ch1_20160102030405_",
        // 12 and 13 digits that a fixed-width split would misread
        L"Cam01_ch1_2016119235959_2016119235959x",
        L"Cam01_ch1_201611235959_201611235959x",
        L"Cam01_ch1_20160102030405_2016119235959",
        // days that are not in the month
        L"Cam01_ch1_20160230010101_20160301010101",
        L"Cam01_ch1_20150229010101_20150301010101",
        L"Cam01_ch1_20160431010101_20160501010101",
        // tail starting with a digit
        L"Cam01_ch1_20160102030405_201601020405061",
        // starts without a time value
        L"Cam01_ch1_16200102030405_20160102040506",
        L"Cam01_ch1_19000102030405_20160102040506",
        L"Cam01_ch1_19691231235959_20160102040506",
        // end not after start
        L"Cam01_ch1_20160102030405_20160102030405",
        L"Cam01_ch1_20160102040506_20160102030405",
    };
    for (const wchar_t* name : cases) {
        CNamingRuleParser parser;
        EXPECT_FALSE(parser.Parse(name)) << SF_SOFT_BASE::WideToUtf8(name);
    }
    CNamingRuleParser parser;
    EXPECT_FALSE(parser.Parse(nullptr));
}

TEST(NamingRuleTest, StartsEmptyAndHandlesHostileNames)
{
    CNamingRuleParser parser;
    EXPECT_EQ(parser.channel, -1);
    EXPECT_TRUE(parser.name.empty());
    EXPECT_EQ(parser.start, CSFDateTime());

    // Every byte value after a valid name: none may crash the matcher.
    for (int b = 0; b < 256; ++b) {
        std::string bytes = "Cam01_ch1_20160102030405_20160102040506";
        bytes += static_cast<char>(b);
        bytes += "tail";
        const std::wstring wide = SF_SOFT_BASE::Utf8ToWide(bytes);
        const bool digit = b >= '0' && b <= '9';
        EXPECT_EQ(parser.Parse(wide.c_str()), !digit) << b;  // NUL ends the name before the tail
    }
    // Every byte in the name piece: bytes 0x80-0xff are admitted.
    for (int b = 1; b < 256; ++b) {
        std::string bytes = "C";
        bytes += static_cast<char>(b);
        bytes += "_ch1_20160102030405_20160102040506";
        const std::wstring wide = SF_SOFT_BASE::Utf8ToWide(bytes);
        parser.Parse(wide.c_str());
        if (b >= 0x80) {
            EXPECT_TRUE(parser.Parse(wide.c_str())) << b;
            EXPECT_EQ(SF_SOFT_BASE::WideToUtf8(parser.name), bytes.substr(0, 2));
        }
    }
    // Very long names, matching or not, end quickly.
    const std::wstring longName = std::wstring(100000, L'a') + L"_ch1_20160102030405_20160102040506";
    EXPECT_TRUE(parser.Parse(longName.c_str()));
    const std::wstring longTail = L"a_ch1_20160102030405_20160102040506x" + std::wstring(100000, L'_') + L"\"";
    EXPECT_TRUE(parser.Parse(longTail.c_str()));
    const std::wstring longFail = L"a_ch1_20160102030405_2016" + std::wstring(100000, L'1');
    EXPECT_FALSE(parser.Parse(longFail.c_str()));
}

TEST(SupportedExtensionTest, ComparesLowerCasedFirstSevenCharacters)
{
    const std::list<std::wstring> formats = FileIndexFormats::GetDefaultRecordFormats();
    EXPECT_EQ(formats, (std::list<std::wstring>{L".kvx", L".kvx_", L".avi", L".mp4", L".ps", L".ts"}));
    CNamingRuleParser parser(&formats);
    for (const wchar_t* ext : {L".kvx", L".KVX", L".Kvx_", L".avi", L".MP4", L".ps", L".tS"})
        EXPECT_TRUE(parser.IsSupportedExtension(ext)) << SF_SOFT_BASE::WideToUtf8(ext);
    for (const wchar_t* ext : {L"", L"kvx", L".kv", L".kvxx", L".mkv", L".ts ", L".jpg"})
        EXPECT_FALSE(parser.IsSupportedExtension(ext)) << SF_SOFT_BASE::WideToUtf8(ext);
    EXPECT_FALSE(parser.IsSupportedExtension(nullptr));

    const std::list<std::wstring> longEntry{L".abcdef", L".UPPER"};
    CNamingRuleParser longParser(&longEntry);
    EXPECT_TRUE(longParser.IsSupportedExtension(L".abcdefgh"));  // cut to ".abcdef"
    EXPECT_TRUE(longParser.IsSupportedExtension(L".ABCDEF"));
    EXPECT_FALSE(longParser.IsSupportedExtension(L".UPPER"));  // entries are taken as stored
    EXPECT_FALSE(longParser.IsSupportedExtension(L".upper"));
}

TEST(SupportedExtensionTest, NullOrEmptyListMeansKvxOnly)
{
    const std::list<std::wstring> empty;
    for (CNamingRuleParser parser : {CNamingRuleParser(nullptr), CNamingRuleParser(&empty)}) {
        EXPECT_EQ(parser.extensions, std::list<std::wstring>{L".kvx"});
        EXPECT_TRUE(parser.IsSupportedExtension(L".kvx"));
        EXPECT_FALSE(parser.IsSupportedExtension(L".avi"));
    }
    EXPECT_EQ(FileIndexFormats::SplitRecordFormats(L";.a;;.b"), (std::list<std::wstring>{L".a", L".b"}));
    EXPECT_TRUE(FileIndexFormats::SplitRecordFormats(L"").empty());
}

TEST(DateFolderTest, AcceptsDatesOnly)
{
    CNamingRuleParser parser;
    EXPECT_TRUE(parser.ParseDateFolder(L"2016-1-2"));
    EXPECT_EQ(parser.folderDate, CSFDateTime(2016, 1, 2, 0, 0, 0));
    EXPECT_TRUE(parser.ParseDateFolder(L"2016-01-02"));
    EXPECT_TRUE(parser.ParseDateFolder(L"1999-12-31"));
    EXPECT_EQ(parser.folderDate, CSFDateTime(1999, 12, 31, 0, 0, 0));

    for (const wchar_t* name : {L"2016-13-01", L"2016-1-2x", L"2016-0-1", L"2016-1-32", L"3016-1-1",
                                L"16-1-1", L"2016_1_2", L"2016-1-2\n", L"", L"20160102"}) {
        EXPECT_FALSE(parser.ParseDateFolder(name)) << SF_SOFT_BASE::WideToUtf8(name);
    }
    EXPECT_FALSE(parser.ParseDateFolder(nullptr));
    EXPECT_EQ(parser.folderDate, CSFDateTime(1999, 12, 31, 0, 0, 0));  // unchanged by failures
}
