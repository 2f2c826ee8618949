#pragma once

// A folder of empty recorder-named files for the folder benchmarks, and
// `find` listing a folder as the yardstick.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Base/SFDateTime.h"

namespace BenchSupport {

inline std::string Stamp(std::uint32_t time)
{
    SF_SOFT_BASE::CSFDateTime t;
    t.FromTime(time);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

// count empty recordings: 4 recorders, 16 channels in two streams, five
// minutes each, spread over days; plus 100 single files and 100 files that
// are no recordings. Removed with everything in it.
class FolderOfRecordings {
public:
    explicit FolderOfRecordings(int count)
    {
        char pattern[] = "/tmp/lumivex-bench-folder-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        m_path = pattern;
        const std::uint32_t first = SF_SOFT_BASE::CSFDateTime(2016, 1, 1, 0, 0, 0).ToTime();
        const char* groups[] = {"Lobby", "Gate", "Yard", "Dock"};
        for (int i = 0; i < count; ++i) {
            const std::uint32_t start = first + static_cast<std::uint32_t>(i / 128) * 300;
            const std::string name = std::string(groups[i % 4]) + "_ch" + std::to_string(1 + (i / 4) % 16) +
                                     ((i / 64) % 2 ? "_extra1_" : "_main_") + Stamp(start) + "_" +
                                     Stamp(start + 299) + ".kvx";
            std::ofstream(m_path + "/" + name);
        }
        for (int i = 0; i < 100; ++i) {
            std::ofstream(m_path + "/clip" + std::to_string(i) + ".avi");
            std::ofstream(m_path + "/notes" + std::to_string(i) + ".txt");
        }
    }
    ~FolderOfRecordings() { std::filesystem::remove_all(m_path); }
    FolderOfRecordings(const FolderOfRecordings&) = delete;
    FolderOfRecordings& operator=(const FolderOfRecordings&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Times `find` listing the folder, its output read to the end.
inline void TimeFindListing(benchmark::State& state, const std::string& folder)
{
    const std::string command = "find '" + folder + "'";
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

}  // namespace BenchSupport
