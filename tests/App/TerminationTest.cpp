// A termination signal closes the windows as the close button does and
// waits for them; the shutdown's last steps are bounded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <thread>

#include "ExitWatchdog.h"
#include "Support/Fifo.h"
#include "TerminationWatcher.h"

namespace {

// A main window as the main frame is: the first close starts the pages'
// close and is ignored; a close after that is let through.
class SlowClosingWindow : public QWidget {
public:
    int asked = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (++asked == 1)
            event->ignore();
        else
            event->accept();
    }
};

// Runs the application's loop until something ends it (at most limitMs);
// true when it ended before the limit.
bool RunLoop(int limitMs)
{
    bool limitReached = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        limitReached = true;
        QCoreApplication::exit(0);
    });
    limit.start(limitMs);
    QApplication::exec();
    return !limitReached;
}

}  // namespace

TEST(Termination, ASignalAsksTheWindowsAndLeavesTheLoopToThem)
{
    SlowClosingWindow window;
    window.show();
    CTerminationWatcher watcher(60000, [] {});
    bool ranOn = false;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    // Once asked, the window ends the loop itself after its pages answered.
    QTimer answered;
    QObject::connect(&answered, &QTimer::timeout, [&] {
        if (window.asked == 0)
            return;
        ranOn = true;
        QCoreApplication::exit(0);
    });
    answered.start(50);
    EXPECT_TRUE(RunLoop(30000));
    EXPECT_EQ(window.asked, 1);
    EXPECT_TRUE(ranOn) << "the loop ended before the window answered";
}

TEST(Termination, AWindowThatNeverAnswersIsGivenUpAfterTheGrace)
{
    SlowClosingWindow window;
    window.show();
    CTerminationWatcher watcher(100, [] {});
    QTimer::singleShot(0, [] { std::raise(SIGHUP); });
    EXPECT_TRUE(RunLoop(30000));
    EXPECT_EQ(window.asked, 1);
}

// The GUI thread is stuck in a call: the end comes from the watcher's own
// thread once the grace and the time to leave the loop have passed.
TEST(Termination, AStuckWindowThreadIsEndedFromAThreadOfItsOwn)
{
    std::atomic<bool> late{false};
    CTerminationWatcher watcher(100, [&] { late = true; });
    std::raise(SIGTERM);
    QElapsedTimer stuck;
    stuck.start();
    while (!late && stuck.elapsed() < 20000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(late);
    EXPECT_GE(stuck.elapsed(), 100 + CTerminationWatcher::kLoopLeaveMs);
}

TEST(ExitWatchdog, AStepPastItsDeadlineIsCutShort)
{
    std::atomic<bool> late{false};
    {
        CExitWatchdog watchdog(20, [&] { late = true; });
        for (int waited = 0; !late && waited < 10000; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(late);
}

TEST(ExitWatchdog, AStepDoneInTimeIsLeftAlone)
{
    std::atomic<bool> late{false};
    {
        CExitWatchdog watchdog(600000, [&] { late = true; });
        watchdog.Disarm();
    }
    EXPECT_FALSE(late);
}

namespace {

constexpr int kProgramTimeoutMs = 60000;

// The real program, from a private copy, playing a recording made now.
class TerminationOfTheProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        const QString programDir = m_root.path() + "/program";
        ASSERT_TRUE(QDir().mkpath(programDir));
        ASSERT_TRUE(QDir().mkpath(m_root.path() + "/runtime"));
        QFile::setPermissions(m_root.path() + "/runtime",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_program = programDir + "/lumivex";
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVEX_PROGRAM), m_program));
        QProcess writer;
        writer.start(QStringLiteral(KVXWRITE_PROGRAM), {"--seconds", "30", "--size", "176x144", "--audio", "none",
                                                         "--start", "2016-01-02 03:04:05", m_root.path() + "/rec"});
        ASSERT_TRUE(writer.waitForFinished(kProgramTimeoutMs));
        ASSERT_EQ(writer.exitCode(), 0);
        const QStringList made = QDir(m_root.path() + "/rec").entryList({"*.kvx"}, QDir::Files);
        ASSERT_EQ(made.size(), 1);
        m_recording = m_root.path() + "/rec/" + made.front();
    }

    void Start(QProcess& process, const QString& dataDirs = QString())
    {
        // A write past a file size limit fails (EFBIG) instead of ending the program.
        process.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_IGN); });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!dataDirs.isEmpty())
            env.insert("XDG_DATA_DIRS", dataDirs);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", m_root.path() + "/runtime");
        env.insert("XDG_CONFIG_HOME", m_root.path() + "/config");
        env.insert("XDG_DATA_HOME", m_root.path() + "/data");
        // The page's debug lines tell how far the play and the close got.
        env.insert("QT_LOGGING_RULES", "lumivex.main.debug=true");
        process.setProcessEnvironment(env);
        process.start(m_program, {m_recording});
        ASSERT_TRUE(process.waitForStarted(kProgramTimeoutMs));
    }

    // Reads the program's error output until it holds text (or the limit passes).
    static bool WaitForOutput(QProcess& process, QByteArray& output, const char* text)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output.contains(text) && timer.elapsed() < kProgramTimeoutMs &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            output += process.readAllStandardError();
        }
        return output.contains(text);
    }

    QTemporaryDir m_root;
    QString m_program;
    QString m_recording;
};

}  // namespace

