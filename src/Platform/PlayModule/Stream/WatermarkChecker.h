#pragma once

#include <cstdint>
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
class CWatermarkChecker {
public:
    explicit CWatermarkChecker(const KvxPublicKey& key = RecorderPublicKey());

    void Check(const KvxRecord& record, std::vector<WatermarkReport>& out);
    // The input ended: judges what is still unsigned, reports a stream with
    // no records at all, and starts a new chain.
    void Finish(std::vector<WatermarkReport>& out);
    void Reset();

private:
    void ReportUnsigned(std::vector<WatermarkReport>& out);
    static long ResultOf(CKvxChainVerifier::Result result);

    CKvxChainVerifier m_verifier;
    bool m_anyRecord = false;
    bool m_unsigned = false;
    std::int64_t m_unsignedSinceMs = 0;
};

}  // namespace PLAY_MODULE
