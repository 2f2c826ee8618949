#include "Support/BenchRecordings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "KvxWriter/InputRecording.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Support/BenchRun.h"

namespace BENCH {

namespace {

constexpr std::int64_t kStartUtcMs = 1767225600000;  // 2026-01-01 00:00 UTC

double BaseSeconds()
{
    return Pick(60.0, 4.0);
}

int Loops()
{
    return Pick(10, 2);
}

bool Run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

bool Exists(const std::string& path)
{
    return std::filesystem::exists(path) && std::filesystem::file_size(path) > 0;
}

// Files appear under their name only when whole (programs may share a cache).
bool Finish(const std::string& path)
{
    std::error_code error;
    std::filesystem::rename(path + ".part", path, error);
    return !error;
}

std::string Source(Size size)
{
    if (size == Size::D1)
        return "mandelbrot=s=704x576:r=25,noise=alls=12:allf=t";
    return "mandelbrot=s=640x360:r=25,scale=1920:1080,noise=alls=10:allf=t";
}

std::string Bitrate(Size size)
{
    return size == Size::D1 ? "2M" : "4M";
}

std::string Stem(Size size)
{
    return WorkFolder() + "/" + SizeName(size) + (IsSmoke() ? "-smoke" : "");
}

// One base clip, coded once; longer recordings repeat it without re-coding.
std::string BaseClip(Size size)
{
    const std::string path = Stem(size) + "-base.mp4";
    if (Exists(path))
        return path;
    const std::string rate = Bitrate(size);
    std::fprintf(stderr, "making the %s recordings...\n", SizeName(size).c_str());
    const bool made = Run("ffmpeg -nostdin -v error -y -f lavfi -i '" + Source(size) + "' -t " +
                          std::to_string(int(BaseSeconds())) +
                          " -c:v libx264 -preset faster -bf 0 -g 50 -keyint_min 50 -sc_threshold 0 -b:v " +
                          rate + " -maxrate " + rate + " -bufsize " + rate + " -pix_fmt yuv420p -f mp4 " +
                          path + ".part");
    return made && Finish(path) ? path : std::string();
}

std::string Repeat(const std::string& base, int loops, const std::string& path, const std::string& format)
{
    if (Exists(path))
        return path;
    const bool made = !base.empty() &&
                      Run("ffmpeg -nostdin -v error -y -stream_loop " + std::to_string(loops - 1) + " -i " + base +
                          " -c copy -f " + format + " " + path + ".part");
    return made && Finish(path) ? path : std::string();
}

std::string ToKvx(const std::string& input, const std::string& path)
{
    if (Exists(path))
        return path;
    if (input.empty())
        return {};
    KVX_WRITER::InputOptions options;
    options.startUtcMs = kStartUtcMs;
    options.audio.reset();
    options.signer = KVX_WRITER::TestRecorderSigner();
    std::string error;
    if (!KVX_WRITER::WriteRecordingFromInput(options, input, path + ".part", nullptr, &error)) {
        std::fprintf(stderr, "kvx: %s\n", error.c_str());
        return {};
    }
    return Finish(path) ? path : std::string();
}

}  // namespace

std::vector<Size> Sizes()
{
    return IsSmoke() ? std::vector<Size>{Size::D1} : std::vector<Size>{Size::D1, Size::HD};
}

std::vector<Container> Containers()
{
    return IsSmoke() ? std::vector<Container>{Container::Kvx}
                     : std::vector<Container>{Container::Mp4, Container::Ts, Container::Kvx};
}

std::string SizeName(Size size)
{
    return size == Size::D1 ? "D1" : "1080p";
}

std::string ContainerName(Container container)
{
    return container == Container::Mp4 ? ".mp4" : container == Container::Ts ? ".ts" : ".kvx";
}

int Width(Size size)
{
    return size == Size::D1 ? 704 : 1920;
}

int Height(Size size)
{
    return size == Size::D1 ? 576 : 1080;
}

double RecordingSeconds()
{
    return BaseSeconds() * Loops();
}

std::string Recording(Size size, Container container)
{
    const std::string stem = Stem(size);
    const std::string ts = Repeat(BaseClip(size), Loops(), stem + ".ts", "mpegts");
    switch (container) {
    case Container::Mp4:
        return Repeat(BaseClip(size), Loops(), stem + ".mp4", "mp4");
    case Container::Ts:
        return ts;
    case Container::Kvx:
        return ToKvx(ts, stem + ".kvx");
    }
    return {};
}

bool ForEachRecording(const std::function<void(const RecordingCase&)>& work)
{
    for (const Size size : Sizes()) {
        const std::string ts = Recording(size, Container::Ts);
        for (const Container container : Containers()) {
            const std::string path = Recording(size, container);
            if (path.empty() || ts.empty()) {
                std::fprintf(stderr, "could not make the recordings\n");
                return false;
            }
            const std::string name = SizeName(size) + " " + ContainerName(container);
            if (const char* only = std::getenv("LUMIVEX_BENCH_ONLY"); only && name.find(only) == std::string::npos)
                continue;
            work({size, container, path, container == Container::Kvx ? ts : path, name});
        }
    }
    return true;
}

std::string LargeKvx(std::uint64_t bytes)
{
    const std::string base = BaseClip(Size::HD);
    const std::string path = Stem(Size::HD) + "-" + std::to_string(bytes >> 20) + "MB.kvx";
    if (base.empty() || Exists(path))
        return base.empty() ? std::string() : path;
    const int loops = int(std::ceil(double(bytes) / double(FileSize(base)))) + 1;
    const std::string ts = Repeat(base, loops, path + ".ts", "mpegts");
    const std::string made = ToKvx(ts, path);
    std::filesystem::remove(path + ".ts");
    return made;
}

}  // namespace BENCH
