// Opening a folder of recorder-named files until the file list shows it,
// against `find` listing the same folder. Sizes: --sizes=10000,100000,400000
// (default 10000).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Main/FileListEventImp.h"
#include "Main/FileListHost.h"
#include "Main/FileListOwner.h"
#include "Main/MainFrameUILogic.h"
#include "Widgets/SFTreeCtrl.h"
#include "Support/FolderOfRecordings.h"

namespace {

const BenchSupport::FolderOfRecordings& Folder(int count)
{
    static std::map<int, std::unique_ptr<BenchSupport::FolderOfRecordings>> folders;
    std::unique_ptr<BenchSupport::FolderOfRecordings>& folder = folders[count];
    if (!folder)
        folder = std::make_unique<BenchSupport::FolderOfRecordings>(count);
    return *folder;
}

// The main page as far as the file list needs one.
class BenchPage : public IFileListOwner {
public:
    boost::shared_ptr<CFileListEventImp> GetFileList() override { return fileList; }
    void* GetFileListParentWnd() override { return &parent; }
    void ShowFileList(int) override {}
    void PassKeyToMainFrame(UINT, UINT) override {}
    boost::shared_ptr<CMainFrameUILogic> GetMainFrameUILogic() override { return nullptr; }
    int GetWantedReturnNum() override { return 0; }
    void SetWantedReturnNum(int) override {}
    void SetWantedShowNum(int) override {}
    void SetSynPlay(int) override {}
    void ResetPlayStates() override {}
    void CloseFiles(int, int) override {}
    void StartPlayOneFile(std::wstring, boost::shared_ptr<_QUERY_FILE_INFO>, int) override {}
    int IsSyncPlay() override { return 0; }
    void UpdatePlayBarButton(int, int) override {}
    CSFVideoWindow* GetVideoWindow() override { return nullptr; }
    int SelectLayoutByWndCount(int) override { return 0; }
    void SetTimeLineDisplayFlag(int) override {}

    boost::shared_ptr<CFileListEventImp> fileList;
    QWidget parent;
};

class BenchFrame : public IFileListHost {
public:
    boost::shared_ptr<IFileListOwner> GetFileListOwner() override { return page; }
    void FillWatermarkPage(GroupFileListP, SingleFileListP) override {}
    void FillExportPage(boost::shared_ptr<CMainFrameHelpLogic>&, GroupFileListP, SingleFileListP) override {}
    void FillPreviewPage(SingleFileListP, boost::shared_ptr<std::vector<std::wstring>> paths) override
    {
        listed = paths->size();
    }
    void SetSelectAllCheck(int) override { done = true; }
    void SetFileManager(boost::shared_ptr<CFileManager>&) override {}
    void UpdateOpenedPaths() override {}
    void DeleteCheckedFiles() override {}
    void OpenDroppedPaths(const std::vector<std::wstring>&) override {}

    boost::shared_ptr<BenchPage> page = boost::make_shared<BenchPage>();
    bool done = false;
    std::size_t listed = 0;
};

void BM_FindListing(benchmark::State& state)
{
    BenchSupport::TimeFindListing(state, Folder(static_cast<int>(state.range(0))).Path());
}

// From the opened path to the filled tree: the build on the helper loop,
// its answer on the GUI loop, the tree filled.
void BM_OpenFolderToTree(benchmark::State& state)
{
    const auto path = boost::make_shared<std::wstring>(
        SF_SOFT_BASE::Utf8ToWide(Folder(static_cast<int>(state.range(0))).Path()));
    std::size_t listed = 0;
    unsigned items = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto frame = boost::make_shared<BenchFrame>();
        frame->page->fileList = CFileListEventImp::Create(frame->page);
        boost::shared_ptr<CMainFrameUILogic> logic = CMainFrameUILogic::Create(frame);
        state.ResumeTiming();

        logic->SetDropFiles(path);
        logic->GenerateFileList(path);
        while (!frame->done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);

        state.PauseTiming();
        listed = frame->listed;
        items = frame->page->fileList->GetTreeCtrl()->GetCount();
        logic.reset();
        frame.reset();
        state.ResumeTiming();
    }
    state.counters["recordings"] = static_cast<double>(listed);
    state.counters["tree items"] = items;
}

std::vector<int> TakeSizes(int& argc, char** argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--sizes=", 8) != 0)
            continue;
        std::stringstream list(argv[i] + 8);
        for (std::string size; std::getline(list, size, ',');)
            sizes.push_back(std::stoi(size));
        for (int j = i; j + 1 < argc; ++j)
            argv[j] = argv[j + 1];
        --argc;
        break;
    }
    return sizes.empty() ? std::vector<int>{10000} : sizes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LumivexBase::RegisterGuiLoop();
    if (!LumivexBase::StartWorkerLoop(LumivexBase::ML_HELPER))
        return 1;
    for (int size : TakeSizes(argc, argv)) {
        benchmark::RegisterBenchmark("BM_FindListing", BM_FindListing)->Arg(size)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_OpenFolderToTree", BM_OpenFolderToTree)
            ->Arg(size)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return 0;
}
