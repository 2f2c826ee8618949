// kvxwrite: writes ".kvx" recordings named by the recorders' file-name rule,
// from a synthetic source or from any input FFmpeg reads.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "KvxWriter/InputRecording.h"
#include "KvxWriter/RecordingName.h"
#include "KvxWriter/SyntheticRecording.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/KvxSigner.h"

using namespace KVX_WRITER;
using PLAY_MODULE::kvx::AudioCodec;
using PLAY_MODULE::kvx::VideoCodec;

namespace {

const char kUsage[] =
    "usage: kvxwrite [options] OUTPUT_FOLDER\n"
    "  --input FILE        record FILE (any input FFmpeg reads) instead of the test pattern\n"
    "  --name NAME         recorder name (default Cam01)\n"
    "  --channel N         channel number from 1 (default 1)\n"
    "  --stream S          main, extraN or none (default main)\n"
    "  --start TIME        local start \"YYYY-MM-DD HH:MM:SS\" (default: now)\n"
    "  --seconds S         length of each recording (default 10)\n"
    "  --count N           N recordings one after another (default 1)\n"
    "  --size WxH          picture size of the test pattern (default 704x576)\n"
    "  --fps N             frame rate of the test pattern (default 25)\n"
    "  --gop S             seconds between key frames (default 2)\n"
    "  --codec C           h264 or h265 (default h264)\n"
    "  --audio A           alaw, mulaw, aac or none (default alaw)\n"
    "  --no-overlay        no overlay blocks\n"
    "  --watermark TEXT    watermark text (default \"Lumivex test recorder\"; empty: none)\n"
    "  --key PEM           sign with this Ed25519 private key (default: the project's test key)\n"
    "  --unsigned          write no signatures\n";

struct Arguments {
    SyntheticOptions synthetic;
    std::string input;
    std::string name = "Cam01";
    int channel = 1;
    int stream = 0;
    int count = 1;
    bool startGiven = false;
    std::string keyPath;
    bool unsignedFiles = false;
    std::string folder;
};

bool ParseLocalTime(const std::string& text, std::int64_t& utcMs)
{
    std::tm tm{};
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec) != 6)
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    utcMs = static_cast<std::int64_t>(t) * 1000;
    return t != static_cast<std::time_t>(-1);
}

bool ParseStream(const std::string& text, int& stream)
{
    if (text == "main") stream = 0;
    else if (text == "none") stream = -1;
    else if (text.rfind("extra", 0) == 0 && std::atoi(text.c_str() + 5) > 0) stream = std::atoi(text.c_str() + 5);
    else return false;
    return true;
}

bool ParseAudio(const std::string& text, std::optional<AudioCodec>& audio)
{
    if (text == "alaw") audio = AudioCodec::G711ALaw;
    else if (text == "mulaw") audio = AudioCodec::G711MuLaw;
    else if (text == "aac") audio = AudioCodec::AacAdts;
    else if (text == "none") audio.reset();
    else return false;
    return true;
}

bool ParseOption(Arguments& a, const std::string& opt, const std::string& value)
{
    SyntheticOptions& s = a.synthetic;
    if (opt == "--input") a.input = value;
    else if (opt == "--name") a.name = value;
    else if (opt == "--channel") a.channel = std::atoi(value.c_str());
    else if (opt == "--stream") return ParseStream(value, a.stream);
    else if (opt == "--start") return a.startGiven = ParseLocalTime(value, s.startUtcMs);
    else if (opt == "--seconds") s.seconds = std::atof(value.c_str());
    else if (opt == "--count") a.count = std::atoi(value.c_str());
    else if (opt == "--size") return std::sscanf(value.c_str(), "%dx%d", &s.width, &s.height) == 2;
    else if (opt == "--fps") s.fps = std::atoi(value.c_str());
    else if (opt == "--gop") s.gopSeconds = std::atof(value.c_str());
    else if (opt == "--codec") {
        if (value != "h264" && value != "h265") return false;
        s.codec = value == "h264" ? VideoCodec::H264 : VideoCodec::H265;
    } else if (opt == "--audio") return ParseAudio(value, s.audio);
    else if (opt == "--watermark") s.watermark = value;
    else if (opt == "--key") a.keyPath = value;
    else return false;
    return true;
}

bool ParseArguments(int argc, char** argv, Arguments& a)
{
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--no-overlay") a.synthetic.overlays = false;
        else if (opt == "--unsigned") a.unsignedFiles = true;
        else if (opt.rfind("--", 0) == 0) {
            if (i + 1 >= argc || !ParseOption(a, opt, argv[++i])) return false;
        } else if (a.folder.empty()) a.folder = opt;
        else return false;
    }
    const SyntheticOptions& s = a.synthetic;
    return !a.folder.empty() && IsValidRecorderName(a.name) && a.channel > 0 && a.count > 0 &&
           s.seconds > 0 && s.width >= 16 && s.height >= 16 && s.fps > 0 && s.gopSeconds > 0;
}

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count() * 1000;
}

int WriteOne(Arguments& a, std::int64_t startMs)
{
    std::string error;
    const auto lengthMs = static_cast<std::int64_t>(a.synthetic.seconds * 1000);
    std::int64_t endMs = startMs + lengthMs;
    const std::string temp = (std::filesystem::path(a.folder) / (".kvxwrite-" + std::to_string(::getpid()) + ".kvx")).string();
    bool ok;
    if (a.input.empty()) {
        a.synthetic.startUtcMs = startMs;
        ok = WriteSyntheticRecording(a.synthetic, temp, &error);
    } else {
        InputOptions in;
        in.startUtcMs = a.startGiven ? startMs : -1;
        in.seconds = a.synthetic.seconds;
        in.audio = a.synthetic.audio;
        in.watermark = a.synthetic.watermark;
        in.signer = a.synthetic.signer;
        InputResult result;
        ok = WriteRecordingFromInput(in, a.input, temp, &result, &error);
        startMs = result.startUtcMs;
        endMs = result.endUtcMs;
    }
    if (!ok) {
        std::cerr << "kvxwrite: " << error << "\n";
        return 1;
    }
    const auto name = RecordingFileName(a.name, a.channel, a.stream, startMs, endMs);
    const auto path = std::filesystem::path(a.folder) / name;
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::cerr << "kvxwrite: cannot name " << path << ": " << ec.message() << "\n";
        return 1;
    }
    std::cout << path.string() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    Arguments a;
    if (!ParseArguments(argc, argv, a)) {
        std::cerr << kUsage;
        return 2;
    }
    if (!a.unsignedFiles) {
        a.synthetic.signer = a.keyPath.empty() ? TestRecorderSigner() : PLAY_MODULE::CKvxSigner::FromPemFile(a.keyPath);
        if (!a.synthetic.signer) {
            std::cerr << "kvxwrite: " << a.keyPath << " holds no Ed25519 private key\n";
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(a.folder, ec);
    if (!a.startGiven) a.synthetic.startUtcMs = NowMs();
    const auto stepMs = static_cast<std::int64_t>(a.synthetic.seconds * 1000);
    const std::int64_t firstStart = a.synthetic.startUtcMs;
    for (int i = 0; i < a.count; ++i)
        if (WriteOne(a, firstStart + i * stepMs) != 0) return 1;
    return 0;
}
