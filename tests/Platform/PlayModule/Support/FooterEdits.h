#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace PLAY_MODULE_TEST {

// Changes to the key-frame footer that ends a recording, each left with its
// checksum redone, as someone who meant them would leave them.
enum class FooterEdit {
    FromOtherRecording,  // another recording's footer, its table offset made to fit
    PositionsMoved,      // every key-frame position 48 bytes further
    TableMovedToo,       // the same, and the table offset with them
    TimesMoved,          // first time an hour earlier, latest an hour later
    ReservedSet,         // the trailer's reserved bytes not 0
    MadeUpTable,         // ten made-up key frames in place of the real table
    FirstLeftOut,        // the first key frame left out of the table
};

// bytes end in a footer; other (FromOtherRecording) too.
std::vector<std::uint8_t> WithFooterEdit(std::vector<std::uint8_t> bytes, FooterEdit edit,
                                         std::span<const std::uint8_t> other = {});
// The footer at the end of bytes made to claim a front cut: its table offset
// and positions moved further by shift, its entries below cutOff replaced by
// invented ones (time, position; the first at 0) and its first time the
// first invented one's.
std::vector<std::uint8_t> WithClaimedFrontCut(const std::vector<std::uint8_t>& bytes, std::uint64_t shift,
                                              std::uint64_t cutOff,
                                              const std::vector<std::pair<std::int64_t, std::uint64_t>>& invented);
// The footer at the end of bytes gets the checksum of what it now holds.
void ResealFooter(std::vector<std::uint8_t>& bytes);
// Whole records starting at a key frame, ended with the footer of their own
// that the program's export gives a clip.
std::vector<std::uint8_t> WithOwnFooter(std::span<const std::uint8_t> records);

}  // namespace PLAY_MODULE_TEST
