#include "Watermark/Support/WatermarkFixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <openssl/evp.h>
#include <openssl/pem.h>

#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/FooterEdits.h"

using namespace PLAY_MODULE;

namespace WATERMARK_TEST {

namespace {

const char kCommonArguments[] =
    "--watermark CAM-7 --name Cam07 --seconds 6 --size 160x120 --audio none --no-overlay "
    "--start '2016-01-02 03:04:05'";

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::vector<KvxRecord> RecordsOf(const std::vector<std::uint8_t>& bytes)
{
    CKvxRecordParser parser;
    parser.Feed(bytes);
    std::vector<KvxRecord> records;
    KvxRecord record;
    while (parser.Next(record) == CKvxRecordParser::Status::Record)
        records.push_back(record);
    return records;
}

// Index of the nth video record that is (or is not) a key frame.
std::size_t NthVideo(const std::vector<KvxRecord>& records, int nth, bool key)
{
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].header.kind == kvx::RecordKind::Video && records[i].header.IsKeyFrame() == key && nth-- == 0)
            return i;
    return records.size();
}

long SecondsOf(const KvxRecord& record)
{
    return long(record.header.timeMs / 1000);
}

bool WriteNewPrivateKey(const std::string& path)
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"),
                                                             &EVP_PKEY_free);
    FILE* file = key ? std::fopen(path.c_str(), "w") : nullptr;
    if (!file)
        return false;
    const bool written = PEM_write_PrivateKey(file, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    return std::fclose(file) == 0 && written;
}

}  // namespace

CWatermarkFixtures::CWatermarkFixtures(const std::string& folder) : m_folder(folder)
{
    m_ok = MakeWritten() && MakeCopies();
}

