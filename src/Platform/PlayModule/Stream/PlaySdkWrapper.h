#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "Platform/PlayModule/Stream/AviConverter.h"
#include "Platform/PlayModule/Stream/IAVIConvertListener.h"
#include "Platform/PlayModule/Output/IImageSnapshotListener.h"
#include "Platform/PlayModule/Stream/IWatermarkCheckListener.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/KvxStreamProbe.h"
#include "Platform/PlayModule/Stream/KvxStreamUnpacker.h"
#include "Platform/PlayModule/Output/PlanarPicture.h"
#include "Platform/PlayModule/PlayModuleTypes.h"
#include "Platform/PlayModule/Output/SnapshotDecoder.h"
#include "Platform/PlayModule/Stream/StreamInputQueue.h"
#include "Platform/PlayModule/Stream/StreamTail.h"
#include "Platform/PlayModule/Stream/WatermarkChecker.h"

namespace PLAY_MODULE {

// The stream player: recording bytes fed block by block (a ".kvx" stream,
// a key-frame-to-key-frame range of one, or another container) are parsed
// and, as asked, converted to AVI, decoded to pictures for OnSnapshot, and
// checked for their watermark. The work runs on one thread of the player,
// started by Play; listener calls come from there and hold no lock. A
// listener may call the player's operations, but must not destroy it.
class CPlaySdkWrapper {
public:
    static constexpr unsigned long kStreamMode = 1;
    static constexpr unsigned long kBufferOutstanding = 3;

    CPlaySdkWrapper();
    virtual ~CPlaySdkWrapper();
    CPlaySdkWrapper(const CPlaySdkWrapper&) = delete;
    CPlaySdkWrapper& operator=(const CPlaySdkWrapper&) = delete;

    void SetImageSnapShotListener(IImageSnapshotListener* listener);
    void SetAVIConvertListener(IAVIConvertListener* listener);
    void SetWatermarkListener(IWatermarkCheckListener* listener);

    int SetStreamOpenMode(unsigned long mode);
    // bufferSize: bytes that may wait in the player's input.
    int OpenStream(unsigned long bufferSize);
    int CloseStream();
    // 0 while the input is full: offer the same bytes again later.
    int InputData(unsigned char* data, unsigned long size);
    // Kind 3: non-zero while fed data are not yet fully handled.
    unsigned long GetBufferValue(unsigned long kind);
    // Bytes waiting in the input.
    unsigned long GetSourceBufferRemain();

    // Starts the stream's work; no window is supported, the stream is
    // handled as fast as the machine allows. 0 from inside a callback of a
    // stopped player (call it once the callback has returned).
    int Play(void* window);
    int Stop();
    int SetSpeed(float speed);

    int StartAVIConvert(char* path);
    // Completes the AVI file; 0 when it could not be written.
    int StopAVIConvert();
    // The last StopAVIConvert gave 0 only because no picture that decodes came.
    bool AVIConvertFoundNothing() const;
    // Files are split at the next key frame once this size is passed.
    void SetAVISplitSize(std::uint64_t bytes);
    // 1: the AVI names given are new empty files the caller holds; they are
    // written in place and left to the caller to sync and name.
    void SetAVIWriteInPlace(int inPlace);

    // 1: OnSnapshot for every decoded frame; 0: no more OnSnapshot once
    // this returns.
    int EnableDisplayCallBack(int enable);
    // Local time of the frame in OnSnapshot (or of the last one handled).
    int GetPlayedAbsoluteTime(__DATETIME_INFO* time);
    // Pictures never replace a file: a name in use gives the next free one,
    // "<stem>(n)<extension>", and the result 2 (1: written under path).
    int ConvertToJpegFile(char* frame, long width, long height, int format, int quality, char* path);
    int ConvertToBmpFile(char* frame, long size, long width, long height, long format, char* path);

    int EnableWaterMarkCallBackEx();

private:
    enum class InputKind { Unknown, Kvx, Container };

    void Run();
    bool OnWorkerThread() const;
    void Consume(std::vector<std::uint8_t>& chunk);
    void ParseRecords();
    void HandleRecord(const KvxRecord& record);
    void HandlePacket(const StreamPacket& packet);
    void RunContainer(bool inputEnded);
    void TakeKvxBytes(std::vector<std::uint8_t>& bytes);
    void TakeRecordBytes(std::span<const std::uint8_t> bytes);
    void EndWorker();
    bool PullForDemuxer(std::vector<std::uint8_t>& chunk);
    void FinishInput();
    void ResetPipeline();
    void DeliverPicture(const PlanarPicture& picture);
    void Report(const std::vector<WatermarkReport>& reports);
    bool NextAviName(unsigned part, std::string& name);

    CStreamInputQueue m_queue;
    std::thread m_worker;
    std::atomic<std::thread::id> m_workerId{};
    std::atomic<bool> m_stopSeen{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_displayWanted{false};
    std::atomic<float> m_speed{1.0f};

    std::atomic<IImageSnapshotListener*> m_snapshotListener{nullptr};
    std::atomic<IAVIConvertListener*> m_aviListener{nullptr};
    std::atomic<IWatermarkCheckListener*> m_watermarkListener{nullptr};
    std::atomic<bool> m_watermarkEnabled{false};

    // Worker-only state.
    InputKind m_inputKind = InputKind::Unknown;
    std::vector<std::uint8_t> m_head;
    CKvxStreamProbe m_probe;
    CKvxRecordParser m_parser;
    CStreamTail m_tail;
    CKvxStreamUnpacker m_unpacker;
    CSnapshotDecoder m_decoder;
    CWatermarkChecker m_checker;
    std::vector<WatermarkReport> m_reports;
    bool m_finishPending = false;
    bool m_decoding = false;

    CAviConverter m_avi;
    std::atomic<std::int64_t> m_playedTimeMs{INT64_MIN};

    std::mutex m_displayMutex;
    std::condition_variable m_displayIdle;
    bool m_displayEnabled = false;
    bool m_inSnapshot = false;
};

}  // namespace PLAY_MODULE
