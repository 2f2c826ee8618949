#include "Watermark/WatermarkEventImp.h"

#include <ctime>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "PageServices/FileIndexService.h"
#include "PageServices/PageHost.h"
#include "Platform/PlayModule/Stream/IWatermarkCheckListener.h"
#include "Watermark/WaterMarkDetailEventImp.h"
#include "Watermark/RecordingStartTime.h"
#include "Watermark/WaterMarkUILogic.h"
#include "Watermark/WatermarkFileTree.h"
#include "Widgets/FileTreeStyle.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SFListCtrlNotify.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

using LumivexBase::ML_HELPER;
using LumivexBase::ML_MAIN;

namespace {

constexpr UINT kStartId = 700;
constexpr UINT kStopId = 701;
constexpr UINT kTreeId = 702;
constexpr UINT kListId = 703;
constexpr UINT kBottomStripId = 705;
constexpr UINT kCaptionId = 706;
constexpr UINT kViewId = 113;
constexpr DWORD kControlStyle = 0x10010000;
constexpr UINT kCaptionColour = 0xE3DCD7;  // 0x00BBGGRR

// Runs on the helper loop behind a query: echoes the run tag to the page.
void EchoQueryDone(const boost::shared_ptr<CWatermarkEventImp>& page, int run)
{
    SF_POST_TASK(ML_MAIN, &CWatermarkEventImp::Task_QueryDone, page, run);
}

ImageButtonStyle CommonButtonStyle()
{
    ImageButtonStyle s;
    s.str0 = s.str1 = L"btn_commongnor.png";
    s.str2 = L"btn_commondown.png";
    s.str3 = L"btn_commondisable.png";
    return s;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CWatermarkEventImp)
SF_ON_NOTIFY(SF_LCN_ITEM_DBLCLICK, kListId, OnResultDblClick)
SF_ON_COMMAND(kStartId, OnStartCheck)
SF_ON_COMMAND(kStopId, StopCheck)
SF_END_MESSAGE_MAP()

ListCtrlStyle CWatermarkEventImp::ResultListStyle()
{
    ListCtrlStyle s;
    s.str0 = L"ListCtrlnew.png";
    s.str1 = L"0,0,1,27";
    s.str2 = L"2,0,2,27";
    s.str3 = L"0,34,14,13";
    s.str4 = L"14,34,1,13";
    s.str5 = L"15,34,1,13";
    s.str6 = L"16,34,1,13";
    s.str7 = L"17,34,1,13";
    s.str8 = L"18,34,1,13";
    s.str9 = L"19,34,1,13";
    s.str10 = L"20,34,14,13";
    s.str11 = L"34,0,13,14";
    s.str12 = L"34,14,13,1";
    s.str13 = L"34,15,13,1";
    s.str14 = L"34,16,13,1";
    s.str15 = L"34,17,13,1";
    s.str16 = L"34,18,13,1";
    s.str17 = L"34,19,13,1";
    s.str18 = L"34,20,13,14";
    s.str19 = L"5,0,13,27";
    s.str20 = L"34,34,13,13";
    std::wstring* modes[] = {&s.str21, &s.str22, &s.str23, &s.str24, &s.str25, &s.str26, &s.str27,
                             &s.str28, &s.str29, &s.str30, &s.str31, &s.str32, &s.str33, &s.str34,
                             &s.str35, &s.str36, &s.str37, &s.str38, &s.str39, &s.str40};
    const bool stretch[] = {true, false, false, false, true, false, false, true, false, false,
                            false, false, true, false, false, true, false, false, false, false};
    for (std::size_t i = 0; i < std::size(modes); ++i)
        *modes[i] = stretch[i] ? L"stretch" : L"tile";
    s.str41 = L"656E81";
    s.str42 = L"5C6576";
    s.str43 = L"727272";
    s.str44 = L"FAB400";
    s.str45 = L"FEFEFE";
    s.n0 = 13;
    s.n1 = 13;
    s.n2 = 27;
    s.n3 = 27;
    return s;
}

CWatermarkEventImp::CWatermarkEventImp(boost::weak_ptr<IPageHost> host) : m_host(std::move(host)) {}

CWatermarkEventImp::~CWatermarkEventImp() = default;

boost::shared_ptr<CWatermarkEventImp> CWatermarkEventImp::Create(boost::shared_ptr<IPageHost> host)
{
    auto page = boost::make_shared<CWatermarkEventImp>(host);
    page->CreateView();
    return page;
}

int CWatermarkEventImp::CreateView()
{
    m_view = SFCreateView(this);
    if (!m_view)
        return 0;
    m_view->SetBackground(L"bg_monitor.png");
    m_view->SetBGClr(0xDED8D5);
    void* parent = nullptr;
    if (auto host = m_host.lock())
        if (auto* frame = dynamic_cast<ISFDialogEvent*>(host.get()))
            parent = frame->GetUIWnd();
    m_view->Create(nullptr, L"Watermark", 0x40000000, tagRECT{0, 0, 1000, 640}, parent, kViewId);
    return 0;
}

int CWatermarkEventImp::OnCreate()
{
    CreateControls();
    m_detail = CWaterMarkDetailEventImp::Create(shared_from_this());
    m_uiLogic = CWaterMarkUILogic::Create(weak_from_this());
    return 1;
}

void CWatermarkEventImp::CreateControls()
{
    void* parent = GetUIWnd();
    const tagRECT captionRect{0, 0, 100, 24};
    m_treeCaption = SFCreateStatic(nullptr);
    m_listCaption = SFCreateStatic(nullptr);
    for (auto [caption, text] : {std::pair{m_treeCaption, L"Select File To Be Checked"},
                                 std::pair{m_listCaption, L"Watermark Info"}}) {
        caption->Create(GetLangString(text), kControlStyle, captionRect, parent, kCaptionId);
        caption->SetTextAlignFlag(0x24);
        caption->SetTextBold(1);
        caption->SetTextColor(kCaptionColour);  // readable on the dark page background
    }
    ImageButtonStyle buttonStyle = CommonButtonStyle();
    m_startButton = SFCreateButton(this);
    m_stopButton = SFCreateButton(this);
    for (auto [button, text, id] : {std::tuple{m_startButton, L"Start Check", kStartId},
                                    std::tuple{m_stopButton, L"Stop Check", kStopId}}) {
        button->Create(GetLangString(text), kControlStyle, tagRECT{0, 0, 80, 24}, parent, id);
        button->SetSkin(&buttonStyle);
    }
    m_stopButton->EnableWindow(0);
    CreateTree();
    CreateResultList();
    m_bottomStrip = SFCreateView(nullptr);
    m_bottomStrip->SetBackground(L"bg_timeline.png");
    m_bottomStrip->Create(nullptr, L"", 0x50000000, tagRECT{0, 0, 10, 15}, parent, kBottomStripId);
    m_bottomStrip->ShowWindow(1);
}

void CWatermarkEventImp::CreateTree()
{
    m_tree = SFCreateTreeCtrl(this);
    UITreeCtrlStyle style = SFFileTreeStyle();
    m_tree->SetSkin(&style);
    m_tree->Create(0x10000004, tagRECT{0, 0, 300, 300}, GetUIWnd(), kTreeId, 1);
    m_tree->ShowWindow(1);
    m_fileTree = std::make_unique<CWatermarkFileTree>(m_tree);
}

void CWatermarkEventImp::CreateResultList()
{
    m_list = SFCreateListCtrl(nullptr);
    ListCtrlStyle style = ResultListStyle();
    m_list->SetSkin(&style);
    m_list->Create(0x10010001, tagRECT{0, 0, 300, 300}, GetUIWnd(), kListId, true);
    m_list->SetColumnTextAlign(0, 0x8824);
    for (int column = 1; column <= 3; ++column)
        m_list->SetColumnTextAlign(column, 5);
    m_list->SetExtendedStyle(0x20);
    const wchar_t* titles[] = {L"File Name", L"Percent", L"Results", L"Watermark sign"};
    for (int column = 0; column < 4; ++column)
        m_list->InsertColumn(column, GetLangString(titles[column]), 0, -1, -1);
}

void CWatermarkEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_treeCaption || !m_listCaption || !m_startButton || !m_stopButton || !m_tree || !m_list)
        return;
    const int lw = (cx - 240) / 2;
    auto place = [](auto* control, int left, int top, int right, int bottom) {
        control->MoveWindow(left, top, right - left, bottom - top);
    };
    place(m_treeCaption, 50, 10, 200, 35);
    place(m_listCaption, lw + 190, 10, lw + 340, 35);
    place(m_startButton, lw + 70, 100, lw + 170, 128);
    place(m_stopButton, lw + 70, 148, lw + 170, 176);
    place(m_tree, 50, 45, lw + 50, cy - 123);
    place(m_list, lw + 190, 45, 2 * lw + 190, cy - 123);
    m_list->SetColumnWidth(0, int(lw * 0.48));
    m_list->SetColumnWidth(1, int(lw * 0.15));
    m_list->SetColumnWidth(2, int(lw * 0.15));
    m_list->SetColumnWidth(3, int(lw * 0.22 + 2));
    if (m_bottomStrip)
        place(m_bottomStrip, 0, cy - 100, cx, cy);
}

