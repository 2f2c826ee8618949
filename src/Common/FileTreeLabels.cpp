#include "Common/FileTreeLabels.h"

#include <cstdint>
#include <cwchar>

#include "Base/SFDateTime.h"
#include "Common/LangString.h"
#include "FileIndex/FileIndexTypes.h"

std::wstring ChannelLabel(int channelKey)
{
    const int stream = FileIndexKeys::GetStreamIndex(channelKey);
    std::wstring text = GetLangString(L"Channel") + std::to_wstring(FileIndexKeys::GetChannelNumber(channelKey)) + L"_";
    if (stream == 0)
        return text + GetLangString(L"main");
    return text + GetLangString(L"extra") + std::to_wstring(stream);
}

std::wstring DayLabel(int dayKey)
{
    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(static_cast<std::uint32_t>(dayKey));
    wchar_t text[12] = {};
    std::swprintf(text, 12, L"%4d-%02d-%02d", date.year, date.month, date.day);
    return text;
}