std::string CWatermarkFixtures::RunKvxWrite(const std::string& arguments)
{
    const std::string command = std::string(KVXWRITE_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {};
    char line[4096] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    if (::pclose(pipe) != 0 || !read)
        return {};
    std::string path = line;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    return path;
}

std::string CWatermarkFixtures::NameFor(Fixture fixture, const std::string& extension) const
{
    std::string name = m_pristineName;
    name.replace(name.find("_ch1_"), 5, "_ch" + std::to_string(int(fixture)) + "_");
    return name.substr(0, name.rfind('.')) + extension;
}

std::string CWatermarkFixtures::FileName(Fixture fixture) const
{
    return std::filesystem::path(Path(fixture)).filename().string();
}

bool CWatermarkFixtures::MakeWritten()
{
    const std::string folder = " '" + m_folder + "'";
    m_paths[Fixture::Pristine] = RunKvxWrite(std::string(kCommonArguments) + " --channel 1" + folder);
    m_paths[Fixture::Unsigned] = RunKvxWrite(std::string(kCommonArguments) + " --channel 6 --unsigned" + folder);
    m_paths[Fixture::NoText] = RunKvxWrite("--watermark '' --name Cam07 --seconds 6 --size 160x120 --audio none "
                                           "--no-overlay --start '2016-01-02 03:04:05' --channel 11" + folder);
    const std::string key = m_folder + "/other-key.pem";
    if (WriteNewPrivateKey(key))
        m_paths[Fixture::OtherKey] = RunKvxWrite(std::string(kCommonArguments) + " --channel 5 --key '" + key + "'" + folder);
    std::filesystem::remove(key);
    for (Fixture fixture : {Fixture::Pristine, Fixture::Unsigned, Fixture::OtherKey, Fixture::NoText})
        if (m_paths[fixture].empty())
            return false;
    m_pristineName = std::filesystem::path(m_paths[Fixture::Pristine]).filename().string();
    return true;
}

bool CWatermarkFixtures::MakeCopies()
{
    const auto pristine = ReadBytes(m_paths[Fixture::Pristine]);
    const auto records = RecordsOf(pristine);
    const std::size_t flipped = NthVideo(records, 30, false);
    const std::size_t removed = NthVideo(records, 70, false);
    const std::size_t cutFrom = NthVideo(records, 1, true);
    const std::size_t cutTo = NthVideo(records, 2, true);
    std::size_t text = 0;
    while (text < records.size() && records[text].header.kind != kvx::RecordKind::Watermark)
        ++text;
    if (removed + 1 >= records.size() || cutTo >= records.size() || text >= records.size())
        return false;
    auto at = [&](std::size_t index) { return std::ptrdiff_t(records[index].offset); };
    auto payloadAt = [&](std::size_t index) { return std::size_t(records[index].offset) + kvx::kHeaderSize; };
    auto path = [&](Fixture fixture, const std::string& extension = ".kvx") {
        return m_paths[fixture] = m_folder + "/" + NameFor(fixture, extension);
    };

    auto bytes = pristine;
    bytes[payloadAt(flipped) + records[flipped].payload.size() / 2] ^= 0x40;
    m_errorTimes[Fixture::Flipped] = SecondsOf(records[flipped]);
    bool ok = WriteBytes(path(Fixture::Flipped), bytes);

    bytes = pristine;
    bytes.erase(bytes.begin() + at(removed), bytes.begin() + at(removed + 1));
    m_errorTimes[Fixture::Removed] = SecondsOf(records[removed + 1]);
    ok = ok && WriteBytes(path(Fixture::Removed), bytes);

    bytes = pristine;
    bytes[payloadAt(text)] = 'X';
    m_errorTimes[Fixture::ChangedText] = SecondsOf(records[text]);
    ok = ok && WriteBytes(path(Fixture::ChangedText), bytes);

    ok = ok && WriteBytes(path(Fixture::Cut), {pristine.begin() + at(cutFrom), pristine.begin() + at(cutTo)});

    const struct {
        Fixture fixture;
        std::ptrdiff_t at;
        std::size_t size;
        std::size_t besideRecord;
    } junks[] = {{Fixture::JunkBetween, at(cutFrom), 4096, cutFrom},
                 {Fixture::JunkBefore, 0, 8192, 0},
                 {Fixture::JunkAfter, std::ptrdiff_t(pristine.size()), 20, records.size() - 1}};
    for (const auto& junk : junks) {
        bytes = pristine;
        bytes.insert(bytes.begin() + junk.at, junk.size, std::uint8_t(0xA5));
        m_errorTimes[junk.fixture] = SecondsOf(records[junk.besideRecord]);
        ok = ok && WriteBytes(path(junk.fixture), bytes);
    }
    ok = ok && WriteBytes(path(Fixture::Empty), {});
    ok = ok && WriteBytes(path(Fixture::Deleted), pristine);

    bytes = pristine;
    std::uint8_t* header = bytes.data() + at(flipped + 10);
    PLAY_MODULE::StoreU32(header + 40, 0x20202020);
    PLAY_MODULE::StoreU32(header + 44, PLAY_MODULE::Crc32(header, kvx::kChecksummedHeaderSize));
    m_errorTimes[Fixture::ReservedSet] = SecondsOf(records[flipped + 10]);
    ok = ok && WriteBytes(path(Fixture::ReservedSet), bytes);

    const auto recordsEnd = pristine.begin() + at(records.size() - 1) + std::ptrdiff_t(records.back().TotalSize());
    ok = ok && WriteBytes(path(Fixture::Exported), PLAY_MODULE_TEST::WithOwnFooter({pristine.begin() + at(cutFrom), recordsEnd}));
    return ok && MakeChangedFooters(pristine, SecondsOf(records.back()), std::size_t(at(cutFrom))) &&
           MakeOtherKinds(SecondsOf(records.front()));
}

bool CWatermarkFixtures::MakeChangedFooters(const std::vector<std::uint8_t>& pristine, long lastTime,
                                             std::size_t secondKey)
{
    using PLAY_MODULE_TEST::FooterEdit;
    const auto other = ReadBytes(m_paths[Fixture::Unsigned]);
    const std::pair<Fixture, FooterEdit> edits[] = {{Fixture::ForeignFooter, FooterEdit::FromOtherRecording},
                                                    {Fixture::FooterMoved, FooterEdit::PositionsMoved},
                                                    {Fixture::FooterTimes, FooterEdit::TimesMoved},
                                                    {Fixture::FooterMadeUp, FooterEdit::MadeUpTable},
                                                    {Fixture::FooterFirstLeftOut, FooterEdit::FirstLeftOut}};
    std::map<Fixture, std::vector<std::uint8_t>> changed;
    for (const auto& [fixture, edit] : edits)
        changed[fixture] = PLAY_MODULE_TEST::WithFooterEdit(pristine, edit, other);
    const std::int64_t hourEarlier = RecordsOf(pristine).front().header.timeMs - 3600000;
    changed[Fixture::FooterFrontClaimed] =
        PLAY_MODULE_TEST::WithClaimedFrontCut(pristine, 4096, 4096, {{hourEarlier, 0}, {hourEarlier + 2000, 2048}});
    changed[Fixture::FrontCutFooterKept] = {pristine.begin() + std::ptrdiff_t(secondKey), pristine.end()};
    bool ok = true;
    for (const auto& [fixture, bytes] : changed) {
        m_paths[fixture] = m_folder + "/" + NameFor(fixture);
        m_errorTimes[fixture] = lastTime;
        ok = ok && WriteBytes(m_paths[fixture], bytes);
    }
    return ok;
}

// Recordings that lack a watermark are reported at their start.
bool CWatermarkFixtures::MakeOtherKinds(long startTime)
{
    for (Fixture fixture : {Fixture::Unsigned, Fixture::OtherKey, Fixture::NoText, Fixture::Mp4, Fixture::TsJunk})
        m_errorTimes[fixture] = startTime;
    PLAY_MODULE_TEST::ContainerSampleOptions options;
    options.seconds = 2;
    options.width = 160;
    options.height = 120;
    m_paths[Fixture::Mp4] = m_folder + "/" + NameFor(Fixture::Mp4, ".mp4");
    m_paths[Fixture::TsJunk] = m_folder + "/" + NameFor(Fixture::TsJunk, ".ts");
    if (!PLAY_MODULE_TEST::MakeContainerSample(m_paths[Fixture::Mp4], PLAY_MODULE_TEST::ContainerKind::Mp4, options) ||
        !PLAY_MODULE_TEST::MakeContainerSample(m_paths[Fixture::TsJunk], PLAY_MODULE_TEST::ContainerKind::Ts, options))
        return false;
    auto ts = ReadBytes(m_paths[Fixture::TsJunk]);
    ts.insert(ts.begin(), 1000, std::uint8_t(0x5A));
    return WriteBytes(m_paths[Fixture::TsJunk], ts);
}

}  // namespace WATERMARK_TEST
