#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecord.h"

namespace PLAY_MODULE {

// One watermark report (see IWatermarkCheckListener).
struct WatermarkReport {
    std::string text;
    long time = 0;  // seconds since 1970
    long kind = 0;
    long result = 0;
};

// Judges the records of a stream: a text report for every watermark record,
// an error report for every changed, missing, reordered or unsigned part.
// Records are covered by the signature that follows them, before the next
// key frame; a group that reaches a key frame or the end unsigned fails.
// Bytes that are no records fail as a changed record beside them: the record
// after them, or the last one for bytes at the end (unless they are the
// key-frame footer of the records checked).
// Until a signature of our key holds, reports are held back: a stream that
// holds none gets one report of what it lacks (no signature, or only other
// keys') at its first record's time instead of one per unsigned group; one
// without any watermark text gets one too.
class CWatermarkChecker {
public:
    explicit CWatermarkChecker(const KvxPublicKey& key = RecorderPublicKey());

    // Records come in stream order, with their stream offsets.
    void Check(const KvxRecord& record, std::vector<WatermarkReport>& out);
    // The input ended at inputEnd (0: with the last record): judges what is
    // still unsigned and the bytes after the last record (trailing: those
    // bytes, when still held), reports what the stream lacked, and starts a
    // new chain.
    void Finish(std::vector<WatermarkReport>& out, std::uint64_t inputEnd = 0,
                std::optional<std::span<const std::uint8_t>> trailing = std::nullopt);
    void Reset();
    // Stream offset of the end of the last record checked.
    std::uint64_t RecordsEnd() const { return m_recordsEnd; }
    // Bytes of the footer that would name the records checked (0: none
    // may follow them); longer trailing bytes are no footer of theirs.
    std::uint64_t FooterSize() const { return m_footer.EncodedSize(); }

private:
    void Emit(const WatermarkReport& report, std::vector<WatermarkReport>& out);
    void FlushHeld(std::vector<WatermarkReport>& out);
    void NoteSignature(const KvxRecord& record, CKvxChainVerifier::Result verdict);
    void ReportUnsigned(std::vector<WatermarkReport>& out);
    void ReportTrailing(std::vector<WatermarkReport>& out, std::uint64_t inputEnd,
                        std::optional<std::span<const std::uint8_t>> trailing);
    void ReportMissingWatermark(std::vector<WatermarkReport>& out);
    long MissingWatermark(bool& dropUnsigned) const;
    static long ResultOf(CKvxChainVerifier::Result result);

    CKvxChainVerifier m_verifier;
    CKvxIndexFooter m_footer;  // what a footer of the records checked names
    std::vector<WatermarkReport> m_held;
    bool m_anyRecord = false;
    bool m_unsigned = false;
    bool m_anySignature = false;
    bool m_ourKeyNamed = false;
    bool m_ourSignatureHeld = false;
    bool m_anyText = false;
    std::int64_t m_unsignedSinceMs = 0;
    std::uint64_t m_recordsEnd = 0;
    std::int64_t m_firstTimeMs = 0;
    std::int64_t m_lastTimeMs = 0;
};

}  // namespace PLAY_MODULE
