#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Base/HeldTemporary.h"
#include "Base/SFFile.h"
#include "Export/ExportTarget.h"
#include "Export/KvxCutPoint.h"
#include "Export/SnapshotQueue.h"
#include "Platform/PlayModule/Source/MpegCutEdges.h"
#include "Platform/PlayModule/Stream/IAVIConvertListener.h"
#include "Platform/PlayModule/Output/IImageSnapshotListener.h"

namespace PLAY_MODULE {
class CContainerRangeReader;
class CPlaySdkWrapper;
}

class IExportObjectListener;

// The export engine: turns a list of jobs into AVI clips, raw copies or
// picture series. Runs on the export loop as a chain of self-posted tasks,
// one 1 MiB step each, so a stop posted to the loop acts between two steps.
// Clips are written under a temporary name, synced and renamed into place
// when they are complete; the whole part of a clip cut short by a stop or a
// failure is kept under a name of its own ("<name>_incomplete<extension>",
// numbered when taken), so it never replaces a file. Nor does a complete
// clip or a picture: one whose name is taken gets the next free name.
class ExportObject : public PLAY_MODULE::IImageSnapshotListener,
                     public PLAY_MODULE::IAVIConvertListener,
                     public boost::enable_shared_from_this<ExportObject> {
public:
    static constexpr std::uint32_t kBlockSize = 1048576;
    static constexpr unsigned long kStreamBufferSize = 0x100000;
    // Free bytes on the volume of a path.
    using FreeSpaceQuery = std::function<std::uint64_t(const std::string& path)>;

    ExportObject();
    ~ExportObject() override;
    ExportObject(const ExportObject&) = delete;
    ExportObject& operator=(const ExportObject&) = delete;

    void SetListener(const boost::shared_ptr<IExportObjectListener>& listener);
    void SetFreeSpaceQuery(FreeSpaceQuery query);
    void SetAVISplitSize(std::uint64_t bytes);
    // Longest drain of the library's buffers after a job's last block.
    void SetDrainLimit(std::chrono::milliseconds limit) { m_drainLimit = limit; }

    void AddFile(int type, const std::string& srcPath, const std::string& dstPath,
                 std::uint64_t startOffset, std::uint64_t endOffset, int snapshotInterval,
                 unsigned startTime, unsigned endTime, unsigned fileStartTime);
    void ClearFiles();
    void Export();
    void StopConvert();

    void Task_ExportFile();
    void Task_InputData();
    void Task_Repeat(unsigned int count);
    void Task_WriteData();
    void Task_WaitInputDataFinish();
    void Task_Stop();
    void Task_SendExportFileEndMsg();
    void Task_SendExportFileStopMsg();
    void Task_SendExportFileFailedMsg(int code);

    void OnSnapshot(char* frame, long d1, long d2, long d3, long timeStamp, long d4) override;
    void OnAVINextFile(unsigned int part, int* goOn, char* name) override;

private:
    bool StartJob(const ExportTarget& job);
    bool SpanPlays(const ExportTarget& job) const;
    bool StartRawCopy(const ExportTarget& job);
    bool StartAvi(const ExportTarget& job);
    bool StartSnapshots(const ExportTarget& job);
    bool OpenSource(const ExportTarget& job);
    void CloseSource();
    std::uint32_t ReadBlock();
    void Offer(std::uint32_t count);
    void CountBlock(std::uint64_t count);
    bool Drained();
    // Closes the current job's output; cut: the job did not reach its end.
    bool CloseOutput(bool cut);
    bool CloseRawCopy(bool cut);
    bool CloseAvi(bool cut);
    bool CloseSnapshots();
    // Keeps a clip cut short (or removes it when empty) and reports which.
    void KeepCut(const std::string& temporary, const std::string& target);
    bool Place(const std::string& written, const std::string& free, const std::string& target);
    bool AppendFooter(std::uint64_t keep);
    void FailFeeding();
    bool WritePicture(CSnapshotQueue::Picture& picture);
    void OnPictureFailed();
    void ReportProgress();
    void ResetCurrent();
    void EndCut();
    void Post(void (ExportObject::*task)(), const char* name);
    template <class Arg>
    void PostWith(void (ExportObject::*task)(Arg), const char* name, Arg value);
    template <class Method, class... Args>
    void Report(Method method, const char* name, Args... args);

    std::uint64_t totalBytes = 0;
    std::uint64_t doneBytes = 0;
    std::uint64_t remainingBytes = 0;
    std::uint32_t snapshotInterval = 0;
    std::uint32_t imageFormat = 3;
    std::uint32_t lastSecond = 0;
    std::uint32_t elapsedSeconds = 0;
    std::atomic<std::uint32_t> firstSnapshotPending{1};
    std::uint32_t aviPartCounter = 0;
    std::atomic<std::uint32_t> running{0};
    std::atomic<std::uint32_t> failed{0};
    boost::shared_ptr<ExportTarget> currentJob;
    std::vector<std::uint8_t> block;
    boost::shared_ptr<SF_SOFT_BASE::CSFFile> source;
    boost::shared_ptr<SF_SOFT_BASE::CSFFile> destination;
    std::vector<boost::shared_ptr<ExportTarget>> jobs;
    boost::shared_ptr<PLAY_MODULE::CPlaySdkWrapper> sdk;
    boost::weak_ptr<IExportObjectListener> listener;

    // Snapshot job settings read by the library's thread while enabled.
    std::string m_snapshotFolder;
    std::uint32_t m_snapshotStart = 0;
    std::uint32_t m_snapshotEnd = UINT32_MAX;  // the last second pictured
    bool m_snapshotFolderMade = false;  // by this job
    std::unique_ptr<CSnapshotQueue> m_snapshots;
    std::atomic<int> m_renamedPictures{0};  // of the current series
    // Current job's output state (export loop only).
    bool m_outputOpen = false;
    SF_SOFT_BASE::CHeldTemporary m_temporary;
    std::uint64_t m_written = 0;
    CKvxCutPoint m_cutPoint;
    bool m_rawIsKvx = false;
    PLAY_MODULE::CMpegCutEdges::Edges m_cutEdges;  // of the raw copy
    bool m_nothingPlayable = false;  // the job failed as nothing in its span decoded
    std::string m_aviPath;  // read by OnAVINextFile
    // A range of a container, read as records (a range alone has no header).
    std::unique_ptr<PLAY_MODULE::CContainerRangeReader> m_container;
    std::uint64_t m_blockSourceBytes = 0;  // source bytes the block in hand stands for
    // The AVI files of the current job, as (name written by the library, held
    // while it writes, clip name).
    std::mutex m_aviFilesMutex;
    std::vector<std::pair<SF_SOFT_BASE::CHeldTemporary, std::string>> m_aviFiles;
    FreeSpaceQuery m_freeSpace;
    std::chrono::milliseconds m_drainLimit{60000};
    std::chrono::steady_clock::time_point m_drainStart{};
    bool m_draining = false;
    int m_lastPercent = -1;
};
