#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Base/FileSystemHelpers.h"
#include "Base/HeldTemporary.h"
#include "Base/SFFile.h"
#include "Base/SFStreamConvert.h"
#include "Base/TextCodec.h"
#include "Platform/Win32/Win32Types.h"
#include "Support/Fifo.h"
#include "Support/TempFolder.h"

using namespace SF_SOFT_BASE;
namespace fs = std::filesystem;

namespace {

class TempDir : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.IsValid()); }
    std::wstring Wide(const std::string& s) const { return Utf8ToWide(s); }

    TempFolder folder;
    const std::string dir = folder.Path();
};

bool IsDir(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TEST(TextConversionTest, NonAsciiPathsRoundTrip)
{
    const std::wstring path = L"/video/Überwachung/カメラ_ch1_主码流/😀.kvx";
    CSFStreamConvert convert(path.c_str(), CP_ACP);
    std::string narrow = convert.GetMultiByteString();
    EXPECT_EQ(narrow, "/video/\xC3\x9C" "berwachung/\xE3\x82\xAB\xE3\x83\xA1\xE3\x83\xA9_ch1_"
                      "\xE4\xB8\xBB\xE7\xA0\x81\xE6\xB5\x81/\xF0\x9F\x98\x80.kvx");
    CSFStreamConvert back(narrow.c_str(), CP_UTF8);
    EXPECT_EQ(back.GetWideString(), path);
}

TEST(TextConversionTest, InvalidBytesSurviveTheRoundTrip)
{
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    bytes += "\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82";  // overlong, surrogate, too big, cut
    std::wstring wide = Utf8ToWide(bytes);
    EXPECT_EQ(WideToUtf8(wide), bytes);
}

TEST(TextConversionTest, EmptyTextGivesEmptyTextNotNull)
{
    CSFStreamConvert convert;
    EXPECT_EQ(convert.GetMultiByte(), nullptr);
    const char* narrow = convert.ToMultiByte(L"", CP_ACP);
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(narrow, "");
    const wchar_t* wide = convert.ToWideChar("", CP_UTF8);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::wstring(wide), L"");
    EXPECT_STREQ(convert.GetMultiByte(), "");
}

TEST_F(TempDir, FileReadWriteSeekAndLength)
{
    std::string name = dir + "/data.bin";
    CSFFile file;
    ASSERT_EQ(file.Open(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, 0), 1);
    std::string data(100, '\0');
    for (int i = 0; i < 100; ++i)
        data[i] = char(i);
    EXPECT_EQ(file.Write(data.data(), 100), 100u);
    std::uint32_t high = 9, low = 0;
    EXPECT_EQ(file.SeekToEnd(&high, &low), 1);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(low, 100u);
    ASSERT_EQ(file.Seek(24, 0, 2), 1);  // 24 bytes before the end
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 76);
    ASSERT_EQ(file.Seek(10, 0, 0), 1);
    ASSERT_EQ(file.Seek(5, 0, 1), 1);
    EXPECT_EQ(file.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 15);
    file.Close();
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_EQ(CSFFile::DeleteFile(name.c_str()), 1);
    EXPECT_EQ(file.Open(name.c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0), 0);
}

TEST_F(TempDir, CreateNewRefusesAnExistingFile)
{
    std::string name = dir + "/x";
    CSFFile file;
    ASSERT_EQ(file.Open(name.c_str(), GENERIC_WRITE, 0, CREATE_NEW, 0), 1);
    CSFFile second;
    EXPECT_EQ(second.Open(name.c_str(), GENERIC_WRITE, 0, CREATE_NEW, 0), 0);
    EXPECT_EQ(second.Open(dir.c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0), 0);  // a folder
}

TEST_F(TempDir, CreateDirectoryRecursive)
{
    std::string ab = dir + "/a/b/";
    EXPECT_EQ(CreateDirectoryRecursive(Wide(ab)), 0);
    EXPECT_TRUE(IsDir(dir + "/a"));
    EXPECT_TRUE(IsDir(dir + "/a/b"));
    EXPECT_EQ(CreateDirectoryRecursive(Wide(ab)), 0);  // exists already
    // Without a trailing '/', the last part is not a folder to create.
    EXPECT_EQ(CreateDirectoryRecursive(Wide(dir + "/a/c")), -1);
    EXPECT_FALSE(fs::exists(dir + "/a/c"));
    // Also when the folders above it had to be made first.
    EXPECT_EQ(CreateDirectoryRecursive(Wide(dir + "/n/c")), -1);
    EXPECT_FALSE(fs::exists(dir + "/n/c"));
    EXPECT_EQ(CreateDirectoryRecursive(Wide(dir + "/ü/ß/")), 0);
    EXPECT_TRUE(IsDir(dir + "/ü/ß"));
}

TEST_F(TempDir, CreateDirectoryRecursiveFromSeveralThreadsAtOnce)
{
    for (int round = 0; round < 20; ++round) {
        const std::wstring path = Wide(dir + "/r" + std::to_string(round) + "/a/b/c/");
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&] {
                if (CreateDirectoryRecursive(path) != 0)
                    ++failures;
            });
        for (auto& thread : threads)
            thread.join();
        EXPECT_EQ(failures.load(), 0) << "round " << round;
    }
}

