// Scanning folders of 10,000, 100,000 and 400,000 recordings into the file
// index, against `find` listing the same folder. Each measured scan is the
// first one of a fresh process (this program run again with --scan-child):
// the whole life of the index (listing, parsing, inserting, publishing, the
// list of paths, teardown). `find` runs as its own process too, its output
// to /dev/null. Figures: the median of a few such processes, the time and
// CPU time per file (flat when the scan grows linearly; CPU time is the
// steadier one on a loaded machine) and the memory the load takes per file
// with the file list the page builds from it (growth of the peak resident
// size, taken after the list; for find its whole peak).
// LUMIVEX_BENCH_ONLY=<text> keeps the cases whose name holds the text; the
// 400k case runs only when named there or with FILE_SCAN_BENCH_BIG=1.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "Support/FolderOfRecordings.h"

using namespace BENCH;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kChildFlag = "--scan-child";

class NullListener : public IFileManagerListener {
public:
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, SF_SOFT_BASE::CSFDateTime*, std::vector<int>*) override {}
};

struct Sample {
    double ms = 0;
    double cpuMs = 0;
    double peakKb = 0;  // ours: growth of the peak during the load; find: its whole peak
};

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

// The child: one scan in this fresh process; prints "ms cpuMs peakKb".
int RunScanChild(const char* folder)
{
    const std::list<std::wstring> formats = FileIndexFormats::GetDefaultRecordFormats();
    const std::wstring pattern = SF_SOFT_BASE::Utf8ToWide(folder) + L"/*.*";
    NullListener listener;
    ResetPeakResident();
    const long before = StatusKb("VmRSS:");
    long loadPeak = 0;
    const double cpuStart = ProcessCpuSeconds();
    const auto start = Clock::now();
    {
        auto manager = std::make_unique<CFileManager>(&listener, &formats);
        int noMatch = 1;
        manager->LoadPath(pattern.c_str(), &noMatch);
        // The page holds the file list it builds beside the index.
        std::list<_GROUP_FILE_INFO> groups;
        std::vector<std::wstring> paths;
        manager->GetGroupFileList(&groups, &paths);
        loadPeak = StatusKb("VmHWM:");
    }
    const double ms = SecondsSince(start) * 1000;
    const double cpuMs = (ProcessCpuSeconds() - cpuStart) * 1000;
    // Written without stdio: its buffer would be the first allocation after
    // the teardown, and the child's profile would show malloc sorting the
    // freed chunks.
    char text[128];
    const int length = std::snprintf(text, sizeof text, "%.3f %.3f %ld\n", ms, cpuMs, loadPeak - before);
    return ::write(STDOUT_FILENO, text, std::size_t(length)) == length ? 0 : 1;
}

// Runs argv as a child process, its output to outFd (or /dev/null).
pid_t Spawn(const std::vector<std::string>& args, int outFd)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int out = outFd >= 0 ? outFd : ::open("/dev/null", O_WRONLY);
    ::dup2(out, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

bool Succeeded(pid_t pid, rusage* usage)
{
    int status = 0;
    return pid > 0 && ::wait4(pid, &status, 0, usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Sample FindSample(const std::string& folder)
{
    const auto start = Clock::now();
    rusage usage{};
    if (!Succeeded(Spawn({"find", folder}, -1), &usage))
        return {};
    const double cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return {SecondsSince(start) * 1000, cpuSeconds * 1000, double(usage.ru_maxrss)};
}

Sample ScanSample(const std::string& folder)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = Spawn({"/proc/self/exe", kChildFlag, folder}, fds[1]);
    ::close(fds[1]);
    char text[128] = {};
    std::size_t got = 0;
    ssize_t n;
    while (got + 1 < sizeof text && (n = ::read(fds[0], text + got, sizeof text - 1 - got)) > 0)
        got += std::size_t(n);
    ::close(fds[0]);
    rusage usage{};
    Sample sample;
    if (!Succeeded(pid, &usage) || std::sscanf(text, "%lf %lf %lf", &sample.ms, &sample.cpuMs, &sample.peakKb) != 3)
        return {};
    return sample;
}

// Medians of each figure, ours and find's.
struct CaseFigures {
    Sample scan;
    Sample find;
};

Sample MedianOf(const std::vector<Sample>& samples)
{
    std::vector<double> ms, cpuMs, peakKb;
    for (const Sample& sample : samples) {
        ms.push_back(sample.ms);
        cpuMs.push_back(sample.cpuMs);
        peakKb.push_back(sample.peakKb);
    }
    return {Figures::Of(ms).median, Figures::Of(cpuMs).median, Figures::Of(peakKb).median};
}

// Scan and find take turns, so that the load of the machine meets both alike.
CaseFigures MeasureCase(const std::string& folder, int runs)
{
    std::vector<Sample> scans, finds;
    for (int i = 0; i < runs; ++i) {
        finds.push_back(FindSample(folder));
        scans.push_back(ScanSample(folder));
    }
    return {MedianOf(scans), MedianOf(finds)};
}

bool Wanted(const std::string& name, int files)
{
    const char* only = std::getenv("LUMIVEX_BENCH_ONLY");
    if (only && *only)
        return name.find(only) != std::string::npos;
    const char* big = std::getenv("FILE_SCAN_BENCH_BIG");
    return files < 400000 || (big && *big && std::strcmp(big, "0") != 0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0)
        return RunScanChild(argv[2]);
    ParseArguments(argc, argv);
    CTable table("Folder scan into the file index, first scan of a fresh process, median (peer: find)");
    const std::vector<int> sizes = IsSmoke() ? std::vector<int>{2000} : std::vector<int>{10000, 100000, 400000};
    for (const int files : sizes) {
        const std::string name = std::to_string(files / 1000) + "k files";
        if (!Wanted(name, files))
            continue;
        const BenchSupport::FolderOfRecordings folder(files);
        const CaseFigures figures = MeasureCase(folder.Path(), Pick(5, 1));
        const std::string figure = "scan of " + name;
        table.Row(figure + " (ms)", figures.scan.ms, figures.find.ms, "<= 2.0");
        table.Row(figure + ", per file (us)", figures.scan.ms * 1000 / files, figures.find.ms * 1000 / files);
        table.Row(figure + ", CPU per file (us)", figures.scan.cpuMs * 1000 / files,
                  figures.find.cpuMs * 1000 / files);
        table.Row(figure + ", peak memory per file (B)", figures.scan.peakKb * 1024 / files,
                  figures.find.peakKb * 1024 / files, "ours <= 300");
    }
    table.Print();
    return 0;
}
