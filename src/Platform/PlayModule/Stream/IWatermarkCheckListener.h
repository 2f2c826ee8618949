#pragma once

#include <climits>

namespace PLAY_MODULE {

class CPlaySdkWrapper;

// Kinds and results of watermark reports.
inline constexpr long kWatermarkKindText = 0;
inline constexpr long kWatermarkKindRecord = 1;
inline constexpr long kWatermarkResultOk = 1;
inline constexpr long kWatermarkResultSignature = 2;     // signature fails or is missing
inline constexpr long kWatermarkResultData = 3;          // a record's digest does not match
inline constexpr long kWatermarkResultFrameLoss = 4;     // records missing or reordered
inline constexpr long kWatermarkResultNoWatermark = 5;   // nothing signed, or no watermark text, in the stream
inline constexpr long kWatermarkResultUnknownKey = 6;    // signed, but only with keys not ours
// The time of a report about a stream that held no record time.
inline constexpr long kWatermarkTimeUnknown = LONG_MIN;

// Receives the stream's watermark reports, on the library's thread.
class IWatermarkCheckListener {
public:
    virtual ~IWatermarkCheckListener() = default;
    // data: UTF-8 watermark text for kind 0, else empty; time: seconds since
    // 1970 of the record concerned (of the first record for a report about
    // the whole stream; kWatermarkTimeUnknown when it held none).
    virtual void OnWatermarkCheckInfo(CPlaySdkWrapper* sender, const char* data, long time,
                                      long kind, long reserved1, long reserved2, long result) = 0;
};

}  // namespace PLAY_MODULE
