#include "Common/LeftTemporaries.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Base/AtomicFileWriter.h"
#include "Base/TextCodec.h"
#include "Common/AppDir.h"

namespace {

constexpr std::size_t kRandomSize = 6;  // mkstemp's "XXXXXX"

bool IsRandom(const std::string& name, std::size_t at)
{
    return std::all_of(name.begin() + std::ptrdiff_t(at), name.begin() + std::ptrdiff_t(at + kRandomSize),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The size of the temporary suffix that ends name at end: ".~XXXXXX", or,
// where unmarked ones count, the ".XXXXXX" of earlier versions; else 0.
std::size_t SuffixBefore(const std::string& name, std::size_t end, bool unmarkedToo)
{
    const std::size_t marked = SF_SOFT_BASE::CAtomicFileWriter::kTemporarySuffixSize;
    if (end > marked && name.compare(end - marked, 2, ".~") == 0 && IsRandom(name, end - kRandomSize))
        return marked;
    const std::size_t unmarked = kRandomSize + 1;
    if (unmarkedToo && end > unmarked && name[end - unmarked] == '.' && IsRandom(name, end - kRandomSize))
        return unmarked;
    return 0;
}

bool IsRegularFile(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool Matches(const std::string& base, const std::vector<std::string>& names,
             const std::vector<std::string>& extensions)
{
    if (std::find(names.begin(), names.end(), base) != names.end())
        return true;
    return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& extension) {
        return base.size() > extension.size() && base.ends_with(extension);
    });
}

std::string Folder(const std::wstring& folder)
{
    std::string path = SF_SOFT_BASE::WideToUtf8(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

bool CLeftTemporaries::IsTemporaryOf(const std::string& name, std::string& base, bool unmarkedToo)
{
    std::size_t end = name.size();
    while (const std::size_t suffix = SuffixBefore(name, end, unmarkedToo))
        end -= suffix;
    if (end == name.size() || end == 0)
        return false;
    base = name.substr(0, end);
    return true;
}

int CLeftTemporaries::RemoveIn(const std::string& folder, const std::vector<std::string>& names,
                               const std::vector<std::string>& extensions, bool unmarkedToo)
{
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return 0;
    std::vector<std::string> found;
    while (const dirent* entry = ::readdir(directory)) {
        std::string base;
        if (IsTemporaryOf(entry->d_name, base, unmarkedToo) && Matches(base, names, extensions))
            found.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(directory);
    int removed = 0;
    for (const std::string& path : found)
        removed += IsRegularFile(path) && ::unlink(path.c_str()) == 0 ? 1 : 0;
    return removed;
}

int CLeftTemporaries::RemoveProgramTemporaries(const std::wstring& snapFolder, const std::wstring& videoFolder)
{
    const std::string app = SFGetAppDirUtf8();
    // The program's own folders hold no file of the user's, so the
    // unmarked temporaries of earlier versions go too; the picture and
    // video folders are the user's choice, and may hold anything.
    int removed = RemoveIn(app + "/Config", {"config.xml"}, {}, true);
    // The layouts are protected from a plain copy beside them.
    const std::string plainLayouts = app + "/CustomLayout.dat.plain";
    removed += IsRegularFile(plainLayouts) && ::unlink(plainLayouts.c_str()) == 0 ? 1 : 0;
    removed += RemoveIn(app, {"CustomLayout.dat", "CustomLayout.dat.plain"}, {}, true);
    removed += RemoveIn(app + "/Index", {}, {".qxi"}, true);
    removed += RemoveIn(Folder(snapFolder), {}, {".jpg", ".bmp"}, false);
    removed += RemoveIn(Folder(videoFolder), {}, {".avi", ".kvx"}, false);
    return removed;
}
