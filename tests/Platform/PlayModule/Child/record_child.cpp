// Records in a process of its own, from the records of SOURCE into TARGET:
//   "kill SOURCE TARGET GROUPS": killed by SIGKILL within group GROUPS + 1,
//     once the records before it reached the file;
//   "limit SOURCE TARGET BYTES": under a file-size limit; prints
//     "kept BYTES MS AT_ONCE PATH" for the failure report (AT_ONCE 1 when it
//     came before the stop);
//   "play SOURCE TARGET": plays SOURCE at normal speed and records it until
//     killed (for checks by hand);
//   "verify FILE": prints what the chain check and the play module make of
//     FILE (for checks by hand).
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Output/DataRecorder.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;

namespace {

MediaPacket PacketOf(const KvxRecord& record, std::vector<std::uint8_t>& bytes)
{
    bytes.resize(kvx::kHeaderSize);
    record.header.Encode(bytes.data());
    bytes.insert(bytes.end(), record.payload.begin(), record.payload.end());
    MediaPacket packet;
    packet.kind = record.header.kind == kvx::RecordKind::Video ? PacketKind::Video : PacketKind::Other;
    packet.key = record.header.IsKeyFrame();
    packet.recordKind = int(record.header.kind);
    packet.raw = bytes.data();
    packet.rawSize = int(bytes.size());
    return packet;
}

bool StartRecorder(CDataRecorder& recorder, const std::string& target)
{
    AVCodecParameters* video = avcodec_parameters_alloc();
    video->codec_type = AVMEDIA_TYPE_VIDEO;
    video->codec_id = AV_CODEC_ID_H264;
    video->width = 352;
    video->height = 288;
    const bool started = recorder.Start(target, video, nullptr, 25.0, 0);
    avcodec_parameters_free(&video);
    return started;
}

std::uint64_t SizeOf(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? std::uint64_t(status.st_size) : 0;
}

int KillWithinGroup(const std::string& source, const std::string& target, int groups)
{
    CDataRecorder recorder;
    if (!StartRecorder(recorder, target))
        return 2;
    std::uint64_t fed = 0;
    std::uint64_t wanted = 0;
    int keyFrames = 0;
    int after = 0;
    std::vector<std::uint8_t> bytes;
    for (const KvxRecord& record : PLAY_MODULE_TEST::ReadAllRecords(source)) {
        keyFrames += record.header.IsKeyFrame() ? 1 : 0;
        if (keyFrames == 0)
            continue;
        if (keyFrames == groups + 1 && wanted == 0)
            wanted = fed;
        if (wanted != 0 && ++after > 12)
            break;
        recorder.OnPacket(PacketOf(record, bytes));
        fed += record.TotalSize();
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (SizeOf(target + "_") < wanted && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::raise(SIGKILL);
    return 3;
}

int RecordUnderLimit(const std::string& source, const std::string& target, long long limitBytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
    CDataRecorder recorder;
    bool stopped = false;
    std::string line;
    recorder.SetFailureReport([&](const std::string& path, std::uint64_t bytes, std::int64_t ms) {
        line = "kept " + std::to_string(bytes) + " " + std::to_string(ms) + " " + (stopped ? "0 " : "1 ") + path;
    });
    if (!StartRecorder(recorder, target))
        return 2;
    std::vector<std::uint8_t> bytes;
    for (const KvxRecord& record : PLAY_MODULE_TEST::ReadAllRecords(source))
        recorder.OnPacket(PacketOf(record, bytes));
    stopped = true;
    recorder.Stop();
    std::printf("%s\n", line.c_str());
    return line.empty() ? 1 : 0;
}

class NoListener : public IPlayModuleListener {
public:
    void OnFileRefFinished(CPlayModule*, int) override {}
    void OnFileEnd(CPlayModule*) override {}
    void OnStreamData(CPlayModule*, unsigned char*, int, PM_FRAME_INFO*, int) override {}
    void OnFrameVisible(CPlayModule*, int, unsigned char*, int, PM_FRAME_INFO*) override {}
    void OnFileTimeDone(CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(CPlayModule*, unsigned char*, int, int, int, int) override { return 0; }
};

int PlayAndRecord(const std::string& source, const std::string& target)
{
    NoListener listener;
    CPlayModule module(&listener);
    if (!module.Open(source.c_str()) || !module.Play(nullptr) || !module.StartDataRecord(target.c_str(), 0))
        return 2;
    std::printf("recording\n");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

int Verify(const std::string& path)
{
    CKvxChainVerifier verifier;
    int records = 0;
    int keyFrames = 0;
    int faults = 0;
    int signatures = 0;
    std::int64_t first = -1;
    std::int64_t last = -1;
    for (const KvxRecord& record : PLAY_MODULE_TEST::ReadAllRecords(path)) {
        const auto result = verifier.Check(record);
        ++records;
        keyFrames += record.header.IsKeyFrame() ? 1 : 0;
        signatures += result == CKvxChainVerifier::Result::SignatureValid ? 1 : 0;
        faults += result == CKvxChainVerifier::Result::Ok || result == CKvxChainVerifier::Result::SignatureValid ? 0 : 1;
        if (record.header.kind == kvx::RecordKind::Video) {
            first = first < 0 ? record.header.timeMs : first;
            last = record.header.timeMs;
        }
    }
    NoListener listener;
    CPlayModule module(&listener);
    const int opened = module.Open(path.c_str());
    std::printf("records %d key frames %d valid signatures %d faults %d video %.2f s; opens %d, length %u s\n",
                records, keyFrames, signatures, faults, double(last - first) / 1000.0, opened,
                opened ? module.GetFileLengthOfTime() : 0u);
    return faults == 0 && opened ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    if (mode == "verify")
        return Verify(argv[2]);
    if (argc < 4)
        return 2;
    if (mode == "kill" && argc > 4)
        return KillWithinGroup(argv[2], argv[3], std::atoi(argv[4]));
    if (mode == "limit" && argc > 4)
        return RecordUnderLimit(argv[2], argv[3], std::atoll(argv[4]));
    if (mode == "play")
        return PlayAndRecord(argv[2], argv[3]);
    return 2;
}
