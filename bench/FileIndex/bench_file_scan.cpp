// Scanning a folder of 100,000 recordings into the file index, against
// `find` listing the same folder.
#include <benchmark/benchmark.h>

#include <list>
#include <string>
#include <vector>

#include "Base/SFDateTime.h"
#include "Base/TextCodec.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/FileManagerListener.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/RecordFormats.h"
#include "FileIndex/SFFileFind.h"
#include "Support/FolderOfRecordings.h"

namespace {

constexpr int kFileCount = 100000;

class NullListener : public IFileManagerListener {
public:
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, SF_SOFT_BASE::CSFDateTime*, std::vector<int>*) override {}
};

const BenchSupport::FolderOfRecordings& Folder()
{
    static BenchSupport::FolderOfRecordings folder(kFileCount);
    return folder;
}

void BM_FindListing(benchmark::State& state)
{
    BenchSupport::TimeFindListing(state, Folder().Path());
}

void BM_ScanAndIndex(benchmark::State& state)
{
    const std::list<std::wstring> formats = FileIndexFormats::GetDefaultRecordFormats();
    const std::wstring pattern = SF_SOFT_BASE::Utf8ToWide(Folder().Path()) + L"/*.*";
    NullListener listener;
    std::size_t indexed = 0;
    for (auto _ : state) {
        auto manager = std::make_unique<CFileManager>(&listener, &formats);
        int noMatch = 1;
        manager->LoadPath(pattern.c_str(), &noMatch);
        if (state.range(0)) {
            std::list<_GROUP_FILE_INFO> groups;
            std::vector<std::wstring> paths;
            manager->GetGroupFileList(&groups, &paths);
            indexed = paths.size();
        }
        state.PauseTiming();
        manager.reset();
        state.ResumeTiming();
    }
    state.counters["recordings"] = static_cast<double>(indexed);
}

// The parts of a scan: listing the folder alone, and listing plus parsing.
void BM_ListOnly(benchmark::State& state)
{
    const std::wstring pattern = SF_SOFT_BASE::Utf8ToWide(Folder().Path()) + L"/*.*";
    for (auto _ : state) {
        CSFFileFind find;
        std::size_t entries = 0;
        if (find.FindFile(pattern.c_str())) {
            do {
                entries += find.GetFilePath() != nullptr && find.GetFileExt() != nullptr;
            } while (find.FindNextFile());
        }
        benchmark::DoNotOptimize(entries);
    }
}

void BM_ListAndParse(benchmark::State& state)
{
    const std::wstring pattern = SF_SOFT_BASE::Utf8ToWide(Folder().Path()) + L"/*.*";
    for (auto _ : state) {
        CSFFileFind find;
        CNamingRuleParser parser;
        std::size_t parsed = 0;
        if (find.FindFile(pattern.c_str())) {
            do {
                find.GetFilePath();
                parsed += parser.IsSupportedExtension(find.GetFileExt()) && parser.Parse(find.GetFileTitle());
            } while (find.FindNextFile());
        }
        benchmark::DoNotOptimize(parsed);
    }
}

}  // namespace

BENCHMARK(BM_ListOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindListing)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ScanAndIndex)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
