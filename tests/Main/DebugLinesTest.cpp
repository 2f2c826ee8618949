#include "MainPageFixture.h"
#include "Support/DebugLineRecorder.h"

namespace {

class MainDebugLines : public MainPageTest::MainPageFixture {};

TEST_F(MainDebugLines, AreOffByDefaultAndGoToTheMainCategory)
{
    DebugLineRecorder recorder;
    page->OnSize(0, 1000, 600);
    EXPECT_TRUE(recorder.LinesWith("OnSize").empty());

    QLoggingCategory::setFilterRules("lumivex.main.debug=true");
    page->OnSize(0, 1000, 600);
    const auto lines = recorder.LinesWith("CMainPageEventImp::OnSize");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().category, "lumivex.main");
}

}  // namespace
