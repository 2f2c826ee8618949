#include "Common/LeftTemporaries.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Base/AtomicFileWriter.h"
#include "Base/HeldTemporary.h"
#include "Base/TextCodec.h"
#include "Common/AppDir.h"

using SF_SOFT_BASE::CAtomicFileWriter;
using SF_SOFT_BASE::CHeldTemporary;

namespace {

constexpr std::size_t kRandomSize = CHeldTemporary::kRandomSize;
// A writer makes its temporary, then locks it: an empty one this young may
// be between the two.
constexpr std::time_t kNewEmptySeconds = 60;

bool IsRandom(const std::string& name, std::size_t at)
{
    return std::all_of(name.begin() + std::ptrdiff_t(at), name.begin() + std::ptrdiff_t(at + kRandomSize),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The size of the temporary suffix that ends name at end, else 0: the
// program's own, or, where they count, ".~XXXXXX" and ".XXXXXX" of earlier
// versions.
std::size_t SuffixBefore(const std::string& name, std::size_t end, bool earlierForms)
{
    if (CHeldTemporary::EndsWithSuffix(name, end))
        return CHeldTemporary::kSuffixSize;
    if (!earlierForms || end <= kRandomSize + 2 || !IsRandom(name, end - kRandomSize))
        return 0;
    if (name.compare(end - kRandomSize - 2, 2, ".~") == 0)
        return kRandomSize + 2;
    return name[end - kRandomSize - 1] == '.' ? kRandomSize + 1 : 0;
}

bool IsDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// "<YYYYMMDDhhmmss>" or "<YYYYMMDDhhmmss>(n)", before its extension.
bool IsSeriesName(const std::string& base)
{
    const std::size_t dot = base.rfind('.');
    const std::string_view stem = std::string_view(base).substr(0, dot == std::string::npos ? base.size() : dot);
    constexpr std::size_t kStampSize = 14;
    if (stem.size() < kStampSize || !IsDigits(stem.substr(0, kStampSize)))
        return false;
    const std::string_view rest = stem.substr(kStampSize);
    return rest.empty() || (rest.size() > 2 && rest.front() == '(' && rest.back() == ')' &&
                            IsDigits(rest.substr(1, rest.size() - 2)));
}

bool Matches(const std::string& base, const CLeftTemporaries::Kind& kind)
{
    if (kind.seriesNamesOnly && !IsSeriesName(base))
        return false;
    if (std::find(kind.names.begin(), kind.names.end(), base) != kind.names.end())
        return true;
    return std::any_of(kind.extensions.begin(), kind.extensions.end(), [&](const std::string& extension) {
        return base.size() > extension.size() && base.ends_with(extension);
    });
}

bool IsOwnRegularFile(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
}

// The whole part of a clip cut short; false when none of it is.
bool CutToWhole(const std::string& path, std::uint64_t size, const CLeftTemporaries::Kind& kind)
{
    const std::uint64_t whole = kind.wholeEnd ? kind.wholeEnd(path) : size;
    return whole > 0 && (whole >= size || ::truncate(path.c_str(), off_t(whole)) == 0);
}

// Handles one temporary while holding it, so no writer takes it meanwhile.
bool Clean(const std::string& path, const std::string& basePath, const CLeftTemporaries::Kind& kind,
           std::vector<std::string>* kept)
{
    CHeldTemporary held = CHeldTemporary::TryHold(path);
    struct stat status {};
    if (!held.IsValid() || ::fstat(held.Descriptor(), &status) != 0)
        return false;
    if (status.st_size == 0 && std::time(nullptr) - status.st_mtime < kNewEmptySeconds)
        return false;
    if (kind.keepsFootage && status.st_size > 0 && CutToWhole(path, std::uint64_t(status.st_size), kind)) {
        const std::string name = CAtomicFileWriter::RenameToFreeName(path, CAtomicFileWriter::IncompleteName(basePath));
        if (!name.empty() && kept)
            kept->push_back(name);
        return !name.empty();
    }
    held.Remove();
    return true;
}

std::string Folder(const std::wstring& folder)
{
    std::string path = SF_SOFT_BASE::WideToUtf8(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The folders of a picture export's channels ("<folder>/<channel key>").
std::vector<std::string> ChannelFolders(const std::string& folder)
{
    std::vector<std::string> found;
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return found;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (IsDigits(name))
            found.push_back(folder + "/" + name);
    }
    ::closedir(directory);
    return found;
}

}  // namespace

bool CLeftTemporaries::IsTemporaryOf(const std::string& name, std::string& base, bool earlierForms)
{
    std::size_t end = name.size();
    while (const std::size_t suffix = SuffixBefore(name, end, earlierForms))
        end -= suffix;
    if (end == name.size() || end == 0)
        return false;
    base = name.substr(0, end);
    return true;
}

int CLeftTemporaries::CleanIn(const std::string& folder, const Kind& kind, std::vector<std::string>* kept)
{
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return 0;
    std::vector<std::pair<std::string, std::string>> found;  // (temporary, its file)
    while (const dirent* entry = ::readdir(directory)) {
        std::string base;
        if (IsTemporaryOf(entry->d_name, base, kind.earlierForms) && Matches(base, kind))
            found.emplace_back(folder + "/" + entry->d_name, folder + "/" + base);
    }
    ::closedir(directory);
    int handled = 0;
    for (const auto& [path, basePath] : found)
        handled += IsOwnRegularFile(path) && Clean(path, basePath, kind, kept) ? 1 : 0;
    return handled;
}

int CLeftTemporaries::CleanProgramTemporaries(const std::wstring& snapFolder, const std::wstring& videoFolder,
                                              std::function<std::uint64_t(const std::string&)> wholeEnd,
                                              std::vector<std::string>* kept)
{
    const std::string app = SFGetAppDirUtf8();
    int handled = CleanIn(app + "/Config", {{"config.xml"}, {}, true, false});
    // The layouts are protected from a plain copy beside them.
    const std::string plainLayouts = app + "/CustomLayout.dat.plain";
    handled += IsOwnRegularFile(plainLayouts) && ::unlink(plainLayouts.c_str()) == 0 ? 1 : 0;
    handled += CleanIn(app, {{"CustomLayout.dat", "CustomLayout.dat.plain"}, {}, true, false});
    handled += CleanIn(app + "/Index", {{}, {".qxi"}, true, false});
    // The picture and video folders are the user's choice, and may hold anything.
    const Kind pictures{{}, {".jpg", ".bmp"}, false, false};
    const Kind seriesPictures{{}, {".jpg", ".bmp"}, false, false, true};
    for (const std::string& folder : {Folder(snapFolder), Folder(videoFolder)}) {
        handled += CleanIn(folder, pictures);
        for (const std::string& channel : ChannelFolders(folder))
            handled += CleanIn(channel, seriesPictures);
    }
    handled += CleanIn(Folder(videoFolder), {{}, {".avi"}, false, true, false, std::move(wholeEnd)}, kept);
    handled += CleanIn(Folder(videoFolder), {{}, {".kvx"}, false, true}, kept);
    return handled;
}
