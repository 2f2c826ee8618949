#include "Platform/PlayModule/Support/SampleFolder.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

#include "KvxWriter/RecordingName.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/Format/KvxFileReader.h"

namespace PLAY_MODULE_TEST {

namespace {

// Folders "kvxtest-<pid>-..." of this user whose test program has ended
// without removing them (halted or killed).
void RemoveLeftOverFolders(const std::filesystem::path& base)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        struct stat info {};
        if (name.rfind("kvxtest-", 0) != 0 || ::lstat(entry.path().c_str(), &info) != 0 ||
            !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + 8, &end, 10);
        if (pid > 0 && *end == '-' && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            std::filesystem::remove_all(entry.path(), ec);
    }
}

}  // namespace

CSampleFolder::CSampleFolder()
{
    const auto base = std::filesystem::temp_directory_path();
    RemoveLeftOverFolders(base);
    std::string pattern = (base / ("kvxtest-" + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data())) m_path = pattern;
}

CSampleFolder::~CSampleFolder()
{
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

std::string CSampleFolder::MakeKvx(KVX_WRITER::SyntheticOptions options, bool signedFile,
                                   const std::string& recorder, int channel) const
{
    if (signedFile && !options.signer) options.signer = KVX_WRITER::TestRecorderSigner();
    if (!signedFile) options.signer = nullptr;
    const auto endMs = options.startUtcMs + static_cast<std::int64_t>(options.seconds * 1000);
    const auto path = File(KVX_WRITER::RecordingFileName(recorder, channel, 0, options.startUtcMs, endMs));
    return KVX_WRITER::WriteSyntheticRecording(options, path) ? path : std::string();
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<PLAY_MODULE::KvxRecord> ReadAllRecords(const std::string& path)
{
    std::vector<PLAY_MODULE::KvxRecord> records;
    PLAY_MODULE::CKvxFileReader reader;
    if (!reader.Open(path)) return records;
    PLAY_MODULE::KvxRecord record;
    while (reader.ReadNext(record)) records.push_back(record);
    return records;
}

}  // namespace PLAY_MODULE_TEST
