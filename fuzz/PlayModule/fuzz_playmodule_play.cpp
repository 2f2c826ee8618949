// Opens a fuzzed file as a recording and plays a bounded number of frames,
// seeking, stepping and playing backward into it.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include <unistd.h>

#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Engine/TimeSource.h"
#include "PlayModule/ChecksumMender.h"

using namespace PLAY_MODULE;

namespace {

constexpr int kFrameBudget = 40;
constexpr auto kTimeBudget = std::chrono::milliseconds(300);

// Every frame is due at once.
class RushingTime : public ITimeSource {
public:
    std::int64_t NowUs() const override { return m_now += 1'000'000; }

private:
    mutable std::atomic<std::int64_t> m_now{0};
};

class CountingListener : public IPlayModuleListener {
public:
    void OnFileRefFinished(CPlayModule*, int) override {}
    void OnFileEnd(CPlayModule*) override { ++ends; }
    void OnStreamData(CPlayModule*, unsigned char* data, int length, PM_FRAME_INFO*, int) override
    {
        for (int i = 0; i < length; i += 4096)
            sum += data[i];
    }
    void OnFrameVisible(CPlayModule*, int, unsigned char* data, int size, PM_FRAME_INFO* info) override
    {
        // Touch the whole picture: the sanitizer checks its bounds.
        const std::size_t area = std::size_t(info->nWidth) * std::size_t(info->nHeight);
        if (data && size > 0 && area * 3 / 2 <= std::size_t(size))
            sum += data[0] + data[size - 1];
        ++frames;
    }
    void OnFileTimeDone(CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(CPlayModule*, unsigned char* data, int, int length, int, int) override
    {
        if (data && length > 0)
            sum += data[length - 1];
        return 1;
    }

    std::atomic<int> frames{0};
    std::atomic<int> ends{0};
    std::atomic<unsigned> sum{0};
};

bool WaitFor(CountingListener& listener, int frames)
{
    const auto deadline = std::chrono::steady_clock::now() + kTimeBudget;
    while (listener.frames < frames && listener.ends == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = "/tmp/fuzz_playmodule_play_" + std::to_string(::getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CountingListener listener;
    {
        CPlayModule module(&listener);
        module.SetTimeSource(std::make_shared<RushingTime>());
        if (module.Open(path.c_str()) && module.Play(nullptr)) {
            WaitFor(listener, kFrameBudget / 4);
            const std::uint8_t choice = size > 0 ? data[size - 1] : 0;
            module.Seek(float(choice % 101));
            module.Seek(module.GetFileStartTime() + choice % 7, choice & 1);
            WaitFor(listener, kFrameBudget / 2);
            module.StepBackward();
            module.StepForward();
            module.PlayBackward();
            module.Resume();
            WaitFor(listener, kFrameBudget);
            unsigned length = 0;
            module.GetRefValue(nullptr, &length);
            FRAME_POS pos;
            module.GetNextKeyFramePos(module.GetFileStartTime() + 1, &pos);
        }
        module.Close();
    }
    std::remove(path.c_str());
    return 0;
}

// Record headers stay well-formed under mutation.
LUMIVEX_FUZZ_MENDING_MUTATOR(FUZZ::MendKvxHeaders)
