// Index scans of recordings against reading the same file, both from the
// page cache and with the file evicted (posix_fadvise DONTNEED) before each
// run: ".kvx" indexes of the 10-minute D1 and 1080p recordings and of a 2 GB
// one (from the writer's footer, and by walking the headers as for a file
// without one), a ".ts" scan through libavformat, ".mp4" indexes from the
// sample table and their key-frame packets; and an exact seek right
// after Open of the evicted 2 GB file, against waiting for its whole index.
#include <cstdio>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "Platform/PlayModule/Source/AvIndexScanner.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Support/BenchRecordings.h"
#include "Support/BenchRun.h"
#include "Support/BenchTable.h"
#include "Support/ModuleRun.h"

using namespace BENCH;
using namespace PLAY_MODULE;
using Clock = std::chrono::steady_clock;

namespace {

template <typename Work>
double MedianMs(bool evict, const std::string& path, Work work)
{
    std::vector<double> samples;
    for (int i = 0; i < Pick(5, 2); ++i) {
        if (evict)
            EvictFromCache(path);
        else
            ReadWholeFile(path);
        const auto start = Clock::now();
        work();
        samples.push_back(SecondsSince(start) * 1000);
    }
    return Figures::Of(samples).median;
}

void ScanRows(CTable& table, const std::string& name, const std::string& path, bool kvx)
{
    const auto index = [&] {
        CKeyFrameIndex index;
        if (kvx)
            CKvxIndexScanner::Index(path, index);
        else
            CAvIndexScanner::Scan(path, index);
    };
    // What a file without the writer's footer costs: the walk of its headers.
    const auto walk = [&] {
        CKeyFrameIndex index;
        CKvxIndexScanner::Scan(path, index);
    };
    const auto read = [&] { ReadWholeFile(path); };
    const std::string size = " (" + std::to_string(FileSize(path) >> 20) + " MB)";
    table.Row(name + size + " index, cached (ms)", MedianMs(false, path, index), MedianMs(false, path, read), "<= 1");
    table.Row(name + size + " index, evicted (ms)", MedianMs(true, path, index), MedianMs(true, path, read),
              kvx ? "< 0.2" : "");
    if (!kvx)
        return;
    table.Row(name + size + " header walk, cached (ms)", MedianMs(false, path, walk), MedianMs(false, path, read));
    table.Row(name + size + " header walk, evicted (ms)", MedianMs(true, path, walk), MedianMs(true, path, read));
}

// From Open of the evicted file to the frame of an exact seek to its middle;
// the peer waits for the whole index first.
double SeekAfterOpenMs(const std::string& path, bool waitForIndex)
{
    EvictFromCache(path);
    CFrameCounter counter;
    CPlayModule module(&counter);
    const auto start = Clock::now();
    if (!module.Open(path.c_str()))
        return 0;
    if (waitForIndex)
        CFrameCounter::WaitFor([&] { return counter.indexes > 0; });
    const int before = counter.frames;
    module.Seek(50.0f);
    CFrameCounter::WaitFor([&] { return counter.frames > before; });
    return SecondsSince(start) * 1000;
}

}  // namespace

int main(int argc, char** argv)
{
    ParseArguments(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    const std::string large = LargeKvx(Pick<std::uint64_t>(2048, 24) << 20);
    const std::string d1 = Recording(Size::D1, Container::Kvx);
    const std::string hd = Recording(Size::HD, Container::Kvx);
    const std::string ts = Recording(Size::D1, Container::Ts);
    const std::string mp4 = Recording(Size::D1, Container::Mp4);
    const std::string bFrames = BFramesRecording(Size::D1, true);
    if (large.empty() || d1.empty() || hd.empty() || ts.empty() || mp4.empty() || bFrames.empty()) {
        std::fprintf(stderr, "could not make the recordings\n");
        return 1;
    }
    CTable table("Index scans, median ms (peer: reading the whole file with 1 MB reads)");
    ScanRows(table, "D1 .kvx", d1, true);
    ScanRows(table, "1080p .kvx", hd, true);
    ScanRows(table, "1080p .kvx", large, true);
    ScanRows(table, "D1 .ts", ts, false);
    ScanRows(table, "D1 .mp4", mp4, false);
    ScanRows(table, "D1 .mp4, H.265 with B-frames", bFrames, false);
    table.Row("Open + exact seek to the middle of the large .kvx, evicted (ms)", SeekAfterOpenMs(large, false),
              SeekAfterOpenMs(large, true));
    table.Print();
    RemoveWorkFolder();
    return 0;
}
