#include <gtest/gtest.h>

#include <string>

#include "Base/TextCodec.h"
#include "FileIndex/CompactPath.h"
#include "FileIndex/FileIndexTypes.h"

namespace {

// Characters of every code length: ASCII, accents, CJK, an astral one, the
// escapes of bytes that are no UTF-8, lone surrogates and values past
// Unicode (wchar_t holds any 32-bit value).
std::wstring EveryKindOfCharacter()
{
    std::wstring text = L"/rec/Gate_ch1_main_";
    text += SF_SOFT_BASE::Utf8ToWide("caf\xC3\xA9 \xE6\x91\x84 \xF0\x9F\x93\xB9 \xFF\xFE\x80");
    text += wchar_t(0xD800);
    text += wchar_t(0xDFFF);
    text += wchar_t(0x7F);
    text += wchar_t(0x80);
    text += wchar_t(0x3FFF);
    text += wchar_t(0x4000);
    text += static_cast<wchar_t>(0x7FFFFFFF);
    text += static_cast<wchar_t>(-1);
    return text + L".kvx";
}

}  // namespace

TEST(CompactPathTest, EveryCharacterSurvivesWholeOrWithASharedFolder)
{
    const std::wstring name = EveryKindOfCharacter();
    CCompactPath whole;
    whole.Assign(name);
    EXPECT_EQ(whole.ToWide(), name);
    EXPECT_STREQ(whole.CStr(), name.c_str());

    const CCompactPath::Folder folder = CCompactPath::MakeFolder(L"/m\u00e9dia/\xDC80/");
    CCompactPath split;
    split.Assign(folder, name);
    EXPECT_EQ(split.ToWide(), L"/m\u00e9dia/\xDC80/" + name);

    const CCompactPath copy = split;
    EXPECT_EQ(copy.ToWide(), split.ToWide());
    EXPECT_TRUE(copy == split);
}

TEST(CompactPathTest, LongPathsAndEmptyOnes)
{
    const std::wstring longPath = L"/" + std::wstring(70000, L'\u00e9') + L"/x.kvx";
    CCompactPath path;
    path.Assign(longPath);
    EXPECT_EQ(path.ToWide(), longPath);

    path.Assign(std::wstring_view());
    EXPECT_EQ(path.ToWide(), L"");
    EXPECT_STREQ(path.CStr(), L"");
    path.Assign(CCompactPath::MakeFolder(L"/a/"), L"");
    EXPECT_EQ(path.ToWide(), L"/a/");
}

// Equal is the same text, wherever the folder part ends.
TEST(CompactPathTest, EqualMeansTheSameTextWhereverTheFolderEnds)
{
    CCompactPath whole;
    whole.Assign(L"/rec/day/a.kvx");
    CCompactPath atDay;
    atDay.Assign(CCompactPath::MakeFolder(L"/rec/day/"), L"a.kvx");
    CCompactPath atRec;
    atRec.Assign(CCompactPath::MakeFolder(L"/rec/"), L"day/a.kvx");
    EXPECT_TRUE(whole == atDay);
    EXPECT_TRUE(atDay == atRec);
    EXPECT_TRUE(atRec == whole);

    CCompactPath other;
    other.Assign(CCompactPath::MakeFolder(L"/rec/day/"), L"b.kvx");
    EXPECT_FALSE(other == atDay);
    other.Assign(CCompactPath::MakeFolder(L"/rec/day/"), L"a.kvx2");
    EXPECT_FALSE(other == whole);
    other.Assign(CCompactPath::MakeFolder(L"/rec/"), L"dax/a.kvx");
    EXPECT_FALSE(other == atDay);
    EXPECT_FALSE(atDay == other);
    // A character whose code is longer is no prefix of a shorter one.
    CCompactPath high;
    high.Assign(std::wstring(1, wchar_t(0x81)));
    CCompactPath low;
    low.Assign(std::wstring(1, wchar_t(0x01)));
    EXPECT_FALSE(high == low);
}

// The decoded text a record hands out follows its path when it changes.
TEST(CompactPathTest, RecordsHandOutTheirCurrentPath)
{
    CFileInfo record;
    record.SetPath(L"/a/first.kvx");
    EXPECT_STREQ(record.GetPath(), L"/a/first.kvx");
    record.SetPath(CCompactPath::MakeFolder(L"/b/"), L"second.kvx");
    EXPECT_STREQ(record.GetPath(), L"/b/second.kvx");
    EXPECT_EQ(record.GetPathString(), L"/b/second.kvx");

    CFileInfo copy = record;
    record.SetPath(L"/c/third.kvx");
    EXPECT_STREQ(copy.GetPath(), L"/b/second.kvx");
    EXPECT_FALSE(copy.HasSamePath(record));
    copy = record;
    EXPECT_TRUE(copy.HasSamePath(record));
    EXPECT_STREQ(copy.GetPath(), L"/c/third.kvx");
}
