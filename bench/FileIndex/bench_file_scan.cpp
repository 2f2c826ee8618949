// Scanning a folder of 100,000 recordings into the file index, against
// `find` listing the same folder.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

namespace {

constexpr int kFileCount = 100000;

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

// 100,000 empty recordings: 4 recorders, 16 channels in two streams, five
// minutes each, spread over days; plus a few files that are no recordings.
class RecordingFolder {
public:
    RecordingFolder()
    {
        char pattern[] = "/tmp/lumivex-bench-scan-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        m_path = pattern;
        const std::uint32_t first = SF_SOFT_BASE::CSFDateTime(2016, 1, 1, 0, 0, 0).ToTime();
        const char* groups[] = {"Lobby", "Gate", "Yard", "Dock"};
        for (int i = 0; i < kFileCount; ++i) {
            const int slot = i / 128;
            const std::string group = groups[i % 4];
            const int channel = 1 + (i / 4) % 16;
            const int stream = (i / 64) % 2;
            const std::uint32_t start = first + static_cast<std::uint32_t>(slot) * 300;
            const std::string name = group + "_ch" + std::to_string(channel) + (stream ? "_extra1_" : "_main_") +
                                     Stamp(start) + "_" + Stamp(start + 299) + ".kvx";
            std::ofstream(m_path + "/" + name);
        }
        for (int i = 0; i < 100; ++i) {
            std::ofstream(m_path + "/clip" + std::to_string(i) + ".avi");
            std::ofstream(m_path + "/notes" + std::to_string(i) + ".txt");
        }
    }
    ~RecordingFolder() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const RecordingFolder& Folder()
{
    static RecordingFolder folder;
    return folder;
}

void BM_FindListing(benchmark::State& state)
{
    const std::string command = "find '" + Folder().Path() + "'";
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("find did not start");
            return;
        }
        std::size_t lines = 0;
        std::size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            for (std::size_t i = 0; i < got; ++i)
                lines += buffer[i] == '\n';
        }
        ::pclose(pipe);
        benchmark::DoNotOptimize(lines);
    }
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
