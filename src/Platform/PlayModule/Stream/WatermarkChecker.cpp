#include "Platform/PlayModule/Stream/WatermarkChecker.h"

#include "Platform/PlayModule/Stream/IWatermarkCheckListener.h"

namespace PLAY_MODULE {

namespace {

// Reports held back at most at once; more go out as they come.
constexpr std::size_t kMaxHeld = 4096;

long SecondsOf(std::int64_t timeMs)
{
    return long(timeMs >= 0 ? timeMs / 1000 : (timeMs - 999) / 1000);
}

bool IsSignatureFailure(const WatermarkReport& report)
{
    return report.kind == kWatermarkKindRecord &&
           (report.result == kWatermarkResultSignature || report.result == kWatermarkResultUnknownKey);
}

}  // namespace

CWatermarkChecker::CWatermarkChecker(const KvxPublicKey& key) : m_verifier(key) {}

void CWatermarkChecker::Reset()
{
    m_verifier.Reset();
    m_footer = CKvxIndexFooter{};
    m_held.clear();
    m_anyRecord = m_unsigned = m_anySignature = m_ourKeyNamed = m_ourSignatureHeld = m_anyText = false;
    m_unsignedSinceMs = 0;
    m_recordsEnd = 0;
    m_firstTimeMs = m_lastTimeMs = 0;
}

long CWatermarkChecker::ResultOf(CKvxChainVerifier::Result result)
{
    using Result = CKvxChainVerifier::Result;
    switch (result) {
    case Result::DigestMismatch: return kWatermarkResultData;
    case Result::ChainBreak: return kWatermarkResultFrameLoss;
    case Result::SignatureInvalid: return kWatermarkResultSignature;
    case Result::Ok:
    case Result::SignatureValid: break;
    }
    return kWatermarkResultOk;
}

void CWatermarkChecker::Emit(const WatermarkReport& report, std::vector<WatermarkReport>& out)
{
    if (!m_ourSignatureHeld && m_held.size() < kMaxHeld) {
        m_held.push_back(report);
        return;
    }
    FlushHeld(out);
    out.push_back(report);
}

void CWatermarkChecker::FlushHeld(std::vector<WatermarkReport>& out)
{
    out.insert(out.end(), m_held.begin(), m_held.end());
    m_held.clear();
}

void CWatermarkChecker::ReportUnsigned(std::vector<WatermarkReport>& out)
{
    if (!m_unsigned)
        return;
    Emit({{}, SecondsOf(m_unsignedSinceMs), kWatermarkKindRecord, kWatermarkResultSignature}, out);
    m_unsigned = false;
}

void CWatermarkChecker::NoteSignature(const KvxRecord& record, CKvxChainVerifier::Result verdict)
{
    m_anySignature = true;
    m_ourKeyNamed = m_ourKeyNamed || !m_verifier.SignedByAnotherKey(record);
    m_ourSignatureHeld = m_ourSignatureHeld || verdict == CKvxChainVerifier::Result::SignatureValid;
}

void CWatermarkChecker::Check(const KvxRecord& record, std::vector<WatermarkReport>& out)
{
    if (record.header.IsKeyFrame())
        ReportUnsigned(out);
    // A recording starts with a key frame: a stream that starts elsewhere
    // lost its beginning, and the first record's chain cannot be checked.
    const bool startsMidGroup = !m_anyRecord && !record.header.IsKeyFrame();
    const bool strayBefore = record.offset != m_recordsEnd;
    m_firstTimeMs = m_anyRecord ? m_firstTimeMs : record.header.timeMs;
    m_anyRecord = true;
    m_recordsEnd = record.offset + record.TotalSize();
    m_lastTimeMs = record.header.timeMs;
    m_footer.Note(record.header, record.offset);
    const auto verdict = m_verifier.Check(record);
    long result = ResultOf(verdict);
    if (startsMidGroup)
        result = kWatermarkResultFrameLoss;
    else if (strayBefore && result == kWatermarkResultOk)
        result = kWatermarkResultData;
    const bool signature = record.header.kind == kvx::RecordKind::Signature;
    if (signature) {
        NoteSignature(record, verdict);
        if (result == kWatermarkResultSignature && m_verifier.SignedByAnotherKey(record))
            result = kWatermarkResultUnknownKey;
    }
    const long time = SecondsOf(record.header.timeMs);
    if (record.header.kind == kvx::RecordKind::Watermark) {
        m_anyText = true;
        const auto* text = reinterpret_cast<const char*>(record.payload.data());
        Emit({std::string(text, record.payload.size()), time, kWatermarkKindText, result}, out);
    } else if (result != kWatermarkResultOk) {
        Emit({{}, time, kWatermarkKindRecord, result}, out);
    }
    if (m_ourSignatureHeld)
        FlushHeld(out);
    if (signature) {
        m_unsigned = false;
    } else if (!m_unsigned) {
        m_unsigned = true;
        m_unsignedSinceMs = record.header.timeMs;
    }
}

void CWatermarkChecker::ReportTrailing(std::vector<WatermarkReport>& out, std::uint64_t inputEnd,
                                       std::optional<std::span<const std::uint8_t>> trailing)
{
    if (!m_anyRecord || inputEnd <= m_recordsEnd)
        return;
    const bool whole = trailing && trailing->size() == inputEnd - m_recordsEnd;
    const auto footer = whole ? CKvxIndexFooter::FromBytes(*trailing) : std::nullopt;
    if (!footer || !m_footer.Describes(*footer))
        Emit({{}, SecondsOf(m_lastTimeMs), kWatermarkKindRecord, kWatermarkResultData}, out);
}

// What the stream lacked, if anything; dropUnsigned: the held reports of
// unsigned groups and other keys' signatures say no more than that.
long CWatermarkChecker::MissingWatermark(bool& dropUnsigned) const
{
    dropUnsigned = !m_ourSignatureHeld && !m_ourKeyNamed;
    if (!m_anyRecord || (dropUnsigned && !m_anySignature))
        return kWatermarkResultNoWatermark;
    if (dropUnsigned)
        return kWatermarkResultUnknownKey;
    return m_anyText ? kWatermarkResultOk : kWatermarkResultNoWatermark;
}

void CWatermarkChecker::ReportMissingWatermark(std::vector<WatermarkReport>& out)
{
    bool dropUnsigned = false;
    const long missing = MissingWatermark(dropUnsigned);
    if (missing != kWatermarkResultOk) {
        const long time = m_anyRecord ? SecondsOf(m_firstTimeMs) : kWatermarkTimeUnknown;
        out.push_back({{}, time, kWatermarkKindRecord, missing});
    }
    for (const WatermarkReport& report : m_held)
        if (!dropUnsigned || !IsSignatureFailure(report))
            out.push_back(report);
    m_held.clear();
}

void CWatermarkChecker::Finish(std::vector<WatermarkReport>& out, std::uint64_t inputEnd,
                               std::optional<std::span<const std::uint8_t>> trailing)
{
    ReportUnsigned(out);
    ReportTrailing(out, inputEnd, trailing);
    ReportMissingWatermark(out);
    Reset();
}

}  // namespace PLAY_MODULE
