#include "Watermark/WaterMarkUILogic.h"

#include <algorithm>

#include <QDebug>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Watermark/WatermarkEventImp.h"
#include "Watermark/WatermarkLogic.h"
#include "Watermark/WatermarkTaskInfo.h"
#include "Watermark/WatermarkLog.h"

using LumivexBase::ML_WATERMARK;

CWaterMarkUILogic::CWaterMarkUILogic(boost::weak_ptr<CWatermarkEventImp> page) : m_page(std::move(page)) {}

CWaterMarkUILogic::~CWaterMarkUILogic() = default;

boost::shared_ptr<CWaterMarkUILogic> CWaterMarkUILogic::Create(boost::weak_ptr<CWatermarkEventImp> page)
{
    boost::shared_ptr<CWaterMarkUILogic> logic(new CWaterMarkUILogic(std::move(page)));
    logic->Init();
    return logic;
}

int CWaterMarkUILogic::Init()
{
    m_logic = boost::make_shared<CWatermarkLogic>(weak_from_this());
    return 1;
}

void CWaterMarkUILogic::AddTask(const std::wstring& path, int row)
{
    m_tasks.push_back(boost::make_shared<CWatermarkTaskInfo>(path, row));
}

void CWaterMarkUILogic::Start()
{
    m_currentIndex = 0;
    m_stopped = 0;
    m_stopping = false;
    if (m_tasks.empty()) {
        m_stopped = 1;
        if (auto page = m_page.lock())
            page->FinishClose();
        return;
    }
    StartTask(0);
}

void CWaterMarkUILogic::StartTask(int index)
{
    m_currentIndex = index;
    if (index < 0 || index >= int(m_tasks.size()))
        return;
    SF_POST_TASK(ML_WATERMARK, &CWatermarkLogic::Task_InitWatermark, m_logic, m_tasks[std::size_t(index)]);
}

void CWaterMarkUILogic::PostBlock(const boost::shared_ptr<CWatermarkTaskInfo>& task, int line, const char* poster)
{
    LumivexBase::PostTaskToLoop(ML_WATERMARK, LumivexBase::MakeTask(&CWatermarkLogic::Task_Watermark, m_logic, task),
                                __FILE__, line, "&CWatermarkLogic::Task_Watermark", poster);
}

void CWaterMarkUILogic::MoveOn(const CWatermarkTaskInfo& task)
{
    if (task.row + 1 < int(m_tasks.size())) {
        StartTask(task.row + 1);
        return;
    }
    if (auto page = m_page.lock())
        page->StopCheck();
}

bool CWaterMarkUILogic::IsCurrentRun(const boost::shared_ptr<CWatermarkTaskInfo>& task) const
{
    return task && task->row >= 0 && task->row < int(m_tasks.size()) && m_tasks[std::size_t(task->row)] == task;
}

void CWaterMarkUILogic::Task_InitWatermark_Ret(boost::shared_ptr<CWatermarkTaskInfo> task, int opened)
{
    if (!IsCurrentRun(task) || m_stopping)
        return;
    if (opened) {
        for (int block = 0; block < kBlocksInFlight; ++block)
            PostBlock(task, __LINE__, "CWaterMarkUILogic::Task_InitWatermark_Ret");
        return;
    }
    if (auto page = m_page.lock())
        page->ShowResult(task->row, kResultOpenFailed);
    MoveOn(*task);
}

void CWaterMarkUILogic::Task_Watermark_Ret(boost::shared_ptr<CWatermarkTaskInfo> task, int percent,
                                           int percentChanged)
{
    if (!IsCurrentRun(task) || task->row != m_currentIndex)
        return;  // the answer of a file that has ended already
    auto page = m_page.lock();
    if (percent >= 0 && percentChanged && (!m_stopping || percent == 100) && page)
        page->ShowProgress(task->row, percent);
    if (percent < 0) {
        if (m_stopping)
            return;
        if (page)
            page->ShowResult(task->row, kResultReadFailed);
        MoveOn(*task);
        return;
    }
    if (percent == 100) {
        // A file fed to its end keeps its result even when a stop crossed it.
        if (page)
            page->ShowResult(task->row, kResultFinished);
        if (!m_stopping)
            MoveOn(*task);
        return;
    }
    if (!m_stopping)
        PostBlock(task, __LINE__, "CWaterMarkUILogic::Task_Watermark_Ret");
}

void CWaterMarkUILogic::StopWatermark()
{
    if (m_tasks.empty() || m_stopping)
        return;
    qCDebug(lcWatermark, "StopWatermark");
    m_stopping = true;
    m_logic->RequestStop();
    const auto index = std::size_t(std::clamp(m_currentIndex, 0, int(m_tasks.size()) - 1));
    SF_POST_TASK(ML_WATERMARK, &CWatermarkLogic::Task_StopWatermark, m_logic, m_tasks[index]);
}

void CWaterMarkUILogic::Task_StopWatermark_Ret()
{
    m_currentIndex = 0;
    m_stopped = 1;
    m_stopping = false;
    m_tasks.clear();
    if (auto page = m_page.lock())
        page->FinishClose();
}

// Reports come from the file being checked: those of a file come before
// its last answer, and the next file starts after that.
const CWatermarkTaskInfo* CWaterMarkUILogic::FindByDecoder(const PLAY_MODULE::CPlaySdkWrapper* sender) const
{
    if (m_currentIndex < 0 || m_currentIndex >= int(m_tasks.size()))
        return nullptr;
    const CWatermarkTaskInfo* task = m_tasks[std::size_t(m_currentIndex)].get();
    return task->IsDecoder(sender) ? task : nullptr;
}

void CWaterMarkUILogic::Task_WaterMarkText(PLAY_MODULE::CPlaySdkWrapper* sender, std::wstring text, long time)
{
    auto page = m_page.lock();
    const CWatermarkTaskInfo* task = page ? FindByDecoder(sender) : nullptr;
    if (task)
        page->SetWatermarkText(text, time, task->row);
}

void CWaterMarkUILogic::Task_WaterError(PLAY_MODULE::CPlaySdkWrapper* sender, long time, long kind, long result)
{
    auto page = m_page.lock();
    const CWatermarkTaskInfo* task = page ? FindByDecoder(sender) : nullptr;
    if (task)
        page->AddErrorInfo(time, kind, result, task->row);
}
