#include "Platform/PlayModule/Source/RecordingCut.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "Platform/PlayModule/Format/KvxContentProbe.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace PLAY_MODULE {

namespace {

constexpr std::size_t kProbeSize = 64 * 1024;

std::vector<std::uint8_t> ReadHead(const std::string& path)
{
    std::vector<std::uint8_t> head(kProbeSize + AVPROBE_PADDING_SIZE, 0);
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    const std::size_t got = std::fread(head.data(), 1, kProbeSize, file);
    std::fclose(file);
    head.resize(got + AVPROBE_PADDING_SIZE, 0);
    return got > 0 ? head : std::vector<std::uint8_t>{};
}

}  // namespace

ByteCut ByteCutOf(const std::string& path)
{
    if (FileLooksLikeKvx(path))
        return ByteCut::Plays;
    std::vector<std::uint8_t> head = ReadHead(path);
    if (head.empty())
        return ByteCut::Unknown;
    const std::uint8_t pack[4] = {0, 0, 1, 0xBA};
    if (std::memcmp(head.data(), pack, sizeof pack) == 0)
        return ByteCut::Plays;
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = head.data();
    probe.buf_size = int(head.size() - AVPROBE_PADDING_SIZE);
    const AVInputFormat* format = av_probe_input_format(&probe, 1);
    if (!format)
        return ByteCut::Unknown;
    const bool stream = std::strcmp(format->name, "mpegts") == 0 || std::strcmp(format->name, "mpeg") == 0;
    return stream ? ByteCut::Plays : ByteCut::NeedsWholeFile;
}

}  // namespace PLAY_MODULE
