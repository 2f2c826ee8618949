#pragma once

// A recorder's day at a user's size for the page benchmarks: channels x
// minutes one-minute ".kvx" files named by the recorders' rule, each a hard
// link to one short signed recording (704x576, 2 s), so a day costs little
// disk. Removed with everything in it.
#include <cstdint>
#include <string>

namespace BenchSupport {

class DayOfRecordings {
public:
    static constexpr std::int64_t kDayStartMs = 1451692800000;  // 2016-01-02 00:00:00 UTC

    DayOfRecordings(int channels, int minutes);
    ~DayOfRecordings();
    DayOfRecordings(const DayOfRecordings&) = delete;
    DayOfRecordings& operator=(const DayOfRecordings&) = delete;

    bool IsValid() const { return !m_day.empty(); }
    // The folder of the day's files (recorder "REC", channels 1..channels).
    const std::string& Folder() const { return m_day; }
    // The path of a minute's file of a channel.
    std::string FileOf(int channel, int minute) const;

private:
    std::string m_root;
    std::string m_day;
};

// Resident memory of this process in MB.
double ResidentMb();
// CPU time of the calling thread in seconds.
double ThreadCpuSeconds();
// The user's day rather than the smoke run's: "--full" among the arguments,
// or the environment variable set to 1.
bool WantsFullDay(int argc, char** argv, const char* variable);

}  // namespace BenchSupport
