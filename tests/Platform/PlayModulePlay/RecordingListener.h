#pragma once

#include "Base/SFEvent.h"
#include "Platform/PlayModule/IPlayModuleListener.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace PlayModuleTest {

struct ShownFrame {
    int kind = 0;
    int width = 0;
    int height = 0;
    std::int64_t stampMs = 0;
    std::int64_t absMs = 0;   // from the date fields and milliseconds
    int key = 0;
    std::uint8_t firstChroma = 0;
    std::uint8_t secondChroma = 0;
    std::uint8_t numberBlock = 0;
    int videoBlocksRead = 0;  // video packets read when it was shown
};

// Records every callback; waits are bounded.
class RecordingListener : public PLAY_MODULE::IPlayModuleListener {
public:
    void OnFileRefFinished(PLAY_MODULE::CPlayModule*, int result) override;
    void OnFileEnd(PLAY_MODULE::CPlayModule*) override;
    void OnStreamData(PLAY_MODULE::CPlayModule*, unsigned char*, int length,
                      PLAY_MODULE::PM_FRAME_INFO* info, int) override;
    void OnFrameVisible(PLAY_MODULE::CPlayModule* module, int kind, unsigned char* data, int size,
                        PLAY_MODULE::PM_FRAME_INFO* info) override;
    void OnFileTimeDone(PLAY_MODULE::CPlayModule*, unsigned start, unsigned end) override;
    int OnOverlayData(PLAY_MODULE::CPlayModule*, unsigned char*, int kind, int length, int,
                      int) override;

    std::vector<ShownFrame> Frames() const;
    ShownFrame LastFrame() const;
    std::size_t FrameCount() const;
    void ClearFrames();
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool WaitForEnd(int ends = 1, std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Waits until a frame of that time was shown, at or after frame number `from`.
    bool WaitForFrameAt(std::int64_t stampMs, std::size_t from,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits until no frame has come for `quiet` (a frame already on its way
    // when play was paused still arrives); false when frames keep coming.
    bool WaitUntilQuiet(std::chrono::milliseconds quiet = std::chrono::milliseconds(100),
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool WaitFor(const std::function<bool()>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20));

    std::atomic<int> fileEnds{0};
    std::atomic<bool> lastEndBackward{false};
    std::atomic<int> refFinished{0};
    std::atomic<int> refResult{-1};
    std::atomic<int> streamBlocks{0};
    std::atomic<int> videoBlocks{0};
    std::atomic<std::int64_t> streamBytes{0};
    std::atomic<int> overlayBlocks{0};
    std::atomic<int> timeReports{0};
    std::atomic<unsigned> reportedStart{0};
    std::atomic<unsigned> reportedEnd{0};
    // When set, a frame callback holds its thread until `drawn` is set or
    // the module stops, as a play object waiting for the GUI does.
    std::atomic<bool> blockFrames{false};
    SF_SOFT_BASE::CSFEvent drawn;
    std::atomic<int> releases{0};
    std::atomic<bool> insideFrame{false};
    // Copy of the last shown picture's bytes.
    std::vector<std::uint8_t> lastPicture;
    // Called at a file's end on the module's thread (set before play).
    std::function<void(PLAY_MODULE::CPlayModule*)> onFileEnd;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<ShownFrame> m_frames;
};

}  // namespace PlayModuleTest
