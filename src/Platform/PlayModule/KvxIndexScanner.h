#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/PlayModule/KeyFrameIndex.h"
#include "Platform/PlayModule/KvxRecordHeader.h"

namespace PLAY_MODULE {

// Builds the key-frame index of a ".kvx" file from its record headers
// alone: payloads are stepped over, never read. Damage is stepped over
// as the record parser does.
class CKvxIndexScanner {
public:
    // False when the file cannot be opened or holds no record; a set
    // cancel flag ends the scan early (false).
    static bool Scan(const std::string& path, CKeyFrameIndex& out,
                     const std::atomic<bool>* cancel = nullptr);

private:
    explicit CKvxIndexScanner(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    bool Run(CKeyFrameIndex& out, const std::atomic<bool>* cancel);
    bool HeaderAt(std::uint64_t pos, KvxRecordHeader& header);
    std::optional<std::uint64_t> FindHeaderFrom(std::uint64_t from, std::uint64_t limit);
    bool Window(std::uint64_t pos, std::size_t size);

    int m_fd;
    std::uint64_t m_size;
    std::vector<std::uint8_t> m_window;
    std::uint64_t m_windowStart = 0;
    std::size_t m_windowSize = 0;
};

}  // namespace PLAY_MODULE
