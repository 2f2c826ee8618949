#include "Common/FileNameHelpers.h"

#include "Base/SFDateTime.h"

#include <cwchar>
#include <cwctype>
#include <map>
#include <mutex>
#include <random>
#include <set>

namespace {

constexpr int kRandomRange = 10000;
constexpr std::size_t kRememberedStamps = 256;

std::wstring FormatStamp(std::int32_t channelKey, std::uint32_t time)
{
    SF_SOFT_BASE::CSFDateTime t;
    t.FromTime(time);
    wchar_t buffer[260];
    if (channelKey == -1) {
        std::swprintf(buffer, 260, L"%4d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
    } else {
        int channel = channelKey & 0xFFFFFF;
        int stream = (channelKey >> 24) & 0xFF;
        if (stream == 0)
            std::swprintf(buffer, 260, L"%4d%02d%02d%02d%02d%02d[%d]", t.year, t.month, t.day,
                          t.hour, t.minute, t.second, channel);
        else
            std::swprintf(buffer, 260, L"%4d%02d%02d%02d%02d%02d[%d_%d]", t.year, t.month, t.day,
                          t.hour, t.minute, t.second, channel, stream);
    }
    return buffer;
}

// Hands out random numbers that are unique per stamp for the recent stamps.
class CStampNumbers {
public:
    int Next(const std::wstring& stamp)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_used.size() >= kRememberedStamps && !m_used.count(stamp))
            m_used.clear();
        std::set<int>& used = m_used[stamp];
        std::uniform_int_distribution<int> pick(0, kRandomRange - 1);
        int number = pick(m_engine);
        while (used.size() < kRandomRange && used.count(number))
            number = pick(m_engine);
        used.insert(number);
        return number;
    }

private:
    std::mutex m_mutex;
    std::mt19937 m_engine{std::random_device{}()};
    std::map<std::wstring, std::set<int>> m_used;
};

}  // namespace

int MakeTimeStampFileName(std::int32_t channelKey, std::uint32_t time, std::wstring& fileName,
                          const std::wstring& suffix)
{
    static CStampNumbers numbers;
    std::wstring stamp = FormatStamp(channelKey, time);
    fileName = stamp + L"_" + std::to_wstring(numbers.Next(stamp)) + suffix;
    return 1;
}

std::int32_t GetFileTypeByExtension(const std::wstring& filePath)
{
    auto dot = filePath.rfind(L'.');
    if (dot == std::wstring::npos)
        return 0;
    std::wstring ext = filePath.substr(dot, 7);
    for (auto& c : ext)
        c = static_cast<wchar_t>(std::towlower(c));
    static const wchar_t* const kTypes[] = {L".kvx", L".avi", L".mp4", L".ps", L".ts"};
    for (int i = 0; i < 5; ++i)
        if (ext == kTypes[i])
            return i + 1;
    return 0;
}
