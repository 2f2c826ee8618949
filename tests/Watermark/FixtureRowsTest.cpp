#include <filesystem>
#include <map>

#include "PageTestBase.h"
#include "Support/TempFolder.h"
#include "Watermark/Support/WatermarkFixtures.h"

using WATERMARK_TEST::CWatermarkFixtures;
using WATERMARK_TEST::Fixture;

namespace {

struct ExpectedRow {
    Fixture fixture;
    std::wstring percent;  // empty: not checked
    std::wstring result;
    std::wstring sign;     // empty: not checked
    std::wstring firstError;
};

}  // namespace

// Every fixture checked end to end from the page's tree: a folder listed by
// the help logic, every channel checked, "Start Check".
TEST_F(WatermarkPageTest, EveryFixtureGetsItsRow)
{
    TempFolder folder;
    const CWatermarkFixtures fixtures(folder.Path());
    ASSERT_TRUE(fixtures.Ok());
    ASSERT_TRUE(LoadFolder(folder.Path()));
    std::filesystem::remove(fixtures.Path(Fixture::Deleted));
    CheckAll();

    ASSERT_TRUE(RunCheck());
    EXPECT_TRUE(Enabled(page->GetStartButton()));
    EXPECT_FALSE(Enabled(page->GetStopButton()));

    const std::vector<ExpectedRow> expected = {
        {Fixture::Pristine, L"100%", L"Original", L"CAM-7", L""},
        {Fixture::Cut, L"100%", L"Original", L"CAM-7", L""},
        {Fixture::Flipped, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::ChangedText, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::Removed, L"100%", L"falsified", L"", L"Frame loss error."},
        {Fixture::OtherKey, L"100%", L"falsified", L"CAM-7", L"Signed with an unknown key."},
        {Fixture::Unsigned, L"100%", L"falsified", L"CAM-7", L"No watermark in this recording."},
        {Fixture::Mp4, L"100%", L"falsified", L"", L"No watermark in this recording."},
        {Fixture::TsJunk, L"100%", L"falsified", L"", L"No watermark in this recording."},
        {Fixture::Deleted, L"0%", L"Open the video file unsuccessfully", L"", L""},
        {Fixture::Empty, L"", L"Read the video file unsuccessfully", L"", L""},
        // Nothing failed, but no watermark was verified either.
        {Fixture::NoText, L"100%", L"falsified", L"", L"No watermark in this recording."},
        {Fixture::JunkBetween, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::JunkBefore, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::JunkAfter, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::ReservedSet, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::ForeignFooter, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::FooterMoved, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::FooterTimes, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::FooterMadeUp, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::Exported, L"100%", L"Original", L"CAM-7", L""},
        {Fixture::FooterFrontClaimed, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::FrontCutFooterKept, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
        {Fixture::FooterFirstLeftOut, L"100%", L"falsified", L"CAM-7", L"Data verification failed."},
    };
    ASSERT_EQ(Rows(), int(expected.size()));
    std::map<std::wstring, int> rowOf;
    for (int row = 0; row < Rows(); ++row)
        rowOf[Cell(row, 0)] = row;
    for (const ExpectedRow& want : expected) {
        const std::wstring name = SF_SOFT_BASE::Utf8ToWide(fixtures.FileName(want.fixture));
        SCOPED_TRACE(fixtures.FileName(want.fixture));
        ASSERT_TRUE(rowOf.count(name));
        const int row = rowOf[name];
        if (!want.percent.empty()) {
            EXPECT_EQ(Cell(row, 1), want.percent);
        }
        EXPECT_EQ(Cell(row, 2), want.result);
        if (!want.sign.empty()) {
            EXPECT_EQ(Cell(row, 3), want.sign);
        }
        const auto& errors = page->GetRecords()[std::size_t(row)].errors;
        EXPECT_EQ(errors.empty(), want.firstError.empty());
        if (!errors.empty()) {
            EXPECT_EQ(CWaterMarkDetailEventImp::TextOfCode(errors.front().code), want.firstError);
        }
    }
    // The changed text came first; the next, different one marks the sign.
    const auto& changed = page->GetRecords()[std::size_t(rowOf[SF_SOFT_BASE::Utf8ToWide(fixtures.FileName(Fixture::ChangedText))])];
    EXPECT_EQ(changed.watermarkText, L"Watermark sign falsified");
    for (Fixture fixture : {Fixture::Flipped, Fixture::ChangedText, Fixture::Removed, Fixture::JunkBetween,
                            Fixture::JunkBefore, Fixture::JunkAfter, Fixture::ReservedSet, Fixture::ForeignFooter,
                            Fixture::FooterMoved, Fixture::FooterTimes, Fixture::FooterMadeUp,
                            Fixture::FooterFrontClaimed, Fixture::FrontCutFooterKept, Fixture::FooterFirstLeftOut,
                            Fixture::Unsigned,
                            Fixture::OtherKey, Fixture::NoText, Fixture::Mp4, Fixture::TsJunk}) {
        SCOPED_TRACE(fixtures.FileName(fixture));
        const auto& errors = page->GetRecords()[std::size_t(rowOf[SF_SOFT_BASE::Utf8ToWide(fixtures.FileName(fixture))])].errors;
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.front().time, CWatermarkEventImp::LocalTimeText(fixtures.ErrorTime(fixture)));
    }
    for (const auto& record : page->GetRecords())
        for (const auto& error : record.errors)
            EXPECT_NE(error.time.substr(0, 4), L"1970") << SF_SOFT_BASE::WideToUtf8(record.path);
}
