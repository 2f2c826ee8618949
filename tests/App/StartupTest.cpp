// Start-up and shutdown of the real program, run from a private copy.
#include <gtest/gtest.h>

#include "Support/AppTestSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kStartTimeoutMs = 30000;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        programDir = m_root.path() + "/program";
        ASSERT_TRUE(QDir().mkpath(programDir));
        ASSERT_TRUE(QDir().mkpath(m_root.path() + "/runtime"));
        QFile::setPermissions(m_root.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                              QFileDevice::ExeOwner);
        program = programDir + "/lumivex";
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVEX_PROGRAM), program));
    }

    void Configure(QProcess& process, bool withRuntimeFolder = true) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!withRuntimeFolder)
            env.remove("XDG_RUNTIME_DIR");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (withRuntimeFolder)
            env.insert("XDG_RUNTIME_DIR", m_root.path() + "/runtime");
        env.insert("XDG_CONFIG_HOME", m_root.path() + "/config");
        env.insert("XDG_DATA_HOME", m_root.path() + "/data");
        // A signal may end the program while a library the demuxer loads
        // is still making its state: what that library holds is not ours.
        const QString suppressions = m_root.path() + "/leaks.supp";
        QFile file(suppressions);
        if (file.open(QIODevice::WriteOnly))
            file.write("leak:libsrt-gnutls.so\n");
        env.insert("LSAN_OPTIONS", "suppressions=" + suppressions);
        process.setProcessEnvironment(env);
        process.setProgram(program);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
    {
        for (int waited = 0; waited < timeoutMs; waited += 50) {
            if (condition())
                return true;
            QThread::msleep(50);
        }
        return condition();
    }

    bool FoldersExist() const
    {
        for (const char* name : {"Picture", "Index", "Video"})
            if (!QFileInfo(programDir + "/" + name).isDir())
                return false;
        return true;
    }

    // Started and past its set-up: the working folders exist.
    void StartAndWait(QProcess& process)
    {
        Configure(process);
        process.start();
        ASSERT_TRUE(process.waitForStarted(kStartTimeoutMs));
        ASSERT_TRUE(WaitFor([this] { return FoldersExist(); }, kStartTimeoutMs));
        QThread::msleep(300);
        ASSERT_EQ(process.state(), QProcess::Running);
    }

    // Started with its error output kept apart, to be read.
    void StartReadingErrors(QProcess& process) const
    {
        Configure(process);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start();
        ASSERT_TRUE(process.waitForStarted(kStartTimeoutMs));
    }

    static bool ReadErrorsUntil(QProcess& process, QByteArray& output, const std::function<bool()>& told)
    {
        return WaitFor([&] {
            process.waitForReadyRead(10);
            output += process.readAllStandardError();
            return told();
        }, kStartTimeoutMs);
    }

    static void CloseAndExpectZero(QProcess& process)
    {
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    QTemporaryDir m_root;
    QString programDir;
    QString program;
};

TEST_F(StartupTest, MakesItsFoldersBesideTheProgramAndClosesWithZero)
{
    QProcess first;
    StartAndWait(first);
    EXPECT_TRUE(QFileInfo::exists(programDir + "/Lumivex-" + QString::number(::geteuid()) + ".lock"));
    CloseAndExpectZero(first);
}

TEST_F(StartupTest, ASignalWhileItStartsEndsItWithZero)
{
    QProcess starting;
    Configure(starting);
    starting.start();
    ASSERT_TRUE(starting.waitForStarted(kStartTimeoutMs));
    const QString lockFile = programDir + "/Lumivex-" + QString::number(::geteuid()) + ".lock";
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(lockFile); }, kStartTimeoutMs));
    CloseAndExpectZero(starting);
}

