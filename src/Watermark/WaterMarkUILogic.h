#pragma once

#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

namespace PLAY_MODULE {
class CPlaySdkWrapper;
}

class CWatermarkEventImp;
class CWatermarkLogic;
class CWatermarkTaskInfo;

// The GUI-thread half of the watermark check: checks the page's files one
// after another through the worker logic on loop 4 and tells the page of
// progress, results, watermark texts and errors.
class CWaterMarkUILogic : public boost::enable_shared_from_this<CWaterMarkUILogic> {
public:
    // Result codes handed to the page's ShowResult.
    static constexpr int kResultFinished = 1;
    static constexpr int kResultOpenFailed = -1;
    static constexpr int kResultReadFailed = -2;
    // Blocks asked for ahead, so that loop 4 finds the next one queued when it
    // finishes a block (an idle worker loop naps before it waits).
    static constexpr int kBlocksInFlight = 16;

    static boost::shared_ptr<CWaterMarkUILogic> Create(boost::weak_ptr<CWatermarkEventImp> page);
    virtual ~CWaterMarkUILogic();

    int Init();
    void AddTask(const std::wstring& path, int row);
    // Checks the added files; a run without files ends at once.
    void Start();
    void StopWatermark();
    // 1 from Start until the stop has been carried out.
    int IsRunning() const { return m_stopped ? 0 : 1; }
    boost::shared_ptr<CWatermarkLogic> GetLogic() const { return m_logic; }

    void Task_InitWatermark_Ret(boost::shared_ptr<CWatermarkTaskInfo> task, int opened);
    // percent and percentChanged as they were when the block was fed.
    void Task_Watermark_Ret(boost::shared_ptr<CWatermarkTaskInfo> task, int percent, int percentChanged);
    void Task_WaterMarkText(PLAY_MODULE::CPlaySdkWrapper* sender, std::wstring text, long time);
    void Task_WaterError(PLAY_MODULE::CPlaySdkWrapper* sender, long time, long kind, long result);
    void Task_StopWatermark_Ret();

private:
    explicit CWaterMarkUILogic(boost::weak_ptr<CWatermarkEventImp> page);

    void StartTask(int index);
    void PostBlock(const boost::shared_ptr<CWatermarkTaskInfo>& task, int line, const char* poster);
    void MoveOn(const CWatermarkTaskInfo& task);
    bool IsCurrentRun(const boost::shared_ptr<CWatermarkTaskInfo>& task) const;
    const CWatermarkTaskInfo* FindByDecoder(const PLAY_MODULE::CPlaySdkWrapper* sender) const;

    boost::weak_ptr<CWatermarkEventImp> m_page;
    boost::shared_ptr<CWatermarkLogic> m_logic;
    int m_stopped = 1;
    int m_currentIndex = 0;
    std::vector<boost::shared_ptr<CWatermarkTaskInfo>> m_tasks;
    bool m_stopping = false;  // a stop is on its way to loop 4
};
