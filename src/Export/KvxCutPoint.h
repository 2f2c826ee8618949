#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"

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
    // The key-frame footer for the copy kept up to end (the whole copy or a
    // boundary); empty when the copy is no whole records up to there.
    std::vector<std::uint8_t> Footer(std::uint64_t end) const;

private:
    void TakeHeader(const std::uint8_t* header);

    std::uint64_t m_copied = 0;      // bytes fed so far
    std::uint64_t m_nextRecord = 0;  // copy offset of the next record head
    std::uint64_t m_boundary = 0;
    std::uint64_t m_recordsSeen = 0;
    PLAY_MODULE::CKvxIndexFooter m_footer;
    std::array<std::uint8_t, PLAY_MODULE::kvx::kHeaderSize> m_partial{};
    std::size_t m_partialSize = 0;
    bool m_broken = false;  // lost the records: the last boundary stays
};
