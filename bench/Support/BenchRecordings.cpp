#include "Support/BenchRecordings.h"

#include <algorithm>
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

int g_segmentSeconds = 60;

// Whole seconds each: the recording is coded in segments at once.
int SegmentSeconds()
{
    return Pick(g_segmentSeconds, 4);
}

int Segments()
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

// Iterations a point of the fractal takes at most, the bulk of the drawing's
// cost: a smoke run draws fewer.
int MaxIterations()
{
    return Pick(256, 48);
}

// One slow zoom into the fractal over the whole recording, at the
// recording's own size, with sensor noise; segment i of it.
std::string Source(Size size, int segment)
{
    constexpr double kStartScale = 3.0;
    constexpr double kEndScale = 0.003;
    const auto scaleAt = [](double part) { return kStartScale * std::pow(kEndScale / kStartScale, part); };
    char source[256];
    std::snprintf(source, sizeof source,
                  "mandelbrot=s=%dx%d:r=25:maxiter=%d:start_scale=%.9g:end_scale=%.9g:end_pts=%g,"
                  "noise=alls=%d:allf=t",
                  Width(size), Height(size), MaxIterations(), scaleAt(double(segment) / Segments()),
                  scaleAt(double(segment + 1) / Segments()), double(SegmentSeconds()), size == Size::D1 ? 12 : 10);
    return source;
}

std::string Bitrate(Size size)
{
    return size == Size::D1 ? "2M" : "4M";
}

std::string Stem(Size size)
{
    return WorkFolder() + "/" + SizeName(size) + "-" + std::to_string(int(RecordingSeconds())) + "s" +
           (IsSmoke() ? "-smoke" : "");
}

std::string SegmentPath(Size size, int segment)
{
    return Stem(size) + "-part" + std::to_string(segment) + ".mp4";
}

// The segments of a recording, coded at once (the source is slow to draw)
// as a recorder codes: constant bitrate, a key frame every 2 s, no B-frames.
bool MakeSegments(Size size)
{
    const std::string rate = Bitrate(size);
    std::string script;
    for (int i = 0; i < Segments(); ++i) {
        const std::string path = SegmentPath(size, i);
        if (Exists(path))
            continue;
        script += "(ffmpeg -nostdin -v error -y -f lavfi -i '" + Source(size, i) + "' -t " +
                  std::to_string(SegmentSeconds()) +
                  " -c:v libx264 -preset faster -bf 0 -g 50 -keyint_min 50 -sc_threshold 0 -b:v " + rate +
                  " -maxrate " + rate + " -bufsize " + rate + " -pix_fmt yuv420p -f mp4 " + path + ".part && mv " +
                  path + ".part " + path + ") & ";
    }
    if (script.empty())
        return true;
    std::fprintf(stderr, "making the %s recordings...\n", SizeName(size).c_str());
    Run(script + "wait");
    for (int i = 0; i < Segments(); ++i)
        if (!Exists(SegmentPath(size, i)))
            return false;
    return true;
}

