#include "Common/SaveFolders.h"

#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>
#include <mutex>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsWritableFolder(const std::wstring& folder)
{
    const std::string path = SF_SOFT_BASE::WideToUtf8(folder);
    ::mkdir(path.c_str(), 0755);
    struct stat entry {};
    return ::stat(path.c_str(), &entry) == 0 && S_ISDIR(entry.st_mode) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

// True the first time the folder is named in this run.
bool IsFirstTold(const std::wstring& folder)
{
    static std::mutex mutex;
    static std::set<std::wstring> told;
    std::lock_guard<std::mutex> lock(mutex);
    return told.insert(folder).second;
}

std::wstring MakeNotice(const std::wstring& folder)
{
    return std::wstring(GetLangString(
               L"Settings and indexes cannot be saved: the program folder cannot be written to:")) +
           L" " + folder;
}

void Log(const std::wstring& notice)
{
    std::fprintf(stderr, "lumivex: %s\n", SF_SOFT_BASE::WideToUtf8(notice).c_str());
}

}  // namespace

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
    if (!IsFirstTold(folder))
        return;
    const std::wstring notice = MakeNotice(folder);
    Log(notice);
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        ShowNotifyMessage(notice, true);
        return;
    }
    QMetaObject::invokeMethod(application, [notice] { ShowNotifyMessage(notice, true); }, Qt::QueuedConnection);
}

void LogCannotSaveIn(const std::wstring& folder)
{
    if (IsFirstTold(folder))
        Log(MakeNotice(folder));
}
