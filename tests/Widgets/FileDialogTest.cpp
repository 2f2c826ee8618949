#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <QMimeDatabase>

#include <functional>
#include <thread>

#include "Support/Fifo.h"
#include "Support/ScopedEnv.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTFileDialog.h"

namespace {

// Answers the next modal file dialog with `answer` once it is up.
void WhenDialogOpens(std::function<void(QFileDialog*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("clips");
        QFile file(dir.path() + "/clips/a.kvx");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        CSFQTFileDialog::SetRememberedFolder(dir.path());
    }

    int ChooseFile(wchar_t* buffer, int size)
    {
        return SFShowFileDialog(nullptr, buffer, size, 1, 0, L"kvx", 0, 0x800006, L"Video(*.kvx)", nullptr);
    }

    QTemporaryDir dir;
};

TEST_F(FileDialogTest, FileModeDeliversThePathAndRemembersIt)
{
    QString startedIn;
    const QString chosen = dir.path() + "/clips/a.kvx";
    WhenDialogOpens([&](QFileDialog* dialog) {
        startedIn = dialog->directory().absolutePath();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    wchar_t buffer[520] = {};
    EXPECT_EQ(ChooseFile(buffer, 520), 1);
    EXPECT_EQ(startedIn, QDir(dir.path()).absolutePath());
    EXPECT_EQ(std::wstring(buffer), chosen.toStdWString());
    EXPECT_EQ(CSFQTFileDialog::RememberedFolder(), chosen);

    WhenDialogOpens([&](QFileDialog* dialog) {
        startedIn = dialog->directory().absolutePath();
        dialog->reject();
    });
    EXPECT_EQ(ChooseFile(buffer, 520), 0);
    EXPECT_EQ(startedIn, QDir(dir.path() + "/clips").absolutePath()) << "the next dialog starts where the file was";
    EXPECT_EQ(CSFQTFileDialog::RememberedFolder(), chosen) << "a cancel changes nothing";
}

TEST_F(FileDialogTest, ALongPathIsCutToTheBufferAndTerminated)
{
    const QString chosen = dir.path() + "/clips/a.kvx";
    WhenDialogOpens([&](QFileDialog* dialog) {
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    wchar_t buffer[9];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(ChooseFile(buffer, 8), 1);
    EXPECT_EQ(std::wstring(buffer), chosen.left(7).toStdWString());
    EXPECT_EQ(buffer[8], L'#');
}

TEST_F(FileDialogTest, FolderModeWritesTheThirdRowOfTheRecord)
{
    const QString folder = dir.path() + "/clips";
    WhenDialogOpens([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        dialog->selectFile(folder);
        static_cast<QDialog*>(dialog)->accept();
    });
    std::vector<wchar_t> record(CSFQTFileDialog::kFolderRecordSize, L'\0');
    wchar_t title[256] = {};
    EXPECT_EQ(SFShowFileDialog(record.data(), title, 256, 0, 0, nullptr, 0, 0x800206, nullptr, nullptr), 1);
    EXPECT_EQ(std::wstring(record.data() + CSFQTFileDialog::kFolderOffset), folder.toStdWString());
    EXPECT_EQ(record[0], L'\0');
    EXPECT_EQ(CSFQTFileDialog::RememberedFolder(), folder);
}

TEST_F(FileDialogTest, FolderModeWithoutRecordRemembersButReportsNothing)
{
    const QString folder = dir.path() + "/clips";
    WhenDialogOpens([&](QFileDialog* dialog) {
        dialog->selectFile(folder);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(SFShowFileDialog(nullptr, nullptr, 0, 0, 0, nullptr, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(CSFQTFileDialog::RememberedFolder(), folder);
}

TEST_F(FileDialogTest, ParentDeletedWhileTheDialogRunsEndsItAsCancelled)
{
    auto* parent = new QWidget;
    WhenDialogOpens([parent](QFileDialog*) { delete parent; });
    wchar_t buffer[64] = {L'x', 0};
    EXPECT_EQ(SFShowFileDialog(nullptr, buffer, 64, 1, 0, nullptr, 0, 0, nullptr, parent), 0);
    EXPECT_EQ(std::wstring(buffer), L"x");
    EXPECT_EQ(CSFQTFileDialog::RememberedFolder(), dir.path());
}

// A reader stuck on a FIFO in a MIME folder holds the MIME database's lock
// for good: the dialog lists files and closes without asking it.
TEST_F(FileDialogTest, AStuckMimeDatabaseReaderHoldsNoDialogUp)
{
    const QString system = dir.path() + "/system";
    ASSERT_TRUE(QDir().mkpath(system + "/mime"));
    Fifo mimeCache((system + "/mime/mime.cache").toStdString());
    ASSERT_TRUE(mimeCache.IsValid());
    ScopedEnv dataDirs("XDG_DATA_DIRS", system.toUtf8().constData());
    ScopedEnv dataHome("XDG_DATA_HOME", (dir.path() + "/home").toUtf8().constData());
    std::thread reader([] { QMimeDatabase().mimeTypeForName(QStringLiteral("video/mp4")); });
    for (const char* name : {"/clips/b.kvx", "/c.mp4", "/d.txt"}) {
        QFile file(dir.path() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const bool returned = ReturnsHereWithoutBlocking(mimeCache, [&] {
        WhenDialogOpens([](QFileDialog* dialog) {
            QTimer::singleShot(500, dialog, [dialog] {
                dialog->setDirectory(dialog->directory().absolutePath() + "/clips");
                QTimer::singleShot(500, dialog, &QDialog::reject);
            });
        });
        wchar_t buffer[64] = {};
        ChooseFile(buffer, 64);
    }, std::chrono::seconds(15));
    EXPECT_TRUE(returned);
    mimeCache.Release();
    reader.join();
}

// A FIFO as the dialogs' own settings file of the user would hold the
// dialog up for good: it keeps its state in the runtime folder instead.
TEST_F(FileDialogTest, ADialogSettingsFileThatIsNoFileHoldsNothingUp)
{
    const QString config = dir.path() + "/config";
    const QString runtime = dir.path() + "/runtime";
    ASSERT_TRUE(QDir().mkpath(config) && QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    Fifo settings((config + "/QtProject.conf").toStdString());
    ASSERT_TRUE(settings.IsValid());
    ScopedEnv configHome("XDG_CONFIG_HOME", config.toUtf8().constData());
    ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.toUtf8().constData());
    const bool returned = ReturnsHereWithoutBlocking(settings, [&] {
        WhenDialogOpens([](QFileDialog* dialog) { dialog->reject(); });
        wchar_t buffer[64] = {};
        ChooseFile(buffer, 64);
    }, std::chrono::seconds(15));
    EXPECT_TRUE(returned);
    EXPECT_TRUE(QFile::exists(runtime + "/QtProject.conf"));
}

}  // namespace
