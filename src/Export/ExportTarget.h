#pragma once

#include <cstdint>
#include <string>

// One export job: a byte range of one recording and where it goes.
struct ExportTarget {
    std::string srcPath;  // source recording (UTF-8)
    std::string dstPath;  // types 0 and 1: the output file; 2 and 3: the image folder
    std::uint32_t startTime = 0;  // seconds since 1970; places the first snapshot
    std::uint32_t endTime = 0;
    std::uint64_t startOffset = 0;  // first byte exported (a key frame)
    std::uint64_t endOffset = 0;    // first byte not exported
    std::uint32_t type = 0;         // 0 AVI, 1 raw copy, 2 JPEG series, 3 BMP series
    std::uint32_t snapshotInterval = 0;  // seconds between two snapshots
    std::uint32_t fileStartTime = 0;  // seconds since 1970 of the recording's first frame, as the page shows it
};

enum ExportType : std::uint32_t {
    EXPORT_TYPE_AVI = 0,
    EXPORT_TYPE_RAW = 1,
    EXPORT_TYPE_JPEG = 2,
    EXPORT_TYPE_BMP = 3,
};