// FIFOs in place of the files it reads at start hold nothing up: the style
// sheet, skin pictures, the window icon, the qt.conf beside it and the
// user's MIME cache (which the association step makes; it is moved aside).
TEST_F(TerminationOfTheProgram, SigtermClosesThePlayPageFilesAndEndsWithZero)
{
    const std::string programDir = QFileInfo(m_program).path().toStdString();
    const std::string mimeFolder = m_root.path().toStdString() + "/data/mime";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(programDir + "/Skin")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(mimeFolder)));
    Fifo styleSheet(programDir + "/Lumivex_Style.css");
    Fifo skinPicture(programDir + "/Skin/Frame.png");
    Fifo windowIcon(programDir + "/Skin/Lumivex.png");
    Fifo mimeCache(mimeFolder + "/mime.cache");
    Fifo qtConf(programDir + "/qt.conf");
    ASSERT_TRUE(styleSheet.IsValid() && skinPicture.IsValid() && windowIcon.IsValid() && mimeCache.IsValid() &&
                qtConf.IsValid());
    QProcess process;
    Start(process);
    QByteArray output;
    ASSERT_TRUE(WaitForOutput(process, output, "Show ---playid")) << output.constData();
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(kProgramTimeoutMs));
    output += process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(output.contains("all playmodule closed,main page close successfully!")) << output.constData();
    EXPECT_TRUE(QFileInfo(QString::fromStdString(mimeFolder + "/mime.cache.bad")).exists());
}

// A MIME cache that is not the user's own blocks the database's reader for
// good: start goes on without it after a while.
TEST_F(TerminationOfTheProgram, AMimeDatabaseThatBlocksHoldsStartOnlyAWhile)
{
    const QString systemData = m_root.path() + "/system";
    ASSERT_TRUE(QDir().mkpath(systemData + "/mime"));
    Fifo mimeCache((systemData + "/mime/mime.cache").toStdString());
    ASSERT_TRUE(mimeCache.IsValid());
    QProcess process;
    Start(process, systemData + ":/usr/share");
    QByteArray output;
    ASSERT_TRUE(WaitForOutput(process, output, "Show ---playid")) << output.constData();
    EXPECT_TRUE(output.contains("the MIME database was not read in time")) << output.constData();
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(kProgramTimeoutMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(m_program).path() + "/Config/config.xml"));
}

// A full disk at exit: the close shows that the settings could not be
// saved. The box holds up neither the end nor a second try of the save.
TEST_F(TerminationOfTheProgram, TheSaveFailuresBoxHoldsUpNoSignalAndTheSaveIsTriedOnce)
{
    QProcess process;
    Start(process);
    QByteArray output;
    ASSERT_TRUE(WaitForOutput(process, output, "Show ---playid")) << output.constData();
    const struct rlimit full {0, RLIM_INFINITY};
    ASSERT_EQ(::prlimit(pid_t(process.processId()), RLIMIT_FSIZE, &full, nullptr), 0);
    process.terminate();
    ASSERT_TRUE(WaitForOutput(process, output, "could not be saved")) << output.constData();
    QElapsedTimer ending;
    ending.start();
    ASSERT_TRUE(process.waitForFinished(kProgramTimeoutMs));
    output += process.readAllStandardError();
    std::fprintf(stderr, "ended %lld ms after the save failed\n", static_cast<long long>(ending.elapsed()));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(output.count("could not be saved"), 1) << output.constData();
    EXPECT_FALSE(output.contains("did not close in time")) << output.constData();
}
