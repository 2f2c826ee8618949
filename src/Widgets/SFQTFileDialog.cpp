#include "Widgets/SFQTFileDialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

#include <cstdint>

#include "Base/FileSystemHelpers.h"

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTFileIconProvider.h"
#include "Widgets/SkinParser.h"
#include "Widgets/WidgetsLog.h"

namespace {

QString& Remembered()
{
    static QString folder;
    return folder;
}

bool& RememberedIsSet()
{
    static bool set = false;
    return set;
}

void RememberAppFolderOnce()
{
    if (RememberedIsSet())
        return;
    Remembered() = QCoreApplication::applicationDirPath();
    RememberedIsSet() = true;
}

// Larger than any state the dialogs keep.
constexpr std::uintmax_t kMaxDialogSettingsBytes = 1 << 20;

bool IsSafeDialogSettingsFolder(const QString& folder)
{
    return SF_SOFT_BASE::IsAbsentOrSmallRegularFile(QFile::encodeName(folder + "/QtProject.conf").toStdString(),
                                                     kMaxDialogSettingsBytes);
}

// The dialogs read and write their state (the view, the folders visited) in
// "QtProject.conf" of the user's settings folder; when that file cannot be
// read safely (a FIFO would block the dialog for good), in the runtime
// folder instead.
void ChooseDialogSettingsFolder()
{
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QString folder = configHome;
    if (!IsSafeDialogSettingsFolder(configHome)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        qCWarning(lcWidgets) << "the file dialogs' settings in" << configHome
                             << "cannot be read safely; they are kept in" << folder;
    }
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder);
}

// Starts the dialog in the remembered folder; a remembered file stands for
// the folder that holds it.
void StartInRemembered(QFileDialog& dialog)
{
    dialog.setIconProvider(CSFQTFileIconProvider::Get());
    const QFileInfo remembered(Remembered());
    dialog.setDirectory(remembered.isFile() ? remembered.absolutePath() : Remembered());
}

// Runs the modal dialog and deletes it; the first path of an accepted dialog
// becomes the remembered one and is returned, otherwise the result is empty.
// The parent may delete the dialog while it runs.
QString RunAndRemember(QFileDialog* raw)
{
    const QPointer<QFileDialog> dialog(raw);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return QString();
    const QStringList chosen = accepted ? dialog->selectedFiles() : QStringList();
    delete dialog;
    if (chosen.isEmpty())
        return QString();
    Remembered() = chosen.first();
    return chosen.first();
}

int ChooseFile(wchar_t* file, int size, const wchar_t* initialText, QWidget* parent)
{
    qCDebug(lcWidgets) << Remembered() << SFQTStringFromWide(initialText);
    auto* dialog = new QFileDialog(parent);
    StartInRemembered(*dialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    const QString path = RunAndRemember(dialog);
    if (path.isEmpty() || !file || size <= 0)
        return 0;
    SFQTCopyToWideBuffer(path, file, size);
    return 1;
}

int ChooseFolder(wchar_t* folderRecord, QWidget* parent)
{
    auto* dialog = new QFileDialog(parent);
    StartInRemembered(*dialog);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks |
                       QFileDialog::DontUseNativeDialog);
    const QString path = RunAndRemember(dialog);
    if (path.isEmpty() || !folderRecord)
        return 0;
    SFQTCopyToWideBuffer(path, folderRecord + CSFQTFileDialog::kFolderOffset,
                         CSFQTFileDialog::kFolderRecordSize - CSFQTFileDialog::kFolderOffset);
    return 1;
}

}  // namespace

int CSFQTFileDialog::ShowFileDialog(wchar_t* folderRecord, wchar_t* file, int size, int mode, int,
                                    const wchar_t*, int, unsigned, const wchar_t* initialText, QWidget* parent)
{
    RememberAppFolderOnce();
    ChooseDialogSettingsFolder();
    if (mode != 0)
        return ChooseFile(file, size, initialText, parent);
    return ChooseFolder(folderRecord, parent);
}

QString CSFQTFileDialog::RememberedFolder()
{
    RememberAppFolderOnce();
    return Remembered();
}

void CSFQTFileDialog::SetRememberedFolder(const QString& folder)
{
    Remembered() = folder;
    RememberedIsSet() = true;
}

int SFShowFileDialog(wchar_t* folderRecord, wchar_t* file, int size, int mode, int word5,
                     const wchar_t* defaultSuffix, int word7, unsigned flags, const wchar_t* initialText, void* parent)
{
    return CSFQTFileDialog::ShowFileDialog(folderRecord, file, size, mode, word5, defaultSuffix, word7, flags,
                                           initialText, static_cast<QWidget*>(parent));
}
