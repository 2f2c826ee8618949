#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Common/IndexFileStore.h"
#include "Common/UserMessages.h"
#include "Support/Fifo.h"
#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

using SF_SOFT_BASE::Utf8ToWide;

void SetTimes(const std::string& path, std::time_t access, std::time_t modification)
{
    timespec times[2] = {{access, 0}, {modification, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class IndexFileTest : public ::testing::Test {
protected:
    IndexFileTest()
    {
        std::filesystem::create_directory(m_dir.File("Index"));
        WriteFile(m_recording, std::string(1000, 'r'));
    }
    CIndexFileStore Store(std::uint64_t freeBytes)
    {
        return CIndexFileStore(Utf8ToWide(m_dir.File("Index/")),
                               [this, freeBytes](const std::string& folder, std::uint64_t* bytes) {
                                   std::lock_guard<std::mutex> lock(m_askedMutex);
                                   m_askedFolder = folder;
                                   *bytes = freeBytes;
                                   return true;
                               });
    }
    std::string IndexOf(const std::string& name) { return m_dir.File("Index/" + name); }

    TempFolder m_dir;
    std::string m_recording = m_dir.File("ch1_20130101.kvx");
    std::wstring m_recordingW = Utf8ToWide(m_recording);
    std::mutex m_askedMutex;  // savers ask from several threads at once
    std::string m_askedFolder;
    static constexpr std::uint64_t kPlenty = 200ull << 20;
};

TEST_F(IndexFileTest, PathNaming)
{
    CIndexFileStore store(L"/app/Index/");
    EXPECT_EQ(store.GetIndexFilePath(L"D:\\rec\\ch1_20130101.kvx"), L"/app/Index/ch1_20130101.qxi");
    EXPECT_EQ(store.GetIndexFilePath(L"/rec/name.kvx_"), L"/app/Index/name..qxi");
    EXPECT_EQ(store.GetIndexFilePath(L"C:\\a/b\\c.avi"), L"/app/Index/c.qxi");
    EXPECT_EQ(store.GetIndexFilePath(L"/rec/cam\\..\\../x/evil.kvx"), L"/app/Index/evil.qxi");
    EXPECT_EQ(store.GetIndexFilePath(L"/rec\\..\\../x.kvx"), L"/app/Index/x.qxi");
    EXPECT_EQ(store.GetIndexFilePath(L"abc"), L"/app/Index/abc.qxi");
    EXPECT_EQ(store.GetIndexFilePath(L"abcd"), L"/app/Index/.qxi");
    EXPECT_EQ(GetIndexFilePath(L"/rec/x.mp4"), SFGetAppDir() + L"/Index/x.qxi");
}

TEST_F(IndexFileTest, SavedIndexHasTheHeadOfTheRecordingAndValidates)
{
    CIndexFileStore store = Store(kPlenty);
    EXPECT_FALSE(store.IsIndexFileValid(m_recordingW));
    const std::string data = "index-bytes";
    ASSERT_TRUE(store.SaveIndexFile(data.data(), data.size(), m_recordingW));
    EXPECT_TRUE(store.IsIndexFileValid(m_recordingW));

    std::string bytes = ReadFile(IndexOf("ch1_20130101.qxi"));
    ASSERT_EQ(bytes.size(), 24 + data.size());
    EXPECT_EQ(bytes.substr(24), data);
    CIndexFileStore::Head head;
    ASSERT_TRUE(CIndexFileStore::ReadRecordingHead(m_recording, &head));
    std::int64_t size = 0, modified = 0;
    std::memcpy(&size, bytes.data(), 8);
    std::memcpy(&modified, bytes.data() + 16, 8);
    EXPECT_EQ(size, 1000);
    EXPECT_EQ(modified, head.modificationTime);
    EXPECT_EQ(m_askedFolder, m_dir.File("Index/"));
}

TEST_F(IndexFileTest, ReadGivesTheDataAfterTheHeadOfAValidIndexOnly)
{
    CIndexFileStore store = Store(kPlenty);
    std::vector<unsigned char> data{1, 2, 3};
    EXPECT_FALSE(store.ReadIndexFile(m_recordingW, &data));
    ASSERT_TRUE(store.SaveIndexFile("index-bytes", 11, m_recordingW));
    ASSERT_TRUE(store.ReadIndexFile(m_recordingW, &data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "index-bytes");
    SetTimes(m_recording, std::time(nullptr), std::time(nullptr) - 3600);
    EXPECT_FALSE(store.ReadIndexFile(m_recordingW, &data));
}

TEST_F(IndexFileTest, AFifoInPlaceOfTheIndexIsNoIndexAndNeverBlocks)
{
    CIndexFileStore store = Store(kPlenty);
    Fifo fifo(IndexOf("ch1_20130101.qxi"));
    ASSERT_TRUE(fifo.IsValid());
    bool valid = true;
    bool read = true;
    std::vector<unsigned char> data;
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] { valid = store.IsIndexFileValid(m_recordingW); }));
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] { read = store.ReadIndexFile(m_recordingW, &data); }));
    EXPECT_FALSE(valid);
    EXPECT_FALSE(read);
    // Saving puts a real index in its place.
    ASSERT_TRUE(store.SaveIndexFile("data", 4, m_recordingW));
    EXPECT_TRUE(store.IsIndexFileValid(m_recordingW));
}

