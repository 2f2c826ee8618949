#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "Platform/PlayModule/Format/KvxFormat.h"

// Follows the record heads of ".kvx" bytes as they are copied, so that a copy
// cut short can end where a group of pictures (and the signature closing it)
// ends: just before the last key frame copied.
class CKvxCutPoint {
public:
    // The copy starts anew (at a record head).
    void Reset();
    // The next bytes of the copy.
    void Feed(const std::uint8_t* data, std::size_t size);

    // False once the bytes were found to be no ".kvx" records from the start.
    bool IsKvx() const { return m_recordsSeen > 0 || !m_broken; }
    // Bytes of the copy that end at a signed boundary (0 when none).
    std::uint64_t LastBoundary() const { return m_boundary; }

private:
    void TakeHeader(const std::uint8_t* header);

    std::uint64_t m_copied = 0;      // bytes fed so far
    std::uint64_t m_nextRecord = 0;  // copy offset of the next record head
    std::uint64_t m_boundary = 0;
    std::uint64_t m_recordsSeen = 0;
    std::array<std::uint8_t, PLAY_MODULE::kvx::kHeaderSize> m_partial{};
    std::size_t m_partialSize = 0;
    bool m_broken = false;  // lost the records: the last boundary stays
};