void CWatermarkEventImp::AddSingleFiles(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> files)
{
    if (files && m_fileTree)
        m_fileTree->AddSingleFiles(*files);
}

void CWatermarkEventImp::AddGroupFiles(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups)
{
    if (groups && m_fileTree)
        m_fileTree->AddGroupFiles(*groups);
}

int CWatermarkEventImp::DeleteFileItems(const boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& items)
{
    if (items && m_fileTree)
        m_fileTree->DeleteFileItems(*items);
    return 1;
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CWatermarkEventImp::GetCheckedFiles()
{
    return m_fileTree ? m_fileTree->GetCheckedFiles() : boost::make_shared<std::list<_GROUP_FILE_INFO>>();
}

void CWatermarkEventImp::ClearResults()
{
    m_records.clear();
    if (m_list)
        m_list->DeleteAllItems();
}

void CWatermarkEventImp::OnStartCheck()
{
    if (m_checking || !m_uiLogic)
        return;
    ClearResults();
    if (QueryCheckedFiles() == 0)
        return;
    SetCheckState(1);
}

// Posts one query per checked single file and per checked channel; returns
// how many were posted.
int CWatermarkEventImp::QueryCheckedFiles()
{
    ++m_run;
    m_rowCount = 0;
    m_pendingQueries = 0;
    for (const auto& entry : m_fileTree->CheckedEntries()) {
        const bool posted = entry.single
                                ? PostQuery(QUERY_FILEPATH_SINGLE, entry.key, L"", int(entry.key), entry.item)
                                : PostQuery(QUERY_FILEPATH_DAY, entry.key, entry.group, entry.channelKey, entry.item);
        if (posted)
            ++m_pendingQueries;
    }
    return m_pendingQueries;
}

bool CWatermarkEventImp::PostQuery(QUERY_FILEPATH_TYPE type, unsigned int key, const std::wstring& group,
                                   int channelKey, void* item)
{
    auto host = m_host.lock();
    auto fileIndex = host ? host->GetFileIndexService() : nullptr;
    if (!fileIndex)
        return false;
    auto channels = boost::make_shared<std::map<int, void*>>();
    (*channels)[channelKey] = item;
    boost::shared_ptr<IFileManagerQuery> self = shared_from_this();
    LumivexBase::PostTaskToLoop(ML_HELPER,
                                LumivexBase::MakeTask(&IFileIndexService::Task_GetFilePath, fileIndex, type, key,
                                                      group, channels, self, m_run),
                                __FILE__, __LINE__, "&CMainFrameHelpLogic::Task_GetFilePath", __PRETTY_FUNCTION__);
    LumivexBase::PostTaskToLoop(ML_HELPER, LumivexBase::MakeTask<int>(&EchoQueryDone, shared_from_this(), m_run),
                                __FILE__, __LINE__, "EchoQueryDone", "CWatermarkEventImp::PostQuery");
    return true;
}

void CWatermarkEventImp::Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files)
{
    if (!files || m_pendingQueries <= 0)
        return;
    for (const _QUERY_FILE_INFO& file : *files)
        if (file.window == m_run)
            AddResultRow(file.path);
}

