#include <filesystem>
#include <fstream>

#include "PageTestBase.h"
#include "Support/DebugLineRecorder.h"
#include "Support/TempFolder.h"

namespace {

class WatermarkDebugLines : public WatermarkPageTest {
protected:
    // Starts checking a file large enough to be stopped mid-way, stops it and
    // waits until the check has ended.
    void RunAndStop()
    {
        std::ofstream(folder.File("big.kvx")).close();
        std::filesystem::resize_file(folder.File("big.kvx"), 256 << 20);
        ASSERT_TRUE(LoadFolder(folder.Path()));
        for (void* item : Items())
            page->GetTree()->SetCheck(item, 1);
        page->OnStartCheck();
        ASSERT_TRUE(ProcessUntil([&] { return Rows() == 1 && !Cell(0, 1).empty(); }));
        page->StopCheck();
        ASSERT_TRUE(ProcessUntil([&] { return !page->IsChecking(); }, 30000));
    }

    TempFolder folder;
};

TEST_F(WatermarkDebugLines, AreOffByDefaultAndGoToTheWatermarkCategory)
{
    DebugLineRecorder recorder;
    RunAndStop();
    EXPECT_TRUE(recorder.LinesWith("StopWatermark").empty());

    QLoggingCategory::setFilterRules("lumivex.watermark.debug=true");
    RunAndStop();
    const auto lines = recorder.LinesWith("StopWatermark");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().category, "lumivex.watermark");
}

}  // namespace
