#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/PlayModule/Source/KeyFrameIndex.h"
#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE {

// Builds the key-frame index of a ".kvx" file from its record headers
// alone: payloads are stepped over, never read (the kernel is told not to
// read ahead). Damage is stepped over as the record parser does. Large
// files are scanned in slices at once, joined where their record chains meet.
class CKvxIndexScanner {
public:
    // Files of two slices or more are scanned in slices at once.
    static constexpr std::uint64_t kSliceBytes = 8u << 20;

    // False when the file cannot be opened or holds no record; a set
    // cancel flag ends the scan early (false).
    static bool Scan(const std::string& path, CKeyFrameIndex& out,
                     const std::atomic<bool>* cancel = nullptr, std::uint64_t sliceBytes = kSliceBytes);
    // Position of the last key frame at or before timeMs (UTC ms), found by
    // bisection without an index; the first key frame when all are later.
    static std::optional<std::uint64_t> FindKeyFrame(const std::string& path, std::int64_t timeMs);

private:
    struct Slice {
        std::vector<CKeyFrameIndex::Entry> entries;
        bool any = false;
        std::int64_t startTimeMs = 0;
        std::int64_t endTimeMs = 0;
        std::uint64_t firstPos = 0;  // first sound header of the slice
        std::uint64_t exitPos = 0;   // where its chain left the slice
    };

    explicit CKvxIndexScanner(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    bool Run(CKeyFrameIndex& out, const std::atomic<bool>* cancel, std::uint64_t sliceBytes);
    bool RunSlices(CKeyFrameIndex& out, int slices, const std::atomic<bool>* cancel, bool& joined);
    bool Walk(std::uint64_t pos, std::uint64_t stop, Slice& out, const std::atomic<bool>* cancel);
    std::optional<CKeyFrameIndex::Entry> KeyFrameFrom(std::uint64_t from);
    std::optional<std::uint64_t> Bisect(std::int64_t timeMs);
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
