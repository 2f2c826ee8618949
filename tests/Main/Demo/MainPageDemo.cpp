// Shows the main page playing four recordings of one day, generated now.
// usage: main_page_demo [seconds to play] [picture to save]
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <boost/make_shared.hpp>
#include <unistd.h>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "KvxWriter/RecordingName.h"
#include "KvxWriter/SyntheticRecording.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Main/MainPageEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "PageServices/PageHost.h"
#include "Common/AppDir.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"

namespace {

class Host : public IPageHost {
public:
    void Task_OnCloseSuccess(int) override {}
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return 0; }
};

void Run(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SFSetApplication(&app);
    SFInitApp();
    SFLoadStyleSheet(SFGetAppDir() + L"/Lumivex_Style.css");
    SFSetSkinPath(SFGetAppDir() + L"/Skin/");
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    const std::string picture = argc > 2 ? argv[2] : "";
    LumivexBase::RegisterGuiLoop();
    if (!LumivexBase::StartWorkerLoop(LumivexBase::ML_PLAY))
        return 1;

    std::string pattern = (std::filesystem::temp_directory_path() / "mainpagedemo-XXXXXX").string();
    const std::string folder = ::mkdtemp(pattern.data());
    QWidget window;
    window.setWindowTitle("Lumivex main page");
    window.resize(1280, 800);
    auto page = CMainPageEventImp::Create(boost::make_shared<Host>(), &window);
    window.show();
    page->GetView()->MoveWindow(0, 0, 1280, 800);
    auto ui = page->GetPlayWinManager()->GetPlayManagerUILogic();
    CSFVideoWindow* grid = page->GetPlayWinManager()->GetVideoWindow();

    const std::int64_t startMs = 1451703845000;
    ui->SetWantedReturnNum(4);
    for (int channel = 1; channel <= 4; ++channel) {
        KVX_WRITER::SyntheticOptions options;
        options.startUtcMs = startMs + (channel - 1) * 60000;
        options.seconds = seconds + 30;
        options.signer = KVX_WRITER::TestRecorderSigner();
        const std::string path =
            folder + "/" +
            KVX_WRITER::RecordingFileName("Cam01", channel, 0, options.startUtcMs,
                                          options.startUtcMs + std::int64_t(options.seconds * 1000));
        if (!KVX_WRITER::WriteSyntheticRecording(options, path))
            return 2;
        auto record = boost::make_shared<_QUERY_FILE_INFO>();
        record->path = SF_SOFT_BASE::Utf8ToWide(path);
        record->queryType = QUERY_FILEPATH_DAY;
        record->channelKey = channel;
        record->fileId = channel;
        record->window = grid->GetSubWinIDByIndex(channel - 1);
        record->fileType = 1;
        ui->StartPlayOneFile(record->path, record, 0);
    }
    Run(seconds * 1000);
    if (!picture.empty())
        window.grab().save(QString::fromStdString(picture));
    ui->CloseFiles(nullptr, -1);
    Run(500);
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    std::filesystem::remove_all(folder);
    return 0;
}