TEST_F(TempDir, CreateDirectoryRecursiveFailsBelowAFile)
{
    std::ofstream(dir + "/file") << "x";
    EXPECT_EQ(CreateDirectoryRecursive(Wide(dir + "/file/sub/")), -1);
}

TEST_F(TempDir, MakeAbsoluteDirPath)
{
    std::string cwd = fs::current_path();
    fs::current_path(dir);
    EXPECT_EQ(MakeAbsoluteDirPath(L"\\Video"), Wide(dir + "/Video/"));
    EXPECT_EQ(MakeAbsoluteDirPath(L"clips"), Wide(dir + "/clips/"));
    fs::current_path(cwd);
    EXPECT_EQ(MakeAbsoluteDirPath(L"/srv/clips"), L"/srv/clips/");
    EXPECT_EQ(MakeAbsoluteDirPath(L"/srv/clips/"), L"/srv/clips/");
    EXPECT_EQ(MakeAbsoluteDirPath(L"/srv//a/../clips"), L"/srv/clips/");
}

TEST_F(TempDir, FreeSpaceMeasuresTheFileSystemOfThePath)
{
    EXPECT_GT(GetDriveFreeSpace(dir.c_str()), 0u);
    // A path that does not exist yet is measured on its nearest parent.
    EXPECT_GT(GetDriveFreeSpace((dir + "/not/yet").c_str()), 0u);
    std::uint64_t bytes = 0;
    EXPECT_EQ(CSFFile::GetDiskFreeSpace(dir.c_str(), &bytes), 1);
    EXPECT_GT(bytes, 0u);
    EXPECT_EQ(GetDriveFreeSpace(nullptr), 0u);
}

TEST_F(TempDir, CurrentDirectoryIsCutToTheBuffer)
{
    std::string cwd = fs::current_path();
    fs::current_path(dir);
    char buffer[512];
    CSFFile::GetCurrentDirectory(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), fs::current_path().string());
    char small[5];
    CSFFile::GetCurrentDirectory(sizeof small, small);
    EXPECT_EQ(std::string(small), fs::current_path().string().substr(0, 4));
    fs::current_path(cwd);
}

TEST_F(TempDir, OnlyRegularFilesAndLinksToThemOpenForReading)
{
    WriteFile(dir + "/plain", "data");
    fs::create_symlink(dir + "/plain", dir + "/link");
    Fifo fifo(dir + "/fifo");
    ASSERT_TRUE(fifo.IsValid());
    EXPECT_TRUE(IsRegularFile(dir + "/plain"));
    EXPECT_TRUE(IsRegularFile(dir + "/link"));
    EXPECT_FALSE(IsRegularFile(dir + "/fifo"));
    EXPECT_FALSE(IsRegularFile(dir));
    EXPECT_FALSE(IsRegularFile(dir + "/missing"));

    const int fd = OpenRegularFileForReading(dir + "/link");
    ASSERT_GE(fd, 0);
    char bytes[4];
    EXPECT_EQ(::read(fd, bytes, sizeof bytes), 4);
    ::close(fd);
    EXPECT_EQ(OpenRegularFileForReading(dir + "/missing"), -1);
    EXPECT_EQ(OpenRegularFileForReading(dir), -1);
    int fifoFd = 0;
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] { fifoFd = OpenRegularFileForReading(dir + "/fifo"); }));
    EXPECT_EQ(fifoFd, -1);
}

TEST_F(TempDir, ANewTemporaryIsHeldThoughAnotherTriedItAsItWasMade)
{
    std::atomic<bool> making{true};
    std::thread cleaner([&] {
        while (making) {
            for (const auto& entry : fs::directory_iterator(dir))
                CHeldTemporary::TryHold(entry.path().string());
        }
    });
    int unmade = 0, unheld = 0;
    for (int made = 0; made < 3000; ++made) {
        CHeldTemporary temporary = CHeldTemporary::CreateBeside(dir + "/target");
        unmade += temporary.IsValid() ? 0 : 1;
        if (temporary.IsValid() && CHeldTemporary::TryHold(temporary.Path()).IsValid())
            ++unheld;
        temporary.Remove();
    }
    making = false;
    cleaner.join();
    EXPECT_EQ(unmade, 0);
    EXPECT_EQ(unheld, 0);
}

TEST_F(TempDir, OnlySmallRegularFilesOrNoneAreHarmlessToRead)
{
    WriteFile(dir + "/plain", "data");
    fs::create_symlink(dir + "/plain", dir + "/link");
    fs::create_symlink("/dev/zero", dir + "/zero");
    Fifo fifo(dir + "/fifo");
    ASSERT_TRUE(fifo.IsValid());
    EXPECT_TRUE(IsAbsentOrSmallRegularFile(dir + "/plain", 4));
    EXPECT_TRUE(IsAbsentOrSmallRegularFile(dir + "/link", 4));
    EXPECT_TRUE(IsAbsentOrSmallRegularFile(dir + "/missing", 4));
    EXPECT_FALSE(IsAbsentOrSmallRegularFile(dir + "/plain", 3));
    EXPECT_FALSE(IsAbsentOrSmallRegularFile(dir + "/zero", 4));
    EXPECT_FALSE(IsAbsentOrSmallRegularFile(dir + "/fifo", 4));
    EXPECT_FALSE(IsAbsentOrSmallRegularFile(dir, 1 << 20));
}
