#include <QApplication>
#include <QMimeDatabase>
#include <QTimer>
#include <QTranslator>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Base/FileSystemHelpers.h"
#include "Base/MessageLoopIds.h"
#include "Base/MimeDatabaseReadiness.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFSystem.h"
#include "Base/TaskTrace.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Common/AppDir.h"
#include "Common/ConfigManager.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/CrashDump.h"
#include "Common/FileAssociation.h"
#include "Common/LangString.h"
#include "Common/LeftTemporaries.h"
#include "Common/SaveFolders.h"
#include "Common/UserMessages.h"
#include "DeferredLibraries.h"
#include "ExitWatchdog.h"
#include "FontSetUp.h"
#include "LibraryConfigFiles.h"
#include "Main/MainFrameEventImp.h"
#include "PlayManager/RenderSetup.h"
#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "SingleInstanceLock.h"
#include "TerminationWatcher.h"
#include "Widgets/SFApplication.h"

namespace {

// How long the pages have to close after a signal (a session's end does not
// wait long) before the loop is ended, with any message box the close shows.
constexpr int kSignalCloseGraceMs = 700;
constexpr std::size_t kMaxTranslationBytes = 64 << 20;
// How long a save under way may hold up the end after a signal.
constexpr int kLateSaveWaitMs = 500;
// How long start waits for the MIME database to be read.
constexpr std::chrono::seconds kMimeReadWait{5};
// How long the worker loops may take to end once the windows are gone.
constexpr int kWorkerJoinLimitMs = CMainFrameEventImp::kDefaultCloseGraceMs;

void LoadSettings()
{
    CConfigManager* settings = CConfigManager::GetInstance();
    settings->SetPersistent(std::make_shared<CConfigXMLPersistImp>(std::string()));
    settings->Init();
    settings->Language = ChooseLanguageNumber(settings->Language);
    SetLanguageNumber(settings->Language);
}

// The translator uses the bytes in place: they live as long as it.
void LoadTranslation(QTranslator& translator, std::string& bytes)
{
    if (CConfigManager::GetInstance()->Language == 0)
        return;
    const std::string path = SF_SOFT_BASE::WideToUtf8(SFGetAppDir() + L"/qt_de.qm");
    if (SF_SOFT_BASE::ReadRegularFile(path, bytes, kMaxTranslationBytes) &&
        translator.load(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size())))
        QCoreApplication::installTranslator(&translator);
}

void CreateWorkingFolders()
{
    for (const wchar_t* folder : {L"/Picture/", L"/Index/", L"/Video/"})
        SF_SOFT_BASE::CreateDirectoryRecursive(SFGetAppDir() + folder);
}

bool StartMessageLoops()
{
    LumivexBase::RegisterGuiLoop();
    return LumivexBase::StartWorkerLoops({LumivexBase::ML_HELPER, LumivexBase::ML_PLAY, LumivexBase::ML_EXPORT});
}

// Tells the user, in the notification pop-up, about a settings file that
// could not be read.
void TellAboutSettingsFile()
{
    const std::wstring notice = CConfigManager::GetInstance()->GetLoadNotice();
    if (!notice.empty())
        ShowNotifyMessage(notice, true);
}

// Tells the user when settings and indexes cannot be saved (the program
// folder cannot be written to, or the folders they go in), when the lock
// file cannot be used, and when snapshots and clips cannot be saved.
void TellAboutSaveFolders(const CSingleInstanceLock& instanceLock)
{
    if (instanceLock.IsOutsideProgramFolder()) {
        const std::string lockFile = CSingleInstanceLock::LockFilePath(SFGetAppDirUtf8());
        TellFileProblem(GetLangString(L"The lock file cannot be used:"), SF_SOFT_BASE::Utf8ToWide(lockFile),
                        instanceLock.LockFileError());
        if (FolderWriteError(SFGetAppDir()) != 0)
            return;
    }
    for (const std::wstring& folder : FindUnwritableSaveFolders(SFGetAppDir()))
        TellCannotSaveIn(folder);
    TellWhenSettingsAreShared(SFGetAppDir() + L"/Config");
    const CConfigManager* settings = CConfigManager::GetInstance();
    TellAboutOutputFolders({settings->SnapPath, settings->VideoPath});
}

// Tells the user, once, which clips cut short by the end of an earlier run
// were kept, and under which names.
void TellAboutKeptClips(const std::vector<std::string>& kept)
{
    if (kept.empty())
        return;
    std::wstring names;
    for (const std::string& name : kept)
        names += (names.empty() ? L"" : L", ") + SF_SOFT_BASE::Utf8ToWide(name);
    ShowNotifyMessage(std::wstring(GetLangString(L"Clips cut short when the program last ended were kept as:")) +
                          L" " + names,
                      true);
}

// Reads the MIME database on a thread of its own, so that the association
// check finds it read when its turn comes; a package file of ours that the
// database would take minutes over, and files of the user's database it
// would block on, are set aside first. Ready once read.
std::shared_future<void> PreloadMimeDatabase()
{
    std::promise<void> read;
    std::shared_future<void> ready = read.get_future().share();
    // Left to itself: start waits for it only so long (a FIFO in a system
    // MIME folder would hold it for good).
    std::thread([read = std::move(read)]() mutable {
        SetAsideRefusedMimePackage();
        QMimeDatabase().mimeTypeForName(QStringLiteral("video/mp4"));
        SF_SOFT_BASE::MarkMimeDatabaseRead();
        read.set_value();
    }).detach();
    return ready;
}

