#pragma once

#include "Platform/PlayModule/Engine/ReverseBudget.h"
#include "Platform/PlayModule/Engine/StreamDecoder.h"
#include "Platform/PlayModule/Output/PlanarPicture.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace PLAY_MODULE {

// What reverse play asks of the engine, on the play thread.
class IReversePlayHost {
public:
    virtual AVFramePtr NextFrame() = 0;
    virtual std::int64_t FrameTimeMs(const AVFrame& frame) const = 0;
    // Converts the frame scaled to width x height.
    virtual bool ConvertFrame(const AVFrame& frame, int width, int height, PlanarPicture& out) = 0;
    // Flushes the decoders and puts the source at the key frame at or before timeMs.
    virtual void RestartDecodingAt(std::int64_t timeMs) = 0;
    virtual bool Quitting() const = 0;
    virtual std::int64_t ShownMs() const = 0;
    // Called while the group ahead is decoded: serves the queued steps back
    // that the shown block answers; true when a request, a resume or the end
    // cuts the decoding short.
    virtual bool AheadInterrupted() = 0;

protected:
    ~IReversePlayHost() = default;
};

// Reverse play and back-steps: the group of pictures before the shown frame
// is decoded into a block of converted pictures and handed out backwards.
// The pictures held stay within the module's share of the process's budget
// (the shown block and the one decoded ahead each at least half of it): a
// block that would outgrow it keeps its latest pictures, and the ones before
// are decoded again from their key frame when their turn comes.
class CReversePlay {
public:
    explicit CReversePlay(IReversePlayHost& host) : m_host(host) {}

    // The picture before the shown one, decoding the group before it when
    // needed; null at the start of the file.
    const PlanarPicture* PreviousPicture();
    // Whether PreviousPicture decodes a group first.
    bool DecodesForPreviousPicture() const;
    // Paused after a step back (or a seek, the shown block then first):
    // decodes the group before the shown block, so that a step into it finds
    // it decoded. Playing back (playing), it is decoded while the shown block
    // plays, into the room its pictures leave. True when it was decoded.
    bool DecodeBlockAhead(bool playing = false);
    // Playing back: the group before is to be decoded now, as the shown block
    // has no more than leadMs of its pictures left to show.
    bool AheadWanted(std::int64_t leadMs) const;
    // While the group ahead is decoded: the shown block's picture before
    // timeMs, or null when a step must wait for the decoding (the block is
    // used up, or steps ran ahead of it: the wait is spread over the steps).
    const PlanarPicture* ShownBlockPictureBefore(std::int64_t timeMs) const;
    // Playing back meanwhile: the shown block's first picture at or after
    // timeMs and before the shown one; null when there is none.
    const PlanarPicture* ShownBlockPictureFrom(std::int64_t timeMs) const;
    // While the group ahead is decoded: whether its first frame came.
    bool AheadDecodingBegun() const { return m_readingAhead && m_progress.started; }
    // While the group ahead is decoded: the share of it still to decode (1
    // until its first frame came), and the play time of the shown block's
    // pictures before timeMs.
    double AheadShareLeft() const;
    std::int64_t ShownBlockSpanBeforeMs(std::int64_t timeMs) const;

    // Forward play after a block was handed out seeks back to the shown frame.
    bool NeedsReposition() const { return m_needReposition; }
    void Repositioned();
    // A seek: no block is valid any more.
    void Clear();
    // Settling by a seek: the shown block goes, the group ahead stays.
    void ForgetShownBlock();
    // Reverse play and stepping back ended: every picture goes, and the
    // module's share goes to the others.
    void Release();
    // Bytes of the pictures held now.
    std::size_t HeldBytes() const;
    // True from the first block until Release(), even with no picture left
    // (a seek cleared the blocks).
    bool Holding() const { return m_budget.Joined() || HeldBytes() > 0; }

