// Records the ".kvx" recording SOURCE as a local AVI clip CLIP and is killed
// (SIGKILL) before the stop, once the clip's temporary holds BYTES (or after
// a while):   avi_record_child SOURCE CLIP BYTES
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "PlayManager/AVIRecorder.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

std::uintmax_t TemporarySize(const std::filesystem::path& clip)
{
    std::error_code error;
    const std::string prefix = clip.filename().string() + ".~";
    for (const auto& entry : std::filesystem::directory_iterator(clip.parent_path(), error))
        if (entry.path().filename().string().starts_with(prefix))
            return entry.file_size(error);
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 4)
        return 2;
    AVIRecorder recorder;
    if (!recorder.Start(argv[2]))
        return 3;
    std::vector<std::uint8_t> bytes = PLAY_MODULE_TEST::ReadFileBytes(argv[1]);
    PLAY_MODULE::PM_FRAME_INFO info;
    info.nYear = 2016;
    info.nMonth = 1;
    info.nDay = 2;
    for (std::size_t at = 0; at < bytes.size(); at += kBlockSize)
        recorder.InputData(bytes.data() + at, int(std::min(kBlockSize, bytes.size() - at)), info);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (TemporarySize(argv[2]) < std::uintmax_t(std::atoll(argv[3])) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::raise(SIGKILL);
    return 4;
}
