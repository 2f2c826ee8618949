#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace PLAY_MODULE {

// The last bytes of a stream, by their stream offset: holds what follows the
// point the owner still needs (DropBefore) up to room bytes of it.
class CStreamTail {
public:
    explicit CStreamTail(std::size_t room) : m_room(room) {}

    void Append(std::span<const std::uint8_t> bytes);
    void DropBefore(std::uint64_t offset);
    // Drops all but the last bytes held.
    void KeepLast(std::uint64_t bytes);
    // The bytes from offset to the end of the stream; nothing when some of
    // them are no longer held.
    std::optional<std::span<const std::uint8_t>> From(std::uint64_t offset) const;
    void Reset();

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_base = 0;  // stream offset of m_bytes[0]
    std::size_t m_room;
};

}  // namespace PLAY_MODULE
