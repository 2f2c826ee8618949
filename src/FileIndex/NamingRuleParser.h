#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

#include "Base/SFDateTime.h"
#include "FileIndex/LocalTimeCache.h"

// The recorders' file-naming rule:
//   <name>_ch<channel>_[main_|extra<N>_]<yyyyMMddhhmmss>_<yyyyMMddhhmmss>[tail]
// plus the supported-extension test and the date-folder test ("2016-1-2").
// After a successful Parse the members describe the name; after a failed one
// they may be partly overwritten.
class CNamingRuleParser {
public:
    // Copies the extension list (each with its dot); null or empty gives
    // {".kvx"}.
    explicit CNamingRuleParser(const std::list<std::wstring>* extensions = nullptr);
    virtual ~CNamingRuleParser() = default;

    // Tests and splits one file name (no folder; extension optional).
    bool Parse(const wchar_t* fileName);
    // Compares the first 7 characters of the extension, lower-cased, with
    // each entry of the list.
    bool IsSupportedExtension(const wchar_t* extension) const;
    // True for a folder named as a date; stores it in folderDate.
    bool ParseDateFolder(const wchar_t* folderName);

    // After a successful Parse: the start's time value and day key.
    std::uint32_t StartKey() const { return m_startKey; }
    std::int32_t DayKey() const { return m_dayKey; }

    std::wstring name;          // recorder (group) name
    std::int32_t channel = -1;  // channel key
    SF_SOFT_BASE::CSFDateTime start;
    SF_SOFT_BASE::CSFDateTime end;
    SF_SOFT_BASE::CSFDateTime folderDate;
    std::list<std::wstring> extensions;

private:
    bool MatchesRule(const wchar_t* fileName) const;
    bool SplitName(std::wstring_view fileName);

    CLocalTimeCache m_times;
    std::uint32_t m_startKey = 0;
    std::int32_t m_dayKey = 0;
};
