// Shows the export page on a screen of its own during an export and takes a
// screenshot of it: export_page_show SKIN_FOLDER SHOT.png [STYLE_SHEET]
// (run under Xvfb).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <QApplication>
#include <QElapsedTimer>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Export/ExportSimplePlayerViewEventImp.h"
#include "Export/ExportViewEventImp.h"
#include "Export/ExportViewUILogic.h"
#include "FileIndex/FileManager.h"
#include "FileIndex/FileManagerListener.h"
#include "KvxWriter/RecordingName.h"
#include "KvxWriter/SyntheticRecording.h"
#include "KvxWriter/TestRecorderKey.h"
#include "PageServices/PageHost.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

using namespace LumivexBase;

namespace {

class CHost : public IPageHost {
public:
    void Task_OnCloseSuccess(int) override {}
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return nullptr; }
    int IsClosing() override { return 0; }
};

class CIndexListener : public IFileManagerListener {
public:
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, SF_SOFT_BASE::CSFDateTime*, std::vector<int>*) override {}
};

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

std::string MakeRecording(const std::string& folder, int channel, int stream, double seconds)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = seconds;
    options.signer = KVX_WRITER::TestRecorderSigner();
    const std::string path =
        folder + "/" +
        KVX_WRITER::RecordingFileName("REC", channel, stream, options.startUtcMs,
                                      options.startUtcMs + std::int64_t(seconds * 1000));
    return KVX_WRITER::WriteSyntheticRecording(options, path) ? path : std::string();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    QApplication app(argc, argv);
    // The style sheet is applied only to a known application object.
    SFSetApplication(&app);
    SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(argv[1]) + L"/");
    if (argc > 3)
        SFLoadStyleSheet(SF_SOFT_BASE::Utf8ToWide(argv[3]));
    RegisterGuiLoop();
    StartWorkerLoop(ML_EXPORT);
    StartWorkerLoop(ML_PLAY);

    std::string base = (std::filesystem::temp_directory_path() / "exportshow-XXXXXX").string();
    if (!::mkdtemp(base.data()))
        return 1;
    const std::string recordings = base + "/rec";
    const std::string out = base + "/out";
    std::filesystem::create_directories(recordings);
    std::filesystem::create_directories(out);
    MakeRecording(recordings, 2, 0, 90);
    MakeRecording(recordings, 5, 1, 30);

    auto host = boost::make_shared<CHost>();
    auto page = CExportViewEventImp::Create(host);
    CIndexListener indexListener;
    auto manager = boost::make_shared<CFileManager>(&indexListener);
    int noMatch = 1;
    manager->LoadPath((SF_SOFT_BASE::Utf8ToWide(recordings) + L"/*.*").c_str(), &noMatch);
    auto groups = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    manager->GetGroupFileList(groups.get(), nullptr);
    page->SetFileManager(manager);
    page->FillFileTree(groups);
    page->GetView()->MoveWindow(0, 0, 1280, 1024);
    page->GetView()->ShowWindow(1);

    // Check channel 2 and let it play a moment.
    CSFTreeCtrl* tree = page->GetTree();
    void* date = tree->GetChildItem(tree->GetChildItem(SF_TVI_ROOT));
    void* channel = tree->GetChildItem(date);
    tree->SetCheck(channel, 1);
    page->OnItemCheckStateChanged(channel, 1);
    auto uiLogic = page->GetUILogic();
    WaitFor([&] { return !uiLogic->HasNoPlayHandle() && page->AreControlsEnabled(); }, 20000);
    WaitFor([] { return false; }, 2000);

    // A JPEG series every second into the folder; the shot at a quarter.
    page->SetFolderChooser([&](std::wstring& folder) {
        folder = SF_SOFT_BASE::Utf8ToWide(out);
        return true;
    });
    page->GetFormatCombo()->SetCurSel(0);
    page->OnExportButton(1);
    auto player = page->GetSimplePlayerView();
    WaitFor([&] { return player->GetProgressCtrl()->GetPos() >= 25 || !uiLogic->IsExporting(); }, 120000);
    WaitFor([] { return false; }, 300);
    const std::string shot = std::string("import -window root ") + argv[2];
    const int captured = std::system(shot.c_str());
    std::printf("progress at the shot: %d%%\n", player->GetProgressCtrl()->GetPos());
    WaitFor([&] { return !uiLogic->IsExporting(); }, 120000);
    uiLogic->DeleteFilesAll();
    WaitFor([&] { return uiLogic->HasNoPlayHandle(); }, 10000);
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    return captured == 0 ? 0 : 1;
}
