#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace BENCH {

// Recordings of a natural-looking source (a slow zoom into a fractal with
// sensor noise, drawn at the recording's own size, never repeated), coded
// as a recorder does (constant bitrate, a key frame every 2 s, no B-frames),
// made at run time and kept for the run (or in LUMIVEX_BENCH_CACHE).
enum class Size { D1, HD };
enum class Container { Mp4, Ts, Kvx };

// What a program goes through: every size and container, a smoke run D1
// ".kvx" alone.
std::vector<Size> Sizes();
std::vector<Container> Containers();

std::string SizeName(Size size);
std::string ContainerName(Container container);
int Width(Size size);
int Height(Size size);

// One recording of a program's run; FFmpeg reads no ".kvx": its peer file
// is then the ".ts" of the same stream.
struct RecordingCase {
    Size size;
    Container container;
    std::string path;
    std::string peerPath;
    std::string name;  // "D1 .mp4"
};
// False when LUMIVEX_BENCH_ONLY is set and not part of name.
bool Selected(const std::string& name);
// Runs work on every size and container (or those given; LUMIVEX_BENCH_ONLY:
// those whose name holds it); false (with a message) when a recording could
// not be made.
bool ForEachRecording(const std::function<void(const RecordingCase&)>& work,
                      const std::vector<Container>& containers = Containers());

// Length of the recordings: 10 minutes unless a program sets another (in
// whole tens of seconds) before making them; 8 s in a smoke run.
void SetRecordingSeconds(int seconds);
double RecordingSeconds();
// Empty when FFmpeg or the recording writer failed.
std::string Recording(Size size, Container container);
// The ".mp4" recording coded again as cameras with B-frames code it: H.264
// or H.265, three B-frames between references, closed groups every 2 s.
std::string BFramesRecording(Size size, bool h265);
// Runs work on every size's B-frame ".mp4" of both codecs (its peer file is
// itself); false when one could not be made.
bool ForEachBFramesRecording(const std::function<void(const RecordingCase&)>& work);

// The same recording coded as H.265 (the H.264 one transcoded: a key frame
// every 2 s, no B-frames, the same bitrate); FFmpeg's peer file of its
// ".kvx" is its ".ts".
std::string H265Recording(Size size, Container container);
// ForEachRecording over the H.265 recordings ("1080p H.265 .kvx").
bool ForEachH265Recording(const std::function<void(const RecordingCase&)>& work);
// A ".kvx" of at least bytes: the 1080p recording repeated (D1 in a smoke run).
std::string LargeKvx(std::uint64_t bytes);

}  // namespace BENCH
