#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace BENCH {

// A smoke run (CI: --benchmark_min_time=0.01, or LUMIVEX_BENCH_SMOKE=1)
// works on short recordings and few samples, to finish in seconds.
void ParseArguments(int argc, char** argv);
bool IsSmoke();
// Full run or smoke run value.
template <typename T>
T Pick(T full, T smoke)
{
    return IsSmoke() ? smoke : full;
}

// A private folder removed at exit, or LUMIVEX_BENCH_CACHE (kept, so that
// the programs of one run share their recordings).
const std::string& WorkFolder();
void RemoveWorkFolder();

double SecondsSince(std::chrono::steady_clock::time_point start);
double ProcessCpuSeconds();
long ResidentKb();
// A field of /proc/self/status ("VmRSS", "VmHWM", ...), in MiB; 0 when missing.
double StatusMiB(const char* field);
// Starts the peak resident size (VmHWM) afresh, where the kernel allows it.
void ResetPeakResident();

// Runs work in a child process and returns the numbers it reported (empty
// when the child failed): each case then starts from a fresh heap.
std::vector<double> InChild(const std::function<std::vector<double>()>& work);

// Starts command lines at once and waits for all; CPU seconds of the children.
double RunProcessesCpuSeconds(const std::vector<std::string>& commands);

// Drops the file's cached pages (after writing them back).
bool EvictFromCache(const std::string& path);
// Reads the whole file through 1 MB reads; false on error.
bool ReadWholeFile(const std::string& path);
std::uint64_t FileSize(const std::string& path);

}  // namespace BENCH
