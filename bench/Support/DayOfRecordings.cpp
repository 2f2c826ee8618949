#include "Support/DayOfRecordings.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <unistd.h>

#include "KvxWriter/RecordingName.h"
#include "Support/BenchRun.h"
#include "KvxWriter/SyntheticRecording.h"
#include "KvxWriter/TestRecorderKey.h"

namespace BenchSupport {

DayOfRecordings::DayOfRecordings(int channels, int minutes)
{
    std::string root = (std::filesystem::temp_directory_path() / "lumivex-bench-day-XXXXXX").string();
    if (!::mkdtemp(root.data()))
        return;
    m_root = root;
    const std::string source = root + "/source.bin";
    KVX_WRITER::SyntheticOptions options;
    options.startUtcMs = kDayStartMs;
    options.seconds = 2;
    options.signer = KVX_WRITER::TestRecorderSigner();
    if (!KVX_WRITER::WriteSyntheticRecording(options, source))
        return;
    const std::string day = root + "/day";
    std::filesystem::create_directories(day);
    m_day = day;
    for (int channel = 1; channel <= channels; ++channel)
        for (int minute = 0; minute < minutes; ++minute) {
            std::error_code error;
            std::filesystem::create_hard_link(source, FileOf(channel, minute), error);
            if (error) {
                m_day.clear();
                return;
            }
        }
}

DayOfRecordings::~DayOfRecordings()
{
    std::error_code ignored;
    if (!m_root.empty())
        std::filesystem::remove_all(m_root, ignored);
}

std::string DayOfRecordings::FileOf(int channel, int minute) const
{
    const std::int64_t start = kDayStartMs + std::int64_t(minute) * 60000;
    return m_root + "/day/" + KVX_WRITER::RecordingFileName("REC", channel, 0, start, start + 60000);
}

double ResidentMb()
{
    return BENCH::StatusMiB("VmRSS");
}

bool WantsFullDay(int argc, char** argv, const char* variable)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--full") == 0)
            return true;
    const char* full = std::getenv(variable);
    return full && std::strcmp(full, "1") == 0;
}

double ThreadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

}  // namespace BenchSupport
