#include "Support/BenchRun.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace BENCH {

namespace {
bool g_smoke = false;
bool g_ownFolder = false;
}

void ParseArguments(int argc, char** argv)
{
    const char* env = std::getenv("LUMIVEX_BENCH_SMOKE");
    g_smoke = env && *env && std::strcmp(env, "0") != 0;
    const std::string prefix = "--benchmark_min_time=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(prefix, 0) == 0 && std::atof(arg.c_str() + prefix.size()) < 0.5)
            g_smoke = true;
        if (arg == "--smoke")
            g_smoke = true;
    }
}

bool IsSmoke()
{
    return g_smoke;
}

const std::string& WorkFolder()
{
    static const std::string folder = [] {
        if (const char* cache = std::getenv("LUMIVEX_BENCH_CACHE"); cache && *cache) {
            std::filesystem::create_directories(cache);
            return std::string(cache);
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "lumivex-bench-XXXXXX").string();
        g_ownFolder = ::mkdtemp(pattern.data()) != nullptr;
        return pattern;
    }();
    return folder;
}

void RemoveWorkFolder()
{
    if (!g_ownFolder)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(WorkFolder(), ignored);
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

static double Seconds(const timeval& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

long ResidentKb()
{
    return long(StatusMiB("VmRSS") * 1024);
}

void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double StatusMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stod(line.substr(prefix.size())) / 1024.0;
    return 0;
}

std::vector<double> InChild(const std::function<std::vector<double>()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::vector<double> values = work();
        const auto bytes = values.size() * sizeof(double);
        const bool written = ::write(fds[1], values.data(), bytes) == ssize_t(bytes);
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    std::vector<double> values;
    double value;
    while (pid > 0 && ::read(fds[0], &value, sizeof value) == ssize_t(sizeof value))
        values.push_back(value);
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return values;
}

double RunProcessesCpuSeconds(const std::vector<std::string>& commands)
{
    std::vector<pid_t> children;
    for (const std::string& command : commands) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid > 0)
            children.push_back(pid);
    }
    double cpu = 0;
    for (const pid_t pid : children) {
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid)
            cpu += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    }
    return cpu;
}

bool EvictFromCache(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool evicted = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return evicted;
}

bool ReadWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    std::vector<char> buffer(1 << 20);
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) {
    }
    ::close(fd);
    return n == 0;
}

std::uint64_t FileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
}

}  // namespace BENCH
