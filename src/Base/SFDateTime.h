#pragma once

#include <cstdint>

namespace SF_SOFT_BASE {

// Broken-down local date-time. Time values are seconds since 1970 UTC;
// years from 2038 on convert as 2037, which keeps every stored time inside
// the signed 32-bit range.
class CSFDateTime {
public:
    CSFDateTime() = default;
    CSFDateTime(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                std::int32_t minute, std::int32_t second);

    void SetFields(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                   std::int32_t minute, std::int32_t second);
    // Local date-time of the value; returns the value.
    std::uint32_t FromTime(std::uint32_t time);
    void SetTime(std::uint32_t time) { FromTime(time); }
    void Now();
    // Time value of the fields; 0 when they cannot be converted.
    std::uint32_t ToTime() const;
    // Time value of six loose values with range checks; 0 when out of range.
    static std::int32_t MakeTime(std::int32_t year, std::int32_t month, std::int32_t day,
                                 std::int32_t hour, std::int32_t minute, std::int32_t second);

    bool operator==(const CSFDateTime&) const = default;

    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
};

std::int32_t MakeLocalTime(std::int32_t year, std::int32_t month, std::int32_t day,
                           std::int32_t hour, std::int32_t minute, std::int32_t second);

// Time value of today's local midnight.
std::int32_t GetTodayStartTime();

}  // namespace SF_SOFT_BASE
