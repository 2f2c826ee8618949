#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace WATERMARK_TEST {

// The recordings of the watermark tests, one channel each of recorder
// "Cam07", written by kvxwrite with the watermark text "CAM-7".
enum class Fixture {
    Pristine = 1,  // as written
    Flipped,       // one payload byte of a video record changed
    Removed,       // one video record left out
    ChangedText,   // the watermark text bytes changed
    OtherKey,      // signed with a key of its own
    Unsigned,      // written with --unsigned
    Cut,           // the bytes from one key frame to the next, as a raw export
    Mp4,           // an ".mp4" named by the rule
    Empty,         // no bytes at all
    Deleted,       // a copy of the pristine file, to be deleted after listing
    NoText,        // signed, but with no watermark text at all
    JunkBetween,   // 4 KiB of bytes that are no records before the second key frame
    JunkBefore,    // 8 KiB of them before the first record
    JunkAfter,     // 20 of them after the key-frame footer
    ReservedSet,   // reserved header bytes of a record set, its header checksum redone
    ForeignFooter, // the key-frame footer of the Unsigned fixture, made to fit
    FooterMoved,   // every key-frame position of the footer 48 bytes further
    FooterTimes,   // the footer's first and latest times moved by an hour
    FooterMadeUp,  // a footer naming ten made-up key frames
    Exported,      // from one key frame to the end, with its own footer, as the export writes it
    TsJunk,        // a ".ts" named by the rule, with bytes that are no packets in front
    FooterFrontClaimed,  // a footer claiming a front cut: moved, with key frames an hour earlier before them
    FrontCutFooterKept,  // from the second key frame to the end, the whole file's footer kept
    FooterFirstLeftOut,  // a footer that leaves out the first key frame
};

class CWatermarkFixtures {
public:
    // Writes every fixture into folder; Ok() tells whether all were made.
    explicit CWatermarkFixtures(const std::string& folder);

    bool Ok() const { return m_ok; }
    const std::string& Path(Fixture fixture) const { return m_paths.at(fixture); }
    std::string FileName(Fixture fixture) const;
    // Seconds since 1970 of the first error: of the changed record (Flipped,
    // ChangedText, ReservedSet), of the record after the gap (Removed), of
    // the record beside the junk, of the last record (footers), or of the
    // recording's start (what it lacks).
    long ErrorTime(Fixture fixture) const { return m_errorTimes.at(fixture); }

    // Runs kvxwrite with the arguments; the path it wrote, or empty.
    static std::string RunKvxWrite(const std::string& arguments);

private:
    bool MakeWritten();
    bool MakeCopies();
    bool MakeChangedFooters(const std::vector<std::uint8_t>& pristine, long lastTime, std::size_t secondKey);
    bool MakeOtherKinds(long startTime);
    std::string NameFor(Fixture fixture, const std::string& extension = ".kvx") const;

    std::string m_folder;
    std::string m_pristineName;
    std::map<Fixture, std::string> m_paths;
    std::map<Fixture, long> m_errorTimes;
    bool m_ok = false;
};

}  // namespace WATERMARK_TEST
