// Snapshot files: written whole under their own name, never over another file.
#include <gtest/gtest.h>

#include <filesystem>

#include "Platform/PlayModule/Output/SnapshotWriter.h"
#include "Support/TempFolder.h"

using PLAY_MODULE::CSnapshotWriter;
using PLAY_MODULE::PlanarPicture;

namespace {

PlanarPicture GreyPicture()
{
    PlanarPicture picture;
    picture.width = 16;
    picture.height = 16;
    picture.bytes.assign(PlanarPicture::SizeFor(16, 16), 128);
    return picture;
}

std::size_t FilesIn(const std::string& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

}  // namespace

TEST(SnapshotFile, ANewNameIsWrittenAndATakenOneIsLeftAsItWas)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    for (auto type : {PLAY_MODULE::PM_IMAGE_BMP, PLAY_MODULE::PM_IMAGE_JPEG}) {
        const std::string fresh = folder.File(type == PLAY_MODULE::PM_IMAGE_BMP ? "a.bmp" : "a.jpg");
        EXPECT_TRUE(CSnapshotWriter::WriteNew(GreyPicture(), fresh, type));
        EXPECT_GT(std::filesystem::file_size(fresh), 0u);
    }
    const std::string taken = folder.File("earlier.bmp");
    WriteFile(taken, "an earlier snapshot");
    EXPECT_FALSE(CSnapshotWriter::WriteNew(GreyPicture(), taken, PLAY_MODULE::PM_IMAGE_BMP));
    EXPECT_EQ(ReadFile(taken), "an earlier snapshot");
    EXPECT_EQ(FilesIn(folder.Path()), 3u) << "a temporary file was left behind";
}