void CWatermarkEventImp::AddResultRow(const std::wstring& path)
{
    ++m_rowCount;
    m_records.push_back({L"", path, m_rowCount, {}, 0, 0});
    const int row = m_rowCount - 1;
    const auto slash = path.rfind(L'/');
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    m_list->InsertItem(row, name.c_str());
    m_list->SetToolTipText(row, 0, path.c_str());
    m_uiLogic->AddTask(path, row);
}

void CWatermarkEventImp::Task_QueryDone(int run)
{
    if (run != m_run || m_pendingQueries <= 0)
        return;
    if (--m_pendingQueries == 0)
        StartRun();
}

void CWatermarkEventImp::StartRun()
{
    m_uiLogic->Start();  // a run without files finishes at once
}

void CWatermarkEventImp::CancelQueries()
{
    ++m_run;  // answers still on their way are dropped
    m_pendingQueries = 0;
}

void CWatermarkEventImp::StopCheck()
{
    if (m_pendingQueries > 0) {
        CancelQueries();
        FinishClose();
        return;
    }
    if (m_uiLogic)
        m_uiLogic->StopWatermark();
}

void CWatermarkEventImp::ClosePage(int exit)
{
    m_exitClose = exit;
    if (m_checking) {
        m_stopPending = 1;
        StopCheck();
        return;
    }
    ClearResults();
    if (auto host = m_host.lock())
        host->ResetPageTab(kTabId);
    FinishClose();
}