// The segments one after the other in one file.
std::string Joined(Size size, const std::string& path, const std::string& format)
{
    if (Exists(path))
        return path;
    if (!MakeSegments(size))
        return {};
    const std::string list = path + ".list";
    if (FILE* out = std::fopen(list.c_str(), "w")) {
        for (int i = 0; i < Segments(); ++i)
            std::fprintf(out, "file '%s'\n", SegmentPath(size, i).c_str());
        std::fclose(out);
    }
    const bool made = Run("ffmpeg -nostdin -v error -y -f concat -safe 0 -i " + list + " -c copy -f " + format +
                          " " + path + ".part");
    std::filesystem::remove(list);
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

void SetRecordingSeconds(int seconds)
{
    g_segmentSeconds = std::max(1, seconds / Segments());
}

double RecordingSeconds()
{
    return double(SegmentSeconds()) * Segments();
}

std::string Recording(Size size, Container container)
{
    const std::string stem = Stem(size);
    const std::string ts = Joined(size, stem + ".ts", "mpegts");
    switch (container) {
    case Container::Mp4:
        return Joined(size, stem + ".mp4", "mp4");
    case Container::Ts:
        return ts;
    case Container::Kvx:
        return ToKvx(ts, stem + ".kvx");
    }
    return {};
}

bool Selected(const std::string& name)
{
    const char* only = std::getenv("LUMIVEX_BENCH_ONLY");
    return !only || name.find(only) != std::string::npos;
}

namespace {

// Every size and container given of one coding; codec: "" or " H.265".
bool ForEachCoded(const std::string& codec, const std::function<std::string(Size, Container)>& make,
                  const std::vector<Container>& containers, const std::function<void(const RecordingCase&)>& work)
{
    for (const Size size : Sizes()) {
        for (const Container container : containers) {
            const std::string name = SizeName(size) + codec + " " + ContainerName(container);
            if (!Selected(name))
                continue;
            const std::string ts = make(size, Container::Ts);
            const std::string path = make(size, container);
            if (path.empty() || ts.empty()) {
                std::fprintf(stderr, "could not make the recordings\n");
                return false;
            }
            work({size, container, path, container == Container::Kvx ? ts : path, name});
        }
    }
    return true;
}

}  // namespace

std::string BFramesRecording(Size size, bool h265)
{
    const std::string path = Stem(size) + (h265 ? "-h265" : "-h264") + "-bframes.mp4";
    const std::string base = Recording(size, Container::Mp4);
    if (base.empty() || Exists(path))
        return base.empty() ? std::string() : path;
    const std::string rate = Bitrate(size);
    const std::string codec =
        h265 ? "-c:v libx265 -preset ultrafast -x265-params "
               "bframes=3:keyint=50:min-keyint=50:scenecut=0:open-gop=0:log-level=error"
             : "-c:v libx264 -preset faster -bf 3 -g 50 -keyint_min 50 -sc_threshold 0";
    const bool made = Run("ffmpeg -nostdin -v error -y -i " + base + " " + codec + " -b:v " + rate + " -maxrate " +
                          rate + " -bufsize " + rate + " -pix_fmt yuv420p -f mp4 " + path + ".part");
    return made && Finish(path) ? path : std::string();
}

bool ForEachBFramesRecording(const std::function<void(const RecordingCase&)>& work)
{
    for (const Size size : Sizes()) {
        for (const bool h265 : {false, true}) {
            const std::string name = SizeName(size) + " .mp4 " + (h265 ? "H.265" : "H.264") + " B-frames";
            if (!Selected(name))
                continue;
            const std::string path = BFramesRecording(size, h265);
            if (path.empty()) {
                std::fprintf(stderr, "could not make the B-frame recordings\n");
                return false;
            }
            work({size, Container::Mp4, path, path, name});
        }
    }
    return true;
}

bool ForEachRecording(const std::function<void(const RecordingCase&)>& work,
                      const std::vector<Container>& containers)
{
    return ForEachCoded("", Recording, containers, work);
}

bool ForEachH265Recording(const std::function<void(const RecordingCase&)>& work)
{
    return ForEachCoded(" H.265", H265Recording, Containers(), work);
}

std::string LargeKvx(std::uint64_t bytes)
{
    // Its content matters not: the largest recording of the run, repeated.
    const Size size = Sizes().back();
    const std::string base = Recording(size, Container::Mp4);
    const std::string path = Stem(size) + "-" + std::to_string(bytes >> 20) + "MB.kvx";
    if (base.empty() || Exists(path))
        return base.empty() ? std::string() : path;
    const int loops = int(std::ceil(double(bytes) / double(FileSize(base)))) + 1;
    const std::string ts = Repeat(base, loops, path + ".ts", "mpegts");
    const std::string made = ToKvx(ts, path);
    std::filesystem::remove(path + ".ts");
    return made;
}

namespace {

std::string TranscodedH265(Size size)
{
    const std::string path = Stem(size) + "-h265.ts";
    const std::string h264 = Recording(size, Container::Ts);
    if (h264.empty() || Exists(path))
        return h264.empty() ? std::string() : path;
    std::fprintf(stderr, "making the %s H.265 recording...\n", SizeName(size).c_str());
    const std::string rate = Bitrate(size);
    const bool made = Run("ffmpeg -nostdin -v error -y -i " + h264 +
                          " -c:v libx265 -preset ultrafast -x265-params "
                          "log-level=error:pools=3:keyint=50:min-keyint=50:scenecut=0:bframes=0 -b:v " +
                          rate + " -maxrate " + rate + " -bufsize " + rate + " -f mpegts " + path + ".part");
    return made && Finish(path) ? path : std::string();
}

}  // namespace

std::string H265Recording(Size size, Container container)
{
    const std::string ts = TranscodedH265(size);
    if (ts.empty() || container == Container::Ts)
        return ts;
    const std::string stem = Stem(size) + "-h265";
    if (container == Container::Kvx)
        return ToKvx(ts, stem + ".kvx");
    const std::string mp4 = stem + ".mp4";
    const bool made = Exists(mp4) || (Run("ffmpeg -nostdin -v error -y -i " + ts + " -c copy -tag:v hvc1 -f mp4 " +
                                          mp4 + ".part") &&
                                      Finish(mp4));
    return made ? mp4 : std::string();
}

}  // namespace BENCH
