#include "Support/ModuleRun.h"

#include <thread>

namespace BENCH {

bool CPausedModule::Open(const std::string& path)
{
    if (!module.Open(path.c_str()) || !module.Play(nullptr))
        return false;
    CFrameCounter::WaitFor([&] { return counter.frames > 0; });
    module.Pause();
    return CFrameCounter::WaitFor([&] { return counter.indexes > 0; });
}

double CPausedModule::DurationMs()
{
    return double(module.GetFileLengthOfTime()) * 1000.0;
}

double CPausedModule::SeekExact(double timeMs)
{
    const double percent = 100.0 * timeMs / DurationMs();
    return Time([&] { module.Seek(float(percent)); });
}

}  // namespace BENCH
