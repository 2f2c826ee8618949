#include "Platform/PlayModule/Stream/WatermarkChecker.h"

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Stream/IWatermarkCheckListener.h"

namespace PLAY_MODULE {

namespace {

long SecondsOf(std::int64_t timeMs)
{
    return long(timeMs >= 0 ? timeMs / 1000 : (timeMs - 999) / 1000);
}

}  // namespace

CWatermarkChecker::CWatermarkChecker(const KvxPublicKey& key) : m_verifier(key) {}

void CWatermarkChecker::Reset()
{
    m_verifier.Reset();
    m_anyRecord = false;
    m_unsigned = false;
    m_unsignedSinceMs = 0;
    m_recordsEnd = 0;
    m_lastTimeMs = 0;
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

void CWatermarkChecker::ReportUnsigned(std::vector<WatermarkReport>& out)
{
    if (!m_unsigned)
        return;
    out.push_back({{}, SecondsOf(m_unsignedSinceMs), kWatermarkKindRecord, kWatermarkResultSignature});
    m_unsigned = false;
}

void CWatermarkChecker::Check(const KvxRecord& record, std::vector<WatermarkReport>& out)
{
    if (record.header.IsKeyFrame())
        ReportUnsigned(out);
    // A recording starts with a key frame: a stream that starts elsewhere
    // lost its beginning, and the first record's chain cannot be checked.
    const bool startsMidGroup = !m_anyRecord && !record.header.IsKeyFrame();
    const bool strayBefore = record.offset != m_recordsEnd;
    m_anyRecord = true;
    m_recordsEnd = record.offset + record.TotalSize();
    m_lastTimeMs = record.header.timeMs;
    long result = ResultOf(m_verifier.Check(record));
    if (startsMidGroup)
        result = kWatermarkResultFrameLoss;
    else if (strayBefore && result == kWatermarkResultOk)
        result = kWatermarkResultData;
    const long time = SecondsOf(record.header.timeMs);
    if (record.header.kind == kvx::RecordKind::Watermark) {
        const auto* text = reinterpret_cast<const char*>(record.payload.data());
        out.push_back({std::string(text, record.payload.size()), time, kWatermarkKindText, result});
    } else if (result != kWatermarkResultOk) {
        out.push_back({{}, time, kWatermarkKindRecord, result});
    }
    if (record.header.kind == kvx::RecordKind::Signature) {
        m_unsigned = false;
    } else if (!m_unsigned) {
        m_unsigned = true;
        m_unsignedSinceMs = record.header.timeMs;
    }
}

bool CWatermarkChecker::IsFooter(std::span<const std::uint8_t> bytes)
{
    using Footer = CKvxIndexFooter;
    if (bytes.size() < Footer::kTrailerSize)
        return false;
    // Judged on its own: a footer still names the positions of the file it
    // was written for after whole groups were trimmed off the front.
    const auto last = bytes.last(Footer::kTrailerSize);
    const std::uint64_t tableOffset = LoadU64(last.data());
    const auto trailer = Footer::DecodeTrailer(last, tableOffset + bytes.size());
    return trailer && Footer::DecodeTable(*trailer, bytes.first(bytes.size() - last.size()), last);
}

void CWatermarkChecker::ReportTrailing(std::vector<WatermarkReport>& out, std::uint64_t inputEnd,
                                       std::optional<std::span<const std::uint8_t>> trailing)
{
    if (!m_anyRecord || inputEnd <= m_recordsEnd)
        return;
    const bool footer = trailing && trailing->size() == inputEnd - m_recordsEnd && IsFooter(*trailing);
    if (!footer)
        out.push_back({{}, SecondsOf(m_lastTimeMs), kWatermarkKindRecord, kWatermarkResultData});
}

void CWatermarkChecker::Finish(std::vector<WatermarkReport>& out, std::uint64_t inputEnd,
                               std::optional<std::span<const std::uint8_t>> trailing)
{
    if (!m_anyRecord)
        out.push_back({{}, 0, kWatermarkKindRecord, kWatermarkResultSignature});
    ReportUnsigned(out);
    ReportTrailing(out, inputEnd, trailing);
    Reset();
}

}  // namespace PLAY_MODULE
