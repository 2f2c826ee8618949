// Scanning folders of 10,000, 100,000 and 400,000 recordings into the file
// index, against `find` listing the same folder: the whole life of the
// index (listing, parsing, inserting, publishing, teardown), median of a
// few runs, and the time per file, which stays flat when the scan grows
// linearly.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/FileManagerListener.h"
#include "FileIndex/RecordFormats.h"
#include "Support/BenchRun.h"
#include "Support/BenchTable.h"

using namespace BENCH;
using Clock = std::chrono::steady_clock;

namespace {

class NullListener : public IFileManagerListener {
public:
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, SF_SOFT_BASE::CSFDateTime*, std::vector<int>*) override {}
};

std::string Stamp(std::uint32_t time)
{
    SF_SOFT_BASE::CSFDateTime t;
    t.FromTime(time);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

// Empty recordings: 4 recorders, 16 channels in two streams, five minutes
// each, spread over days; plus a few files that are no recordings.
std::string MakeFolder(int files)
{
    const std::string path = WorkFolder() + "/scan-" + std::to_string(files);
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(path + ".part");
    const std::uint32_t first = SF_SOFT_BASE::CSFDateTime(2016, 1, 1, 0, 0, 0).ToTime();
    const char* groups[] = {"Lobby", "Gate", "Yard", "Dock"};
    for (int i = 0; i < files; ++i) {
        const std::uint32_t start = first + std::uint32_t(i / 128) * 300;
        const std::string name = std::string(groups[i % 4]) + "_ch" + std::to_string(1 + (i / 4) % 16) +
                                 ((i / 64) % 2 ? "_extra1_" : "_main_") + Stamp(start) + "_" +
                                 Stamp(start + 299) + ".kvx";
        std::ofstream(path + ".part/" + name);
    }
    for (int i = 0; i < 100; ++i) {
        std::ofstream(path + ".part/clip" + std::to_string(i) + ".avi");
        std::ofstream(path + ".part/notes" + std::to_string(i) + ".txt");
    }
    std::filesystem::rename(path + ".part", path);
    return path;
}

template <typename Work>
double MedianMs(Work work)
{
    std::vector<double> samples;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(SecondsSince(start) * 1000);
    }
    return Figures::Of(samples).median;
}

double FindMs(const std::string& folder)
{
    const std::string command = "find '" + folder + "' > /dev/null";
    return MedianMs([&] { std::system(command.c_str()); });
}

double ScanMs(const std::string& folder)
{
    const std::list<std::wstring> formats = FileIndexFormats::GetDefaultRecordFormats();
    const std::wstring pattern = SF_SOFT_BASE::Utf8ToWide(folder) + L"/*.*";
    NullListener listener;
    return MedianMs([&] {
        auto manager = std::make_unique<CFileManager>(&listener, &formats);
        int noMatch = 1;
        manager->LoadPath(pattern.c_str(), &noMatch);
        std::list<_GROUP_FILE_INFO> groups;
        std::vector<std::wstring> paths;
        manager->GetGroupFileList(&groups, &paths);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    ParseArguments(argc, argv);
    CTable table("Folder scan into the file index, median ms (peer: find listing the folder)");
    const std::vector<int> sizes = IsSmoke() ? std::vector<int>{2000} : std::vector<int>{10000, 100000, 400000};
    for (const int files : sizes) {
        const std::string folder = MakeFolder(files);
        const double find = FindMs(folder);
        const double scan = ScanMs(folder);
        const std::string name = std::to_string(files / 1000) + "k files";
        table.Row("scan of " + name + " (ms)", scan, find, "<= 2.5");
        table.Row("scan of " + name + ", per file (us)", scan * 1000 / files, find * 1000 / files);
    }
    table.Print();
    RemoveWorkFolder();
    return 0;
}
