#pragma once

#include <boost/shared_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "Platform/PlayModule/Stream/IAVIConvertListener.h"
#include "Platform/PlayModule/PlayModuleTypes.h"

namespace PLAY_MODULE {
class CPlaySdkWrapper;
}

// Local AVI recording of a playing file: the file's raw stream blocks are
// fed into a stream-mode converter that writes AVI. Start and Stop run on
// the play loop, InputData on the library's stream thread, MakeFileName on
// the converter's thread.
class AVIRecorder : public PLAY_MODULE::IAVIConvertListener {
public:
    // A recording that failed (a write at once, or the completion at the
    // stop): where its part was kept (empty: nothing was) and its length.
    using FailureReport = std::function<void(const std::string& keptPath, std::int64_t keptMs)>;

    AVIRecorder();
    ~AVIRecorder() override;
    AVIRecorder(const AVIRecorder&) = delete;
    AVIRecorder& operator=(const AVIRecorder&) = delete;

    // Nonzero when the conversion into path started.
    int Start(const char* path);
    // Feeds one stream block; always 1. A block the converter keeps refusing
    // is given up after a while or as soon as the recording stops.
    int InputData(unsigned char* data, int length, const PLAY_MODULE::PM_FRAME_INFO& info);
    // Waits (bounded) until the fed data are written, then ends the file and
    // names it from the time of its first block; 0 when it failed.
    int Stop();
    // Called once per failed recording, on the converter's or the stopping
    // thread; the part kept is named as the file, with "_incomplete".
    void SetFailureReport(FailureReport report);
    bool IsRunning() const { return m_running; }

    // Name of a further AVI file: the clip path's folder and tag around the
    // time of the stream block fed last. name: a buffer of
    // PLAY_MODULE::kAviNameBufferSize bytes.
    virtual void MakeFileName(unsigned int part, int* goOn, char* name);
    void OnAVINextFile(unsigned int part, int* goOn, char* name) override;
    void OnAVIConvertFailed(const char* keptPath, std::int64_t keptMs) override;

    // Files are split once they pass this size (tests use small ones).
    void SetSplitSize(std::uint64_t bytes);

    // The parts of a clip path the file names keep (empty when missing).
    static std::string FolderOf(const std::string& path);
    static std::string TagOf(const std::string& path);

protected:
    // Offers one block to the converter; 0 while its input is full.
    virtual int FeedConverter(unsigned char* data, unsigned long length);

private:
    struct FrameTime {
        std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    };
    static std::string NameAt(const std::string& path, const FrameTime& time);
    void NameFirstFile();
    // The kept part under "<name of its first frame>_incomplete.avi".
    std::string NameKeptPart(const std::string& keptPath);
    void ReportFailure(const std::string& keptPath, std::int64_t keptMs);

    boost::shared_ptr<PLAY_MODULE::CPlaySdkWrapper> m_converter;
    mutable std::mutex m_mutex;  // path and frame time
    std::string m_path;
    FrameTime m_frameTime;
    std::optional<FrameTime> m_firstFrameTime;
    std::atomic<int> m_running{0};
    FailureReport m_failureReport;
    std::atomic<bool> m_failureTold{false};
};