TEST_F(StartupTest, TemporariesLeftByACrashAreCleanedAtStartAndNothingElse)
{
    for (const char* folder : {"Config", "Index", "Picture/65537", "Picture/2024", "Video"})
        ASSERT_TRUE(QDir().mkpath(programDir + "/" + folder));
    // The program's own folders hold no file of the user's: there the names
    // of earlier versions go too.
    const QStringList left{"Config/config.xml.Ab12Cd", "Config/config.xml.~Ab12Cd", "Config/config.xml.~lumivex-Ab12Cd",
                           "CustomLayout.dat.Zz09yY", "CustomLayout.dat.plain", "CustomLayout.dat.plain.q1W2e3",
                           "Index/ch1.qxi.A1b2C3", "Picture/20160102.jpg.~lumivex-xY7aB9",
                           "Picture/65537/20160102080000.jpg.~lumivex-xY7aB9"};
    // The picture and video folders may be the user's own.
    const QStringList kept{"Config/notes.xml.Ab12Cd", "Index/ch1.qxi", "Index/ch1.qxi.A1b2C", "Video/copy.kvx_",
                           "Video/holiday.txt.~lumivex-Ab12Cd", "Picture/.jpg.~lumivex-Ab12Cd", "Video/copy.kvx",
                           "Video/evidence.kvx.~backup", "Video/my statement.avi.~Draft1", "Picture/scene.jpg.~edited",
                           "Picture/20160102.jpg.xY7aB9", "Video/clip.avi.~Cc22Dd",
                           "Picture/2024/beach.jpg.~lumivex-Ab12Cd", "Picture/2024/20240101.bmp.~lumivex-Ab12Cd"};
    // Footage is kept as a clip cut short; an empty placeholder goes.
    const QStringList footage{"Video/clip.avi.~lumivex-Cc22Dd.~lumivex-Ee33Ff", "Video/copy.kvx.~lumivex-Gg44Hh"};
    const QStringList keptAs{"Video/clip_incomplete.avi", "Video/copy_incomplete(1).kvx"};
    for (const QString& name : left + kept + footage + QStringList{"Video/copy_incomplete.kvx"}) {
        QFile file(programDir + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write("x");
    }
    const QString placeholder = programDir + "/Video/clip.avi.~lumivex-Cc22Dd";
    QFile(placeholder).open(QIODevice::WriteOnly);
    const timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimes(placeholder.toLocal8Bit().constData(), old), 0);
    // Another instance writes this one: it holds it.
    const QString written = programDir + "/Video/other.avi.~lumivex-Hh55Ii";
    const int held = ::open(written.toLocal8Bit().constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::write(held, "x", 1), 1);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(QDir().mkpath(programDir + "/Index/folder.qxi.Ab12Cd"));
    QProcess process;
    Configure(process);
    process.start();
    ASSERT_TRUE(process.waitForStarted(kStartTimeoutMs));
    WaitFor([&] {
        return std::none_of(left.begin(), left.end(),
                            [&](const QString& name) { return QFileInfo::exists(programDir + "/" + name); }) &&
               std::all_of(keptAs.begin(), keptAs.end(),
                           [&](const QString& name) { return QFileInfo::exists(programDir + "/" + name); });
    }, kStartTimeoutMs);
    process.kill();
    ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
    ::close(held);
    for (const QString& name : left + footage + QStringList{"Video/clip.avi.~lumivex-Cc22Dd"})
        EXPECT_FALSE(QFileInfo::exists(programDir + "/" + name)) << name.toStdString();
    for (const QString& name : kept + keptAs + QStringList{"Video/other.avi.~lumivex-Hh55Ii"})
        EXPECT_TRUE(QFileInfo::exists(programDir + "/" + name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo(programDir + "/Index/folder.qxi.Ab12Cd").isDir());
}

TEST_F(StartupTest, SecondInstanceLeavesAtOnceWithZero)
{
    QProcess first;
    StartAndWait(first);
    QProcess second;
    Configure(second);
    second.start();
    ASSERT_TRUE(second.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    CloseAndExpectZero(first);
}

TEST_F(StartupTest, SecondInstanceLeavesAlsoWithoutTheRuntimeFolder)
{
    QProcess first;
    StartAndWait(first);
    QProcess second;
    Configure(second, false);
    second.start();
    ASSERT_TRUE(second.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    CloseAndExpectZero(first);
}

// Whether the process has the file open.
bool HasOpen(qint64 pid, const QString& file)
{
    const QString canonical = QFileInfo(file).canonicalFilePath();
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == canonical)
            return true;
    return false;
}

// A short recording written into folder; its path, empty when none was written.
QString WriteRecording(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return {};
    if (WriteSampleRecordings(folder.toStdString(), "Cam01", "--channel 1 --seconds 60") != 0)
        return {};
    const QStringList written = QDir(folder).entryList({"*.kvx"}, QDir::Files);
    return written.size() == 1 ? folder + "/" + written.front() : QString();
}

TEST_F(StartupTest, ARelativeFileIsTakenFromTheFolderStartedInAndPlays)
{
    const QString work = m_root.path() + "/work";
    const QString written = QFileInfo(WriteRecording(work + "/clips")).fileName();
    ASSERT_FALSE(written.isEmpty());
    QProcess first;
    first.setWorkingDirectory(work);
    first.setArguments({"clips/" + written});
    StartAndWait(first);
    const QString recording = work + "/clips/" + written;
    EXPECT_TRUE(WaitFor([&] { return HasOpen(first.processId(), recording); }, kStartTimeoutMs));
    CloseAndExpectZero(first);
}

TEST_F(StartupTest, LockGoesWithACrashedProcess)
{
    QProcess first;
    StartAndWait(first);
    first.kill();
    ASSERT_TRUE(first.waitForFinished(kStartTimeoutMs));
    QProcess again;
    Configure(again);
    again.start();
    ASSERT_TRUE(again.waitForStarted(kStartTimeoutMs));
    EXPECT_FALSE(again.waitForFinished(3000));  // runs instead of leaving at once
    CloseAndExpectZero(again);
}

TEST_F(StartupTest, BrokenSettingsFileIsKeptAsideAndDefaultsWrittenBackAtExit)
{
    ASSERT_TRUE(QDir().mkpath(programDir + "/Config"));
    QFile config(programDir + "/Config/config.xml");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    const QByteArray broken("<Setting><UIConfig><Language value=\"1\"");
    config.write(broken);
    config.close();
    // Closed only once its window is up: a signal while it starts ends it
    // before anything is written back.
    const QString recording = WriteRecording(m_root.path() + "/clips");
    ASSERT_FALSE(recording.isEmpty());
    QProcess first;
    first.setArguments({recording});
    StartAndWait(first);
    ASSERT_TRUE(WaitFor([&] { return HasOpen(first.processId(), recording); }, kStartTimeoutMs));
    CloseAndExpectZero(first);
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    const QByteArray written = config.readAll();
    EXPECT_TRUE(written.contains("<Language value=\"1\""));
    EXPECT_TRUE(written.trimmed().endsWith("</Setting>"));
    QFile kept(programDir + "/Config/config.xml.bad");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), broken);
}

