#include "FileIndex/NamingRuleParser.h"

#include <cwctype>
#include <string_view>

#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/NamingRule.h"

namespace {

constexpr std::size_t kExtensionCompareLength = 7;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads up to maxDigits decimal digits at pos; false when there is none.
bool ReadNumber(std::wstring_view text, std::size_t& pos, std::size_t maxDigits, std::int64_t& value)
{
    value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && digits < maxDigits && IsDigit(text[pos])) {
        value = value * 10 + (text[pos] - L'0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

// Reads an unbounded number; values past the limit read as limit + 1.
bool ReadBoundedNumber(std::wstring_view text, std::size_t pos, std::int64_t limit, std::int64_t& value)
{
    value = 0;
    if (pos >= text.size() || !IsDigit(text[pos]))
        return false;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = std::min<std::int64_t>(value * 10 + (text[pos] - L'0'), limit + 1);
    return true;
}

bool IsLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads "yyyyMMddhhmmss" by fixed widths (a field ends early at a
// non-digit) and refuses fields that are no real date-time.
bool ReadDateTime(std::wstring_view text, SF_SOFT_BASE::CSFDateTime& out)
{
    static constexpr std::size_t kWidths[6] = {4, 2, 2, 2, 2, 2};
    std::int64_t fields[6] = {};
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        if (!ReadNumber(text, pos, kWidths[i], fields[i]))
            return false;
    }
    const auto [year, month, day, hour, minute, second] = fields;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return false;
    out.SetFields(static_cast<std::int32_t>(year), static_cast<std::int32_t>(month),
                  static_cast<std::int32_t>(day), static_cast<std::int32_t>(hour),
                  static_cast<std::int32_t>(minute), static_cast<std::int32_t>(second));
    return true;
}

}  // namespace

CNamingRuleParser::CNamingRuleParser(const std::list<std::wstring>* list)
{
    if (list && !list->empty())
        extensions = *list;
    else
        extensions.push_back(L".kvx");
}

bool CNamingRuleParser::Parse(const wchar_t* fileName)
{
    if (!fileName || !MatchesRule(fileName))
        return false;
    if (!SplitName(fileName))
        return false;
    // A start before 1970 has no time value: it would give every such
    // recording the same keys.
    m_startKey = m_times.ToTime(start);
    m_dayKey = m_times.DayKey(start);
    return m_startKey != 0 && m_dayKey > 0 && m_startKey < m_times.ToTime(end);
}

bool CNamingRuleParser::MatchesRule(const wchar_t* fileName) const
{
    return NamingRule::Matches(fileName);
}

bool CNamingRuleParser::SplitName(std::wstring_view text)
{
    using namespace FileIndexKeys;
    const std::size_t first = text.find(L'_');
    if (first == std::wstring::npos)
        return false;
    name.assign(text.substr(0, first));

    const std::size_t second = text.find(L'_', first + 1);
    if (second == std::wstring::npos || text.substr(first + 1, 2) != L"ch")
        return false;
    std::int64_t number = 0;
    if (!ReadBoundedNumber(text, first + 3, kMaxChannel, number) || !IsValidChannel(number))
        return false;
    const std::int32_t channelNumber = static_cast<std::int32_t>(number);

    std::int64_t stream = 0;
    std::size_t timeBegin = second + 1;
    if (timeBegin < text.size() && !IsDigit(text[timeBegin])) {
        const std::size_t streamEnd = text.find(L'_', timeBegin);
        if (streamEnd == std::wstring::npos)
            return false;
        const std::wstring_view part = text.substr(timeBegin, streamEnd - timeBegin);
        if (part.substr(0, 5) == L"extra") {
            if (!ReadBoundedNumber(part, 5, kMaxStream, stream) || !IsValidStream(stream))
                return false;
        } else if (part != L"main") {
            return false;
        }
        timeBegin = streamEnd + 1;
    }
    channel = MakeChannelKey(channelNumber, static_cast<std::int32_t>(stream));

    const std::size_t timeSplit = text.find(L'_', timeBegin);
    if (timeSplit == std::wstring::npos)
        return false;
    return ReadDateTime(text.substr(timeBegin, timeSplit - timeBegin), start) &&
           ReadDateTime(text.substr(timeSplit + 1), end);
}

bool CNamingRuleParser::IsSupportedExtension(const wchar_t* extension) const
{
    if (!extension)
        return false;
    wchar_t buffer[kExtensionCompareLength];
    std::size_t length = 0;
    for (; length < kExtensionCompareLength && extension[length]; ++length)
        buffer[length] = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(extension[length])));
    const std::wstring_view lowered(buffer, length);
    for (const std::wstring& entry : extensions) {
        if (entry == lowered)
            return true;
    }
    return false;
}

bool CNamingRuleParser::ParseDateFolder(const wchar_t* folderName)
{
    if (!folderName || !NamingRule::MatchesDateFolder(folderName))
        return false;
    const std::wstring text(folderName);
    std::int64_t fields[3] = {};
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            ++pos;  // the hyphen
        if (!ReadNumber(text, pos, 4, fields[i]))
            return false;
    }
    folderDate.SetFields(static_cast<std::int32_t>(fields[0]), static_cast<std::int32_t>(fields[1]),
                         static_cast<std::int32_t>(fields[2]), 0, 0, 0);
    return true;
}
