#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxChainVerifier.h"
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
// writer's key-frame footer).
class CWatermarkChecker {
public:
    explicit CWatermarkChecker(const KvxPublicKey& key = RecorderPublicKey());

    // Records come in stream order, with their stream offsets.
    void Check(const KvxRecord& record, std::vector<WatermarkReport>& out);
    // The input ended at inputEnd (0: with the last record): judges what is
    // still unsigned and the bytes after the last record (trailing: those
    // bytes, when still held), reports a stream with no records at all, and
    // starts a new chain.
    void Finish(std::vector<WatermarkReport>& out, std::uint64_t inputEnd = 0,
                std::optional<std::span<const std::uint8_t>> trailing = std::nullopt);
    void Reset();
    // Stream offset of the end of the last record checked.
    std::uint64_t RecordsEnd() const { return m_recordsEnd; }

private:
    void ReportUnsigned(std::vector<WatermarkReport>& out);
    void ReportTrailing(std::vector<WatermarkReport>& out, std::uint64_t inputEnd,
                        std::optional<std::span<const std::uint8_t>> trailing);
    static bool IsFooter(std::span<const std::uint8_t> bytes);
    static long ResultOf(CKvxChainVerifier::Result result);

    CKvxChainVerifier m_verifier;
    bool m_anyRecord = false;
    bool m_unsigned = false;
    std::int64_t m_unsignedSinceMs = 0;
    std::uint64_t m_recordsEnd = 0;
    std::int64_t m_lastTimeMs = 0;
};

}  // namespace PLAY_MODULE