TEST_F(IndexFileTest, ChangedRecordingInvalidatesAndSavingReplacesTheIndex)
{
    CIndexFileStore store = Store(kPlenty);
    ASSERT_TRUE(store.SaveIndexFile("old", 3, m_recordingW));
    SetTimes(m_recording, std::time(nullptr), std::time(nullptr) - 3600);
    EXPECT_FALSE(store.IsIndexFileValid(m_recordingW));
    ASSERT_TRUE(store.SaveIndexFile("new!", 4, m_recordingW));
    EXPECT_TRUE(store.IsIndexFileValid(m_recordingW));
    EXPECT_EQ(ReadFile(IndexOf("ch1_20130101.qxi")).substr(24), "new!");
}

TEST_F(IndexFileTest, ShortOrEmptyIndexIsInvalidAndGetsRewritten)
{
    CIndexFileStore store = Store(kPlenty);
    WriteFile(IndexOf("ch1_20130101.qxi"), std::string(23, '\0'));
    EXPECT_FALSE(store.IsIndexFileValid(m_recordingW));
    WriteFile(IndexOf("ch1_20130101.qxi"), "");
    EXPECT_FALSE(store.IsIndexFileValid(m_recordingW));
    // A right head cut by its last byte (a zero in any time before 2106).
    ASSERT_TRUE(store.SaveIndexFile("x", 1, m_recordingW));
    std::filesystem::resize_file(IndexOf("ch1_20130101.qxi"), 23);
    EXPECT_FALSE(store.IsIndexFileValid(m_recordingW));
    ASSERT_TRUE(store.SaveIndexFile("x", 1, m_recordingW));
    EXPECT_TRUE(store.IsIndexFileValid(m_recordingW));
}

// A recording whose name is as long as the file system allows gets an index
// of the same length, and it can be written like any other.
TEST_F(IndexFileTest, LongestRecordingNamesGetTheirIndex)
{
    CIndexFileStore store = Store(kPlenty);
    for (std::size_t length : {249u, 252u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".kvx";
        const std::string recording = m_dir.File(name);
        WriteFile(recording, std::string(10, 'r'));
        ASSERT_TRUE(store.SaveIndexFile("idx", 3, Utf8ToWide(recording))) << length;
        EXPECT_TRUE(store.IsIndexFileValid(Utf8ToWide(recording))) << length;
        EXPECT_EQ(ReadFile(IndexOf(std::string(length - 4, 'n') + ".qxi")).substr(24), "idx");
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.File("Index"))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3u);
}

