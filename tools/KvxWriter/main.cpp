// kvxwrite: writes ".kvx" recordings named by the recorders' file-name rule,
// from a synthetic source or from any input FFmpeg reads.
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
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
#include "Platform/PlayModule/Format/KvxSigner.h"

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
    bool help = false;
    std::string keyPath;
    bool unsignedFiles = false;
    std::string folder;
};

// A bad argument: the message names it.
struct ArgumentError {
    std::string message;
};

[[noreturn]] void Refuse(const std::string& option, const std::string& value, const std::string& expected)
{
    throw ArgumentError{option + " '" + value + "': " + expected};
}

long long ParseWhole(const std::string& option, const std::string& value, long long low, long long high)
{
    char* end = nullptr;
    errno = 0;
    const long long n = value.empty() ? 0 : std::strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || errno == ERANGE || n < low || n > high)
        Refuse(option, value, "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return n;
}

double ParseNumber(const std::string& option, const std::string& value, double low, double high)
{
    char* end = nullptr;
    const double n = value.empty() ? 0 : std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !std::isfinite(n) || n < low || n > high) {
        std::ostringstream expected;
        expected << "expected a number from " << low << " to " << high;
        Refuse(option, value, expected.str());
    }
    return n;
}

// A local time that exists as written (no day 31 of a 30-day month).
std::int64_t ParseLocalTime(const std::string& text)
{
    int fields[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &fields[0], &fields[1], &fields[2], &fields[3],
                    &fields[4], &fields[5], &tail) != 6 ||
        fields[0] < 1970 || fields[0] > 2037)
        Refuse("--start", text, "expected a local time \"YYYY-MM-DD HH:MM:SS\" from 1970 to 2037");
    std::tm tm{};
    tm.tm_year = fields[0] - 1900;
    tm.tm_mon = fields[1] - 1;
    tm.tm_mday = fields[2];
    tm.tm_hour = fields[3];
    tm.tm_min = fields[4];
    tm.tm_sec = fields[5];
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    const bool asWritten = tm.tm_year == fields[0] - 1900 && tm.tm_mon == fields[1] - 1 && tm.tm_mday == fields[2] &&
                           tm.tm_hour == fields[3] && tm.tm_min == fields[4] && tm.tm_sec == fields[5];
    if (t == static_cast<std::time_t>(-1) || !asWritten)
        Refuse("--start", text, "no such local time");
    return static_cast<std::int64_t>(t) * 1000;
}

int ParseStream(const std::string& text)
{
    if (text == "main") return 0;
    if (text == "none") return -1;
    if (text.rfind("extra", 0) == 0) return static_cast<int>(ParseWhole("--stream", text.substr(5), 1, 99));
    Refuse("--stream", text, "expected main, extraN or none");
}

std::optional<AudioCodec> ParseAudio(const std::string& text)
{
    if (text == "alaw") return AudioCodec::G711ALaw;
    if (text == "mulaw") return AudioCodec::G711MuLaw;
    if (text == "aac") return AudioCodec::AacAdts;
    if (text == "none") return std::nullopt;
    Refuse("--audio", text, "expected alaw, mulaw, aac or none");
}

void ParseSize(const std::string& value, SyntheticOptions& s)
{
    const auto x = value.find('x');
    if (x == std::string::npos) Refuse("--size", value, "expected WxH");
    s.width = static_cast<int>(ParseWhole("--size", value.substr(0, x), 16, 4096));
    s.height = static_cast<int>(ParseWhole("--size", value.substr(x + 1), 16, 4096));
}

