#pragma once

#include <list>
#include <string>

// One error found in a checked file: its detail code (texts with the
// detail dialog) and the local time at which it occurred.
struct WatermarkErrorEntry {
    int code = 0;
    std::wstring time;
};

// One result row of the watermark page.
struct WatermarkFileRecord {
    std::wstring watermarkText;
    std::wstring path;
    int number = 0;
    std::list<WatermarkErrorEntry> errors;
    // Watermark texts reported, and errors reported about watermark texts:
    // more of the first means at least one watermark was verified.
    int textReports = 0;
    int textErrors = 0;
};
