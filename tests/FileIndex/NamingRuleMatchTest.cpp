#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Base/TextCodec.h"
#include "FileIndex/NamingRule.h"

namespace {

// Names near the rule's edges, from which the variations below are made.
const std::vector<std::wstring> kSeeds = {
    L"Cam01_ch3_main_20160102030405_20160102040506.kvx",
    L"Cam01_ch3_extra2_20160102030405_20160102040506",
    L"Cam01_ch3_20160102030405_20160102040506_x",
    L"a_ch1_201611235959_2016119235959",
    L"a_ch10_extra10_2016010203040_20161231235959x1",
    L"Ü$()+.[]^{}#@%!,~&';`=-_ch1_19991231235959_29991231235959",
    L"x_ch1_main_extra1_20160102030405_20160102040506",
    L"2016-01-02",
};

void ExpectSameVerdict(const std::wstring& name)
{
    ASSERT_EQ(NamingRule::Matches(name), NamingRule::MatchesPattern(name)) << SF_SOFT_BASE::WideToUtf8(name);
}

}  // namespace

TEST(NamingRuleMatchTest, DirectMatchAgreesWithThePattern)
{
    for (const std::wstring& seed : kSeeds) {
        ExpectSameVerdict(seed);
        for (std::size_t pos = 0; pos <= seed.size(); ++pos) {
            // every ASCII character inserted, replaced and the character dropped
            for (wchar_t c = 0; c < 0x80; ++c) {
                std::wstring inserted = seed;
                inserted.insert(inserted.begin() + static_cast<std::ptrdiff_t>(pos), c);
                ExpectSameVerdict(inserted);
                if (pos < seed.size()) {
                    std::wstring replaced = seed;
                    replaced[pos] = c;
                    ExpectSameVerdict(replaced);
                }
            }
            for (wchar_t c : {static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0xDC80), static_cast<wchar_t>(0xDCFF),
                              static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                              static_cast<wchar_t>(-1), L'\U0001F600'}) {
                std::wstring inserted = seed;
                inserted.insert(inserted.begin() + static_cast<std::ptrdiff_t>(pos), c);
                ExpectSameVerdict(inserted);
            }
            if (pos < seed.size())
                ExpectSameVerdict(seed.substr(0, pos) + seed.substr(pos + 1));
        }
    }
}

TEST(NamingRuleMatchTest, AgreesOnRandomDigitRuns)
{
    // Date-time pieces of every length around 12 to 14 digits.
    std::mt19937 random(7);
    const std::wstring digits = L"0123456789";
    for (int i = 0; i < 20000; ++i) {
        auto run = [&](int length) {
            std::wstring text;
            for (int k = 0; k < length; ++k)
                text += digits[random() % (k == 0 ? 3 : 10)];
            return text;
        };
        const std::wstring name = L"C_ch1_" + run(10 + static_cast<int>(random() % 6)) + L"_" +
                                  run(10 + static_cast<int>(random() % 6)) + (random() % 2 ? L"_t" : L"");
        ExpectSameVerdict(name);
    }
}