// The recording types that files do not yet open with this program; none
// when the MIME database was not read in time (the database is then not
// touched again on this thread: it would wait for the reader).
std::list<std::wstring> FindUnassociatedRecordTypes(const std::shared_future<void>& mimeRead)
{
    if (mimeRead.wait_for(kMimeReadWait) != std::future_status::ready) {
        std::fputs("lumivex: the MIME database was not read in time; file types are not checked in this run\n",
                   stderr);
        return {};
    }
    return FindUnassociatedFileTypes(GetProgramFileAssociation(),
                                     CConfigManager::GetInstance()->GetRecordFormats());
}

// Asks whether the types should open with this program; registers them on yes.
void OfferFileAssociation(const std::list<std::wstring>& missing)
{
    if (missing.empty())
        return;
    const std::wstring prompt = MakeFileAssociationPrompt(missing);
    if (ShowMessageBox(prompt.c_str(), GetLangString(L"Prompt"), 1) != 1)
        return;
    const std::wstring icon = SFGetAppDir() + L"/Skin/Lumivex.png";
    RegisterFileTypes(GetProgramFileAssociation(), missing, icon);
}

// The file or folder named on the command line, taken relative to the folder
// the user started from (start-up later makes the program folder the
// current one); empty without one.
std::string CommandLinePath(int argc, char* argv[])
{
    if (argc < 2 || !argv[1] || !*argv[1])
        return {};
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(argv[1], error);
    return error ? std::string(argv[1]) : absolute.string();
}

// A signal's close did not end the loop in time (the window thread is stuck):
// saves the settings unless the loop has already left or the close tried
// it, and ends the process.
void EndAfterSignal(bool loopRunning)
{
    std::fputs("lumivex: the window did not close in time after a signal; leaving without it\n", stderr);
    if (loopRunning)
        CConfigManager::GetInstance()->SaveAtExitUnlessTried(kLateSaveWaitMs);
    std::_Exit(0);
}

// Ends the worker loops; a worker that does not end in time ends the process.
void ExitMessageLoopsInTime()
{
    CExitWatchdog watchdog(kWorkerJoinLimitMs, [] {
        std::fputs("lumivex: a worker loop did not end in time; leaving without it\n", stderr);
        std::_Exit(0);
    });
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
}

}  // namespace

// Keeps the qt.conf the program carries (the paths Qt was built with) unless
// the ones beside the program, which Qt prefers, are safe to read. Before
// Qt first asks for its paths; outside any namespace, as the resource's
// functions are.
static void ChooseQtConf()
{
#ifdef LUMIVEX_OWN_QT_CONF
    if (LibraryConfigFiles::AreQtConfFilesSafe(SFGetAppDirUtf8()))
        Q_CLEANUP_RESOURCE(qtconf);
    else
        std::fputs("lumivex: the qt.conf beside the program cannot be read safely; Qt's own paths are used\n",
                   stderr);
#endif
}

int main(int argc, char* argv[])
{
    CTerminationWatcher::EndAtOnceUntilWatched();
    // Before any library reads them, and before threads start.
    LibraryConfigFiles::GuardPulseClientConfig();
    ChooseQtConf();
    const std::string commandLinePath = CommandLinePath(argc, argv);
    CSingleInstanceLock instanceLock;
    switch (instanceLock.Acquire(SFGetAppDirUtf8())) {
    case CSingleInstanceLock::Result::HeldByAnother:
        return 0;
    case CSingleInstanceLock::Result::Unavailable:
        std::fputs("lumivex: no instance lock can be taken (program, runtime and cache folders refuse it)\n", stderr);
        return 1;
    case CSingleInstanceLock::Result::Acquired:
        break;
    }
    CFontSetUp fontSetUp;
    SF_SOFT_BASE::CSFSystem::ReturnFreedMemoryEagerly();

    QApplication app(argc, argv);
    SFSetApplication(&app);
    const std::shared_future<void> mimeRead = PreloadMimeDatabase();
    InstallCrashHandler(true);
    LumivexBase::SetTaskTraceEnabled(0);
    LumivexBase::SetTaskTraceLevel(0);

    SFInitApp();
    SFLoadStyleSheet(SFGetAppDir() + L"/Lumivex_Style.css");
    SFSetSkinPath(SFGetAppDir() + L"/Skin/");
    SFPrefetchSkinImages();

    LoadSettings();
    std::string translation;
    QTranslator translator;
    LoadTranslation(translator, translation);
    CreateWorkingFolders();
    // Temporaries a crash left; those another instance writes are held.
    std::vector<std::string> keptClips;
    CLeftTemporaries::CleanProgramTemporaries(CConfigManager::GetInstance()->SnapPath,
                                               CConfigManager::GetInstance()->VideoPath,
                                               PLAY_MODULE::CAviKeptClip::Keep, &keptClips);
    if (!StartMessageLoops()) {
        LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
        return 1;
    }
    InitRender();

    const std::list<std::wstring> unassociated = FindUnassociatedRecordTypes(mimeRead);
    std::atomic<bool> loopRunning{true};
    CTerminationWatcher terminationWatcher(kSignalCloseGraceMs, [&loopRunning] { EndAfterSignal(loopRunning); });
    {
        boost::shared_ptr<CMainFrameEventImp> mainFrame = CMainFrameEventImp::Create(commandLinePath.empty() ? nullptr : commandLinePath.c_str());
        // Once the window is up: loading them earlier would hold up the
        // libraries Qt loads while it starts.
        QTimer::singleShot(0, [] { DeferredLibraries::StartLoading(); });
        TellAboutSettingsFile();
        TellAboutSaveFolders(instanceLock);
        TellAboutKeptClips(keptClips);
        OfferFileAssociation(unassociated);
        app.exec();
        loopRunning = false;
    }

    // Workers end and are joined while the application object still exists.
    ExitMessageLoopsInTime();
    SFUninitApp();
    return 0;
}