// Settings and index files that cannot be saved are not lost silently,
// whatever keeps them from their folder (here a plain file, which stops
// root too; a folder of another user is the same to the program).
TEST_F(StartupTest, AFolderSettingsCannotBeSavedInIsToldAtStart)
{
    QFile config(programDir + "/Config");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("a plain file where the folder goes");
    config.close();
    QProcess first;
    StartReadingErrors(first);
    QByteArray output;
    const QByteArray told = "cannot be saved: the program folder cannot be written to: " +
                            QFile::encodeName(programDir) + "/Config";
    EXPECT_TRUE(ReadErrorsUntil(first, output, [&] { return output.contains(told); })) << output.constData();
    EXPECT_FALSE(output.contains("/Index"));
    CloseAndExpectZero(first);
}

// A lock file that cannot be used is told by its name and why; the program
// folder, which takes the settings, is not blamed.
TEST_F(StartupTest, ALockFileThatCannotBeUsedIsToldByItsName)
{
    const QString lockFile = programDir + "/Lumivex-" + QString::number(::geteuid()) + ".lock";
    ASSERT_TRUE(QFile::link("/dev/zero", lockFile));
    QProcess first;
    StartReadingErrors(first);
    QByteArray output;
    ReadErrorsUntil(first, output, [&] { return output.contains(".lock") || output.contains("cannot be written to"); });
    EXPECT_TRUE(output.contains("The lock file cannot be used: " + QFile::encodeName(lockFile) + ": Is a link"))
        << output.constData();
    EXPECT_FALSE(output.contains("cannot be written to")) << output.constData();
    // The settings are saved in the program folder all the same.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kStartTimeoutMs));
    EXPECT_TRUE(QFileInfo::exists(programDir + "/Config/config.xml")) << first.readAllStandardError().constData();
}

TEST_F(StartupTest, LanguageWithoutItsFileTurnsEnglish)
{
    ASSERT_TRUE(QDir().mkpath(programDir + "/Config"));
    QFile config(programDir + "/Config/config.xml");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("<Setting><UIConfig><Language value=\"7\"/></UIConfig></Setting>");
    config.close();
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVEX_SOURCE_DIR "/resources/Lang_1.xml"), programDir + "/Lang_1.xml"));
    QProcess first;
    StartAndWait(first);  // loads no qt_de.qm either: there is none
    CloseAndExpectZero(first);
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    EXPECT_TRUE(config.readAll().contains("<Language value=\"1\""));
}

TEST_F(StartupTest, RunsWithoutSkinOrStyleSheet)
{
    // The private copy has neither Skin/ nor the style sheet beside it.
    EXPECT_FALSE(QFileInfo::exists(programDir + "/Skin"));
    QProcess first;
    StartAndWait(first);
    CloseAndExpectZero(first);
}

}  // namespace
