#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE_TEST {

struct ReferenceRecord {
    std::uint64_t position = 0;
    PLAY_MODULE::KvxRecordHeader header;
};

// Every record of a ".kvx" file, found byte by byte by the rules of
// docs/kvx-format.md, plainly and slowly: the reference the fast paths are
// compared with.
std::vector<ReferenceRecord> ReferenceWalk(const std::string& path);

// Compares the file reader's records and the index walk (whole and in
// slices) with the reference records of the file; empty when all agree.
std::string WalkDisagreement(const std::string& path, const std::vector<ReferenceRecord>& records);

// Compares every fast path with the reference walk of the file: the file
// reader's records, the index (footer or walk, whole or in slices), the
// key frame found without an index, the end time the open reads, and the
// end of an export's cut.
// Empty when all agree, else what disagreed.
std::string FastPathDisagreement(const std::string& path);

}  // namespace PLAY_MODULE_TEST
