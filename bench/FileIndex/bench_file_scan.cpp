// Scanning folders of 10,000, 100,000 and 400,000 recordings into the file
// index, against `find` listing the same folder: the whole life of the
// index (listing, parsing, inserting, publishing, teardown), median of a
// few runs, and the time per file, which stays flat when the scan grows
// linearly.
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
#include "Support/FolderOfRecordings.h"

using namespace BENCH;
using Clock = std::chrono::steady_clock;

namespace {

class NullListener : public IFileManagerListener {
public:
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, SF_SOFT_BASE::CSFDateTime*, std::vector<int>*) override {}
};

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
        const BenchSupport::FolderOfRecordings folder(files);
        const double find = FindMs(folder.Path());
        const double scan = ScanMs(folder.Path());
        const std::string name = std::to_string(files / 1000) + "k files";
        table.Row("scan of " + name + " (ms)", scan, find, "<= 2.5");
        table.Row("scan of " + name + ", per file (us)", scan * 1000 / files, find * 1000 / files);
    }
    table.Print();
    return 0;
}