    // True while a block is decoded (its packets are not passed on).
    bool ReadingBlock() const { return m_readingBlock; }
    // Blocks decoded since reverse play or stepping back began (to time a
    // decoding by), and the footage the last decoding got through, whole or
    // given up.
    std::uint64_t BlocksDecoded() const { return m_blocksDecoded; }
    std::int64_t DecodedSpanMs() const { return m_progress.started ? m_progress.decodedMs - m_progress.firstMs : 0; }
    // The last block decoded ends at the shown frame (after a turn or a
    // seek): it holds the first part of its group only.
    bool EndsAtShown() const { return m_endsAtShown; }
    // Playing back, pictures may be kept smaller than decoded, so that the
    // shown group and the one before fit the module's share whole; stepping
    // keeps them whole.
    void SetMayReduce(bool mayReduce) { m_mayReduce = mayReduce; }
    // Playing faster than normal speed: of the frames before the block's end,
    // every so many are kept (1: all).
    void SetKeepEvery(int frames) { m_keepEvery = frames; }
    // Falling behind: a block holds its key frame alone.
    void SetKeysOnly(bool keysOnly) { m_keysOnly = keysOnly; }
    bool KeysOnly() const { return m_keysOnly; }

private:
    const PlanarPicture* PreviousInBlock(std::int64_t current) const;
    std::int64_t EndOfGroupBefore(std::int64_t current) const;
    bool AheadBlockEndsAt(std::int64_t endMs) const;
    // How far the decoding of the block ahead got, in frame times.
    struct AheadProgress {
        std::int64_t firstMs = 0;
        std::int64_t decodedMs = 0;
        bool started = false;
        std::size_t steps = 0;  // pictures before the shown one when it began
    };

    bool LoadBlockBefore(std::int64_t endMs, std::size_t limitBytes);
    bool TakeAheadKey(std::int64_t endMs, std::size_t limitBytes);
    void KeepAheadKey(const AVFrame& frame, std::int64_t endMs);
    bool LoadShownBlock();
    bool DecodeBlockBefore(std::int64_t endMs, std::size_t limitBytes);
    bool InLastPart(const AVFrame& frame, std::int64_t endMs, std::size_t limitBytes) const;
    void DecideKeptSize(const AVFrame& frame, std::int64_t endMs);
    std::int64_t FramesBefore(std::int64_t endMs) const;
    bool ToShow(const AVFrame& frame, std::int64_t endMs) const;
    void KeepPicture(const AVFrame& frame, std::size_t limitBytes);
    void Recycle(std::deque<PlanarPicture>& block);
    PlanarPicture RecycledPicture(std::size_t bytes);
    void NoteDecoded(std::int64_t timeMs);
    // Before decoding ahead: the shown block keeps its pictures up to the
    // shown one, stepping within half the budget.
    void TrimShownBlock(bool playing);
    bool StepsOnPace(std::size_t stepsLeft) const;

    IReversePlayHost& m_host;
    CReverseBudget m_budget;
    std::deque<PlanarPicture> m_block;
    std::int64_t m_blockEndMs = 0;
    std::deque<PlanarPicture> m_blockAhead;  // the group before m_block
    bool m_endsAtShown = false;
    std::deque<PlanarPicture> m_shownBlock;  // m_block while m_blockAhead is decoded
    std::int64_t m_blockAheadEndMs = 0;
    std::int64_t m_noBlockBeforeMs = -1;  // where the last decoding ahead found nothing
    // The key frame the decoding ahead began with; kept when it was cut
    // short, as the block key frames alone decode next before m_aheadKeyEndMs.
    AVFramePtr m_aheadKey;
    std::int64_t m_aheadKeyEndMs = -1;
    PlanarPicture m_spare;  // last dropped from a full block, its buffer reused
    std::vector<PlanarPicture> m_recycled;  // of dropped blocks, for the next ones
    AheadProgress m_progress;
    std::int64_t m_lastDecodedMs = 0;
    std::int64_t m_frameSpacingMs = 0;
    int m_keptWidth = 0;  // the block's picture size, 0 until decided
    int m_keptHeight = 0;
    bool m_mayReduce = false;
    int m_keepEvery = 1;
    bool m_converting = false;
    bool m_readingAhead = false;
    bool m_aheadInterrupted = false;
    bool m_needReposition = false;
    bool m_readingBlock = false;
    bool m_keysOnly = false;
    std::uint64_t m_blocksDecoded = 0;
};

}  // namespace PLAY_MODULE
