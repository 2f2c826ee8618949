#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Platform/PlayModule/Stream/IWatermarkCheckListener.h"

class CWaterMarkUILogic;
class CWatermarkTaskInfo;

// The worker half of the watermark check, on loop 4: opens one recording
// at a time, feeds it block by block to a stream decoder with watermark
// reporting on, and hands every report and answer to the UI logic on the
// GUI loop. It judges nothing itself.
class CWatermarkLogic : public PLAY_MODULE::IWatermarkCheckListener {
public:
    // Starts loop 4's thread unless a loop is registered under 4 already.
    explicit CWatermarkLogic(boost::weak_ptr<CWaterMarkUILogic> owner);
    ~CWatermarkLogic() override;
    CWatermarkLogic(const CWatermarkLogic&) = delete;
    CWatermarkLogic& operator=(const CWatermarkLogic&) = delete;

    void Task_InitWatermark(boost::shared_ptr<CWatermarkTaskInfo> task);
    // Feeds exactly one block; the next ones are asked for by the UI logic.
    // A block of a file already ended returns unanswered.
    void Task_Watermark(boost::shared_ptr<CWatermarkTaskInfo> task);
    void Task_StopWatermark(boost::shared_ptr<CWatermarkTaskInfo> task);

    void OnWatermarkCheckInfo(PLAY_MODULE::CPlaySdkWrapper* sender, const char* data, long time, long kind,
                              long reserved1, long reserved2, long result) override;

    // Any thread: ends the waits of the block being fed at once, and makes
    // queued blocks return unanswered until the next file is opened.
    void RequestStop() { m_stop = 1; }
    // How long a refused block or the final drain may wait for the decoder.
    void SetPatience(std::chrono::milliseconds patience) { m_patience = patience; }

private:
    enum class WaitResult { Done, Stopped, TimedOut };

    bool StartDecoder(CWatermarkTaskInfo& task);
    void TakeFileSize(CWatermarkTaskInfo& task);
    WaitResult OfferBlock(CWatermarkTaskInfo& task, std::uint32_t count);
    WaitResult WaitDrained(CWatermarkTaskInfo& task);
    WaitResult WaitUntil(const std::function<bool()>& done);
    static void EndStream(CWatermarkTaskInfo& task);
    void FailRead(const boost::shared_ptr<CWatermarkTaskInfo>& task);
    static void UpdatePercent(CWatermarkTaskInfo& task);
    // Fed to its end, failed, or never opened: no more blocks to feed.
    static bool IsEnded(const CWatermarkTaskInfo& task);
    void PostInitRet(const boost::shared_ptr<CWatermarkTaskInfo>& task, int opened, int line);
    void PostWatermarkRet(const boost::shared_ptr<CWatermarkTaskInfo>& task, int line);

    boost::weak_ptr<CWaterMarkUILogic> m_owner;
    std::atomic<int> m_stop{0};
    std::chrono::milliseconds m_patience{std::chrono::seconds(20)};
};