void CWatermarkEventImp::FinishClose()
{
    SetCheckState(0);
    if (m_exitClose == 1)
        if (auto host = m_host.lock())
            host->Task_OnCloseSuccess(kPageId);
}

void CWatermarkEventImp::SetCheckState(int on)
{
    if (m_startButton)
        m_startButton->EnableWindow(on ? 0 : 1);
    if (m_stopButton)
        m_stopButton->EnableWindow(on);
    m_checking = on;
    if (!on && m_stopPending) {
        ClearResults();
        if (auto host = m_host.lock())
            host->ResetPageTab(kTabId);
    }
    m_stopPending = 0;
}

void CWatermarkEventImp::ShowProgress(int row, int percent)
{
    if (!IsRow(row))
        return;
    m_list->SetItemText(row, 1, (std::to_wstring(percent) + L"%").c_str());
}

void CWatermarkEventImp::ShowResult(int row, int code)
{
    if (!IsRow(row))
        return;
    WatermarkFileRecord& record = m_records[std::size_t(row)];
    std::wstring text;
    if (code == CWaterMarkUILogic::kResultFinished) {
        // Original only when a watermark was verified and nothing failed.
        const bool verified = record.textReports > record.textErrors;
        if (record.errors.empty() && !verified)
            record.errors.push_back({DetailCodeOf(PLAY_MODULE::kWatermarkResultNoWatermark),
                                     LocalTimeText(RecordingStartTime(record.path))});
        text = GetLangString(record.errors.empty() ? L"Original" : L"falsified");
    } else if (code == CWaterMarkUILogic::kResultOpenFailed) {
        m_list->SetItemText(row, 1, L"0%");
        text = GetLangString(L"Open the video file unsuccessfully");
    } else if (code == CWaterMarkUILogic::kResultReadFailed) {
        text = GetLangString(L"Read the video file unsuccessfully");
    }
    m_list->SetItemText(row, 2, text.c_str());
}

void CWatermarkEventImp::SetWatermarkText(const std::wstring& text, long, int row)
{
    if (!IsRow(row))
        return;
    WatermarkFileRecord& record = m_records[std::size_t(row)];
    ++record.textReports;
    const std::wstring falsified = GetLangString(L"Watermark sign falsified");
    if (record.watermarkText.empty())
        record.watermarkText = text;
    else if (record.watermarkText == text || record.watermarkText == falsified)
        return;
    else
        record.watermarkText = falsified;
    m_list->SetItemText(row, 3, text.c_str());
    m_list->SetToolTipText(row, 3, text.c_str());
}

int CWatermarkEventImp::DetailCodeOf(long result)
{
    switch (result) {
    case PLAY_MODULE::kWatermarkResultSignature: return 8;
    case PLAY_MODULE::kWatermarkResultData: return 4;
    case PLAY_MODULE::kWatermarkResultFrameLoss: return 7;
    case PLAY_MODULE::kWatermarkResultNoWatermark: return CWaterMarkDetailEventImp::kCodeNoWatermark;
    case PLAY_MODULE::kWatermarkResultUnknownKey: return CWaterMarkDetailEventImp::kCodeUnknownKey;
    default: return 6;
    }
}

std::wstring CWatermarkEventImp::LocalTimeText(long time)
{
    const std::time_t seconds = std::time_t(time);
    std::tm local{};
    char text[64] = "1970-01-01 00:00:00";
    if (time >= 0 && localtime_r(&seconds, &local))
        std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return SF_SOFT_BASE::Utf8ToWide(text);
}

void CWatermarkEventImp::AddErrorInfo(long time, long kind, long result, int row)
{
    if (!IsRow(row))
        return;
    WatermarkFileRecord& record = m_records[std::size_t(row)];
    if (kind == PLAY_MODULE::kWatermarkKindText)
        ++record.textErrors;
    // A stream that held no record time is dated by the file itself.
    if (time == PLAY_MODULE::kWatermarkTimeUnknown)
        time = RecordingStartTime(record.path);
    record.errors.push_back({DetailCodeOf(result), LocalTimeText(time)});
}

void CWatermarkEventImp::OnResultDblClick(tagNMHDR* notify, LRESULT*)
{
    const auto* list = reinterpret_cast<const SF_LISTCTRL_NOTIFY*>(notify);
    if (!list || !IsRow(list->iItem) || !m_detail || !m_detail->GetDialog())
        return;
    const auto& errors = m_records[std::size_t(list->iItem)].errors;
    const std::vector<WatermarkErrorEntry> entries(errors.begin(), errors.end());
    m_detail->SetErrorList(&entries);
    m_detail->GetDialog()->DoModalDlg();
    m_detail->SetErrorList(nullptr);
}
