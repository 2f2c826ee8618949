#pragma once

#include <cstdint>
#include <optional>

namespace PLAY_MODULE {

// The time each decoded frame is shown at, in the order frames leave the
// decoder: its own time stamp where that is sane, else the time after the
// frame before it. A stamp is sane when it lies within the file and comes
// after the last sane one, near the frame before it (or near the stamp
// before it, which then was a true jump). Missing and garbage stamps are
// thus never waited for nor handed out. After a restart, the first sane
// stamp anchors the frames before it, whose times were only guessed.
class CFrameTimeline {
public:
    // The file's length in ms (0: unknown); stamps far past it are damage.
    void SetFileLength(std::int64_t durationMs) { m_durationMs = durationMs; }
    // Decoding starts again at a key frame: no frame comes before it, and
    // one without a sane stamp of its own is placed at fromMs.
    void Restart(std::int64_t fromMs);
    // The time of the next frame out of the decoder; frameMs is its length.
    std::int64_t Place(std::optional<std::int64_t> stampMs, std::int64_t frameMs);
    // Frames placed since the restart while no sane stamp came: their
    // times were guessed from the restart time. 0 once one came.
    std::size_t Unanchored() const { return m_lastSaneMs ? 0 : m_placed; }

private:
    bool Sane(std::int64_t stampMs, std::int64_t frameMs) const;
    bool InFile(std::int64_t stampMs) const;

    std::int64_t m_durationMs = 0;
    std::int64_t m_restartMs = 0;
    std::size_t m_placed = 0;
    std::optional<std::int64_t> m_lastMs;       // the time given to the frame before
    std::optional<std::int64_t> m_lastSaneMs;   // the last time taken from a stamp
    std::optional<std::int64_t> m_lastStampMs;  // the stamp of the frame before, sane or not
};

}  // namespace PLAY_MODULE