TEST_F(IndexFileTest, NothingIsWrittenWithoutDataOrRecording)
{
    CIndexFileStore store = Store(kPlenty);
    EXPECT_FALSE(store.SaveIndexFile(nullptr, 5, m_recordingW));
    EXPECT_FALSE(store.SaveIndexFile("x", 0, m_recordingW));
    EXPECT_FALSE(store.SaveIndexFile("x", 1, Utf8ToWide(m_dir.File("gone.kvx"))));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("Index")));
    EXPECT_FALSE(store.IsIndexFileValid(Utf8ToWide(m_dir.File("gone.kvx"))));
}

// A folder in the index file's place: the notice names that file and why,
// once, not the index folder, which can be written to.
TEST_F(IndexFileTest, AnIndexFileThatCannotBeSavedIsToldByItsName)
{
    const std::wstring recording = Utf8ToWide(m_dir.File("told-by-name.kvx"));
    WriteFile(SF_SOFT_BASE::WideToUtf8(recording), "r");
    const std::wstring index = GetIndexFilePath(recording);
    ASSERT_TRUE(std::filesystem::create_directories(SF_SOFT_BASE::WideToUtf8(index)));
    std::vector<std::wstring> told;
    SetNotifyMessageHandler([&](const std::wstring& text, bool) { told.push_back(text); });
    EXPECT_FALSE(SaveIndexFile("x", 1, recording));
    EXPECT_FALSE(SaveIndexFile("x", 1, recording));
    SetNotifyMessageHandler(nullptr);
    std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(index));
    EXPECT_EQ(told, std::vector<std::wstring>{L"An index file cannot be saved: " + index + L": " +
                                              Utf8ToWide(std::strerror(EISDIR))});
}

TEST_F(IndexFileTest, LowSpaceRemovesOnlyFilesUnusedForSevenDays)
{
    const std::time_t now = std::time(nullptr);
    WriteFile(IndexOf("old.qxi"), "o");
    SetTimes(IndexOf("old.qxi"), now - 8 * 86400, now - 8 * 86400);
    WriteFile(IndexOf("recent.qxi"), "r");
    SetTimes(IndexOf("recent.qxi"), now - 6 * 86400, now - 30 * 86400);
    std::filesystem::create_directory(IndexOf("old-folder"));
    SetTimes(IndexOf("old-folder"), now - 30 * 86400, now - 30 * 86400);

    ASSERT_TRUE(Store(kPlenty).SaveIndexFile("x", 1, m_recordingW));
    EXPECT_TRUE(std::filesystem::exists(IndexOf("old.qxi")));

    ASSERT_TRUE(Store(99ull << 20).SaveIndexFile("x", 1, m_recordingW));
    EXPECT_FALSE(std::filesystem::exists(IndexOf("old.qxi")));
    EXPECT_TRUE(std::filesystem::exists(IndexOf("recent.qxi")));
    EXPECT_TRUE(std::filesystem::exists(IndexOf("old-folder")));
    EXPECT_TRUE(std::filesystem::exists(IndexOf("ch1_20130101.qxi")));
}

TEST_F(IndexFileTest, CleanUpOfAMissingFolderEnds)
{
    CIndexFileStore store(Utf8ToWide(m_dir.File("nowhere/")));
    store.CleanIndexFolder();
    SUCCEED();
}

TEST_F(IndexFileTest, ConcurrentSavesLeaveOneWholeIndex)
{
    CIndexFileStore store = Store(kPlenty);
    std::vector<std::thread> threads;
    for (char c : {'a', 'b', 'c', 'd'})
        threads.emplace_back([&store, this, c] {
            std::string data(200000, c);
            for (int i = 0; i < 5; ++i)
                EXPECT_TRUE(store.SaveIndexFile(data.data(), data.size(), m_recordingW));
        });
    for (auto& thread : threads)
        thread.join();
    std::string bytes = ReadFile(IndexOf("ch1_20130101.qxi"));
    ASSERT_EQ(bytes.size(), 24u + 200000u);
    EXPECT_EQ(bytes.find_first_not_of(bytes[24], 24), std::string::npos);
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(m_dir.File("Index"))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

}  // namespace
