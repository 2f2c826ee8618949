#include "PageTestBase.h"

#include <QTimer>

#include "Widgets/SFDialog.h"

namespace {

class DetailDialog : public WatermarkPageTest {
protected:
    void SetUp() override
    {
        WatermarkPageTest::SetUp();
        detail = page->GetDetailDialog();
        ASSERT_TRUE(detail && detail->GetDialog() && detail->GetList());
    }
    std::wstring DetailCell(int row, int column)
    {
        wchar_t text[200] = {};
        detail->GetList()->GetItemText(row, column, text, 199);
        return text;
    }
    // One modal run, closed by Escape once it shows.
    int RunModal(const std::vector<WatermarkErrorEntry>& errors)
    {
        detail->SetErrorList(&errors);
        QTimer::singleShot(0, [this] { detail->OnDlgKeyDown(0, 27); });
        return detail->GetDialog()->DoModalDlg();
    }
    boost::shared_ptr<CWaterMarkDetailEventImp> detail;
};

}  // namespace

TEST_F(DetailDialog, ListsTheErrorsOfOneRunInOrderAndClosesOnEscape)
{
    const std::vector<WatermarkErrorEntry> first = {{4, L"2016-01-02 03:04:06"}, {8, L"2016-01-02 03:04:07"},
                                                    {9, L"2016-01-02 03:04:08"}, {-3, L"x"}};
    RunModal(first);
    ASSERT_EQ(detail->GetList()->GetItemCount(), 4);
    EXPECT_EQ(DetailCell(0, 0), L"Data verification failed.");
    EXPECT_EQ(DetailCell(0, 1), L"2016-01-02 03:04:06");
    EXPECT_EQ(DetailCell(1, 0), L"Watermark verification error.");
    EXPECT_EQ(DetailCell(2, 0), L"");
    EXPECT_EQ(DetailCell(2, 1), L"2016-01-02 03:04:08");
    EXPECT_EQ(DetailCell(3, 0), L"");
    EXPECT_FALSE(dynamic_cast<QWidget*>(detail->GetDialog())->isVisible());

    RunModal({{7, L"2016-01-02 03:04:09"}});
    ASSERT_EQ(detail->GetList()->GetItemCount(), 1);
    EXPECT_EQ(DetailCell(0, 0), L"Frame loss error.");
    RunModal({});
    EXPECT_EQ(detail->GetList()->GetItemCount(), 0);
}

TEST_F(DetailDialog, ColumnsFollowTheWidth)
{
    auto* list = dynamic_cast<QTableWidget*>(detail->GetList());
    int width = 500;
    int height = 405;
    detail->OnDlgSize(0, width, height);
    EXPECT_EQ(list->columnWidth(0), 300);
    EXPECT_EQ(list->columnWidth(1), 202);
    width = 333;
    detail->OnDlgSize(0, width, height);
    EXPECT_EQ(list->columnWidth(0), 199);  // the list stretches its last column to the rest
    detail->OnDlgKeyDown(0, 'A');  // other keys do nothing
}

TEST(WatermarkTexts, ResultsMapToDetailCodesAndLocalTimes)
{
    EXPECT_EQ(CWatermarkEventImp::DetailCodeOf(2), 8);
    EXPECT_EQ(CWatermarkEventImp::DetailCodeOf(3), 4);
    EXPECT_EQ(CWatermarkEventImp::DetailCodeOf(4), 7);
    EXPECT_EQ(CWaterMarkDetailEventImp::TextOfCode(CWatermarkEventImp::DetailCodeOf(5)), L"No watermark in this recording.");
    EXPECT_EQ(CWaterMarkDetailEventImp::TextOfCode(CWatermarkEventImp::DetailCodeOf(6)), L"Signed with an unknown key.");
    for (long other : {0L, -1L, 7L})
        EXPECT_EQ(CWatermarkEventImp::DetailCodeOf(other), 6);
    const long time = SF_SOFT_BASE::CSFDateTime::MakeTime(2016, 1, 2, 3, 4, 5);
    EXPECT_EQ(CWatermarkEventImp::LocalTimeText(time), L"2016-01-02 03:04:05");
    EXPECT_EQ(CWatermarkEventImp::LocalTimeText(-5), L"1970-01-01 00:00:00");
}