void ParseOption(Arguments& a, const std::string& opt, const std::string& value)
{
    SyntheticOptions& s = a.synthetic;
    if (opt == "--input") a.input = value;
    else if (opt == "--name") {
        if (!IsValidRecorderName(value)) Refuse(opt, value, "not a recorder name the file-name rule allows");
        a.name = value;
    } else if (opt == "--channel") a.channel = static_cast<int>(ParseWhole(opt, value, 1, 999));
    else if (opt == "--stream") a.stream = ParseStream(value);
    else if (opt == "--start") {
        s.startUtcMs = ParseLocalTime(value);
        a.startGiven = true;
    } else if (opt == "--seconds") s.seconds = ParseNumber(opt, value, 0.001, 86400);
    else if (opt == "--count") a.count = static_cast<int>(ParseWhole(opt, value, 1, 10000));
    else if (opt == "--size") ParseSize(value, s);
    else if (opt == "--fps") s.fps = static_cast<int>(ParseWhole(opt, value, 1, 240));
    else if (opt == "--gop") s.gopSeconds = ParseNumber(opt, value, 0.001, 3600);
    else if (opt == "--codec") {
        if (value != "h264" && value != "h265") Refuse(opt, value, "expected h264 or h265");
        s.codec = value == "h264" ? VideoCodec::H264 : VideoCodec::H265;
    } else if (opt == "--audio") s.audio = ParseAudio(value);
    else if (opt == "--watermark") s.watermark = value;
    else if (opt == "--key") a.keyPath = value;
    else throw ArgumentError{"unknown option " + opt};
}

Arguments ParseArguments(int argc, char** argv)
{
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") a.help = true;
        else if (opt == "--no-overlay") a.synthetic.overlays = false;
        else if (opt == "--unsigned") a.unsignedFiles = true;
        else if (opt.rfind("--", 0) == 0) {
            if (i + 1 >= argc) throw ArgumentError{opt + " needs a value"};
            ParseOption(a, opt, argv[++i]);
        } else if (a.folder.empty()) a.folder = opt;
        else throw ArgumentError{"one output folder only, not also " + opt};
    }
    if (a.help) return a;
    if (a.folder.empty()) throw ArgumentError{"no output folder"};
    // Each recording holds at least one frame.
    if (a.input.empty() && a.synthetic.seconds * a.synthetic.fps < 1)
        throw ArgumentError{"--seconds: shorter than one frame at " + std::to_string(a.synthetic.fps) + " fps"};
    return a;
}

// The temporary being written and the writer's own one beside it (its name
// and "_"), removed if the program is interrupted.
char g_temporary[4096];
char g_writersTemporary[4096];

void RemoveTemporaryAndExit(int signal)
{
    if (g_temporary[0] != '\0') {
        ::unlink(g_temporary);
        ::unlink(g_writersTemporary);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void RememberTemporary(const std::string& path)
{
    std::snprintf(g_temporary, sizeof g_temporary, "%s", path.c_str());
    std::snprintf(g_writersTemporary, sizeof g_writersTemporary, "%s_", path.c_str());
}

void RemoveTemporary(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::filesystem::remove(path + "_", ignored);
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
    RememberTemporary(temp);
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
    std::error_code ec;
    if (ok && std::filesystem::file_size(temp, ec) == 0) {
        ok = false;
        error = "nothing recorded in " + temp;
    }
    if (!ok) {
        RemoveTemporary(temp);
        std::cerr << "kvxwrite: " << (error.empty() ? "cannot write " + temp : error) << "\n";
        return 1;
    }
    const auto name = RecordingFileName(a.name, a.channel, a.stream, startMs, endMs);
    const auto path = std::filesystem::path(a.folder) / name;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        RemoveTemporary(temp);
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
    try {
        a = ParseArguments(argc, argv);
    } catch (const ArgumentError& bad) {
        std::cerr << "kvxwrite: " << bad.message << "\n" << kUsage;
        return 2;
    }
    if (a.help) {
        std::cout << kUsage;
        return 0;
    }
    std::signal(SIGINT, RemoveTemporaryAndExit);
    std::signal(SIGTERM, RemoveTemporaryAndExit);
    if (!a.unsignedFiles) {
        a.synthetic.signer = a.keyPath.empty() ? TestRecorderSigner() : PLAY_MODULE::CKvxSigner::FromPemFile(a.keyPath);
        if (!a.synthetic.signer) {
            std::cerr << "kvxwrite: " << a.keyPath << " holds no Ed25519 private key\n";
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(a.folder, ec);
    if (!std::filesystem::is_directory(a.folder, ec)) {
        std::cerr << "kvxwrite: cannot make the folder " << a.folder << "\n";
        return 1;
    }
    if (!a.startGiven) a.synthetic.startUtcMs = NowMs();
    const auto stepMs = static_cast<std::int64_t>(a.synthetic.seconds * 1000);
    const std::int64_t firstStart = a.synthetic.startUtcMs;
    for (int i = 0; i < a.count; ++i)
        if (WriteOne(a, firstStart + i * stepMs) != 0) return 1;
    return 0;
}
