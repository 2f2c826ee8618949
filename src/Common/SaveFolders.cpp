#include "Common/SaveFolders.h"

#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsWritableFolder(const std::wstring& folder)
{
    return FolderWriteError(folder) == 0;
}

std::wstring ErrorText(int error)
{
    return SF_SOFT_BASE::Utf8ToWide(std::strerror(error));
}

// True the first time the folder is named in this run.
bool IsFirstTold(const std::wstring& folder)
{
    static std::mutex mutex;
    static std::set<std::wstring> told;
    std::lock_guard<std::mutex> lock(mutex);
    return told.insert(folder).second;
}

// Names the folder with the reason when it is known.
std::wstring MakeNotice(const std::wstring& folder)
{
    const std::wstring problem = DescribeFolderWriteError(folder);
    return std::wstring(GetLangString(
               L"Settings and indexes cannot be saved: the program folder cannot be written to:")) +
           L" " + (problem.empty() ? folder : problem);
}

std::wstring FolderOf(const std::wstring& file)
{
    const std::size_t slash = file.rfind(L'/');
    return slash == std::wstring::npos ? L"." : file.substr(0, slash);
}

// Why the file could not be used: a link where the program wants a file of
// its own is said as such ("Too many levels of symbolic links" misleads).
std::wstring FileErrorText(const std::wstring& file, int error)
{
    struct stat entry {};
    if (error == ELOOP && ::lstat(SF_SOFT_BASE::WideToUtf8(file).c_str(), &entry) == 0 && S_ISLNK(entry.st_mode))
        return GetLangString(L"Is a link");
    return ErrorText(error ? error : EIO);
}

void Log(const std::wstring& notice)
{
    std::fprintf(stderr, "lumivex: %s\n", SF_SOFT_BASE::WideToUtf8(notice).c_str());
}

// In the notification pop-up (through the event loop, so any thread may
// call) and on the error output.
void Tell(const std::wstring& notice)
{
    Log(notice);
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        ShowNotifyMessage(notice, true);
        return;
    }
    QMetaObject::invokeMethod(application, [notice] { ShowNotifyMessage(notice, true); }, Qt::QueuedConnection);
}

}  // namespace

int FolderWriteError(const std::wstring& folder)
{
    const std::string path = SF_SOFT_BASE::WideToUtf8(folder);
    ::mkdir(path.c_str(), 0755);
    struct stat entry {};
    if (::stat(path.c_str(), &entry) != 0)
        return errno;
    if (!S_ISDIR(entry.st_mode))
        return ENOTDIR;
    // As the effective user, who writes the files.
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

std::wstring DescribeFolderWriteError(const std::wstring& folder)
{
    if (folder.empty())
        return {};  // no folder named (a setting left empty): nothing to say of it
    const int error = FolderWriteError(folder);
    return error == 0 ? std::wstring() : folder + L": " + ErrorText(error);
}

std::wstring WithFolderProblem(const std::wstring& failure, const std::wstring& folder)
{
    const std::wstring problem = DescribeFolderWriteError(folder);
    return problem.empty() ? failure : failure + L" " + problem;
}

std::vector<std::wstring> FindUnwritableSaveFolders(const std::wstring& programFolder)
{
    std::vector<std::wstring> unwritable;
    for (const wchar_t* name : {L"/Config", L"/Index"})
        if (!IsWritableFolder(programFolder + name))
            unwritable.push_back(programFolder + name);
    return unwritable;
}

void TellCannotSaveIn(const std::wstring& folder)
{
    if (IsFirstTold(folder))
        Tell(MakeNotice(folder));
}

void TellAboutOutputFolders(const std::vector<std::wstring>& folders)
{
    for (const std::wstring& folder : folders) {
        const std::wstring problem = DescribeFolderWriteError(folder);
        if (!problem.empty() && IsFirstTold(folder))
            Tell(std::wstring(GetLangString(L"Snapshots and clips cannot be saved: the folder cannot be written to:")) +
                 L" " + problem);
    }
}

void TellFileProblem(const std::wstring& failure, const std::wstring& file, int error)
{
    const std::wstring folder = FolderOf(file);
    if (!IsWritableFolder(folder))
        TellCannotSaveIn(folder);
    else if (IsFirstTold(file))
        Tell(failure + L" " + file + L": " + FileErrorText(file, error));
}

bool TellWhenSettingsAreShared(const std::wstring& configFolder)
{
    const std::string file = SF_SOFT_BASE::WideToUtf8(configFolder) + "/config.xml";
    struct stat entry {};
    const bool othersFile = ::stat(file.c_str(), &entry) == 0 && entry.st_uid != ::geteuid();
    if (!othersFile || !IsWritableFolder(configFolder) || !IsFirstTold(configFolder))
        return false;
    Tell(std::wstring(GetLangString(L"The settings are shared with another user of this computer: the one who "
                                    L"closes the program last keeps theirs:")) +
         L" " + configFolder);
    return true;
}

std::wstring LogCannotSave(const std::wstring& file, int error)
{
    const std::wstring text = std::wstring(GetLangString(L"The settings could not be saved:")) + L" " + file + L": " +
                              ErrorText(error ? error : EIO);
    Log(text);
    return text;
}

std::wstring LogOpenedPathsLeftOut(std::size_t count)
{
    const std::wstring text =
        std::wstring(GetLangString(L"The settings file would grow too large: the oldest remembered folders were "
                                   L"left out:")) +
        L" " + std::to_wstring(count);
    Log(text);
    return text;
}
