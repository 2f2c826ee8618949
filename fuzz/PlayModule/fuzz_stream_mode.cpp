// Feeds arbitrary bytes to the stream player, as the export and the
// watermark check do: in blocks whose size comes from the input, with the
// watermark check, frame decoding and AVI conversion switched on. The drain
// must always end; a hang traps.
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"
#include "PlayModule/ChecksumMender.h"
#include "PlayModule/StreamDrain.h"

using namespace PLAY_MODULE;

namespace {

class CQuietListener : public IWatermarkCheckListener, public IImageSnapshotListener {
public:
    void OnWatermarkCheckInfo(CPlaySdkWrapper*, const char* data, long, long, long, long, long) override
    {
        while (data && *data) ++data;  // the text must be terminated
    }
    void OnSnapshot(char* frame, long size, long, long, long, long) override
    {
        if (size > 0) sum += std::uint8_t(frame[size - 1]);
    }
    unsigned sum = 0;
};

const std::string& AviPath()
{
    static const std::string path = "/tmp/fuzz_stream_mode_" + std::to_string(::getpid()) + ".avi";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    av_log_set_level(AV_LOG_QUIET);
    if (size < 2) return 0;
    const std::size_t block = 1 + (std::size_t(data[0]) << 4 | data[1]);
    data += 2;
    size -= 2;
    CQuietListener listener;
    CPlaySdkWrapper player;
    player.SetWatermarkListener(&listener);
    player.SetImageSnapShotListener(&listener);
    player.SetStreamOpenMode(1);
    player.OpenStream(65536);
    player.EnableWaterMarkCallBackEx();
    player.EnableDisplayCallBack(1);
    std::string avi = AviPath();
    player.StartAVIConvert(avi.data());
    player.Play(nullptr);
    for (std::size_t at = 0; at < size; at += block) {
        auto* bytes = const_cast<std::uint8_t*>(data + at);
        const std::size_t count = std::min(block, size - at);
        while (!player.InputData(bytes, count)) std::this_thread::yield();
    }
    FUZZ::Drain(player);
    player.StopAVIConvert();
    player.EnableDisplayCallBack(0);
    player.Stop();
    player.CloseStream();
    ::unlink(avi.c_str());
    return 0;
}

// Record headers stay well-formed under mutation.
LUMIVEX_FUZZ_MENDING_MUTATOR(FUZZ::MendKvxHeaders)
