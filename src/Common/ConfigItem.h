#pragma once

#include <cstdint>
#include <string>

// One registered setting: its place in the file, its live variable (exactly
// one of the four pointers is set) and its default and limits.
struct ConfigItem {
    std::wstring group;
    std::wstring key;
    bool* boolValue = nullptr;
    std::int32_t* intValue = nullptr;
    double* doubleValue = nullptr;
    std::wstring* stringValue = nullptr;
    bool boolDefault = false;
    std::int32_t intDefault = 0;
    double doubleDefault = 0.0;
    std::wstring stringDefault;
    std::int32_t scale = 0;
    std::int32_t min = 0;
    std::int32_t max = 0;
};
