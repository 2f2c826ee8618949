#include "Main/PathNames.h"

#include <cerrno>
#include <sys/stat.h>

#include "Base/TextCodec.h"
#include "Common/FileNameHelpers.h"

namespace {

// The numbers MakeTimeStampFileName draws from.
constexpr int kStampNumbers = 10000;

bool NameIsFree(const std::wstring& path)
{
    struct stat st;
    return ::lstat(SF_SOFT_BASE::WideToUtf8(path).c_str(), &st) != 0 && errno == ENOENT;
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FileNameWithoutExtension(const std::wstring& path)
{
    const std::wstring name = FileNameOf(path);
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring MakeUnusedTimeStampFileName(const std::wstring& folder, std::int32_t channelKey, std::uint32_t time,
                                         const std::wstring& suffix)
{
    std::wstring drawn;
    MakeTimeStampFileName(channelKey, time, drawn, suffix);
    const std::size_t mark = drawn.rfind(L'_');
    const std::wstring stamp = drawn.substr(0, mark + 1);
    const int first = std::stoi(drawn.substr(mark + 1));
    for (int step = 0; step < kStampNumbers; ++step) {
        std::wstring name = stamp + std::to_wstring((first + step) % kStampNumbers) + suffix;
        if (NameIsFree(folder + name))
            return name;
    }
    return {};
}
