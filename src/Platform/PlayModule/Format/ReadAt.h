#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include <sys/types.h>
#include <unistd.h>

namespace PLAY_MODULE {

// pread, again when a signal cut it short.
inline ssize_t ReadAt(int fd, std::uint8_t* into, std::size_t size, std::uint64_t pos)
{
    ssize_t n;
    do {
        n = ::pread(fd, into, size, static_cast<off_t>(pos));
    } while (n < 0 && errno == EINTR);
    return n;
}

// All size bytes from pos, or false.
inline bool ReadFullyAt(int fd, std::uint8_t* into, std::size_t size, std::uint64_t pos)
{
    while (size > 0) {
        const ssize_t n = ReadAt(fd, into, size, pos);
        if (n <= 0) return false;
        into += n;
        pos += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace PLAY_MODULE
