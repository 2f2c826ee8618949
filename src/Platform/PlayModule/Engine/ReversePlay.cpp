#include "Platform/PlayModule/Engine/ReversePlay.h"

#include <algorithm>

extern "C" {
#include <libavutil/frame.h>
}

namespace PLAY_MODULE {

namespace {

constexpr std::size_t kMaxBlockFrames = 64;
// Steps a held key may run ahead of the decoding of the block ahead.
constexpr std::size_t kStepsAheadOfDecoding = 1;

// The number of the block's pictures before timeMs (the block rises in time).
std::size_t CountBefore(const std::deque<PlanarPicture>& block, std::int64_t timeMs)
{
    return std::size_t(std::partition_point(block.begin(), block.end(),
                                            [&](const PlanarPicture& p) { return p.timeMs < timeMs; }) -
                       block.begin());
}

// The block's last picture before timeMs.
const PlanarPicture* LastBefore(const std::deque<PlanarPicture>& block, std::int64_t timeMs)
{
    const std::size_t count = CountBefore(block, timeMs);
    return count > 0 ? &block[count - 1] : nullptr;
}

std::size_t BytesOf(const std::deque<PlanarPicture>& block)
{
    std::size_t bytes = 0;
    for (const PlanarPicture& picture : block)
        bytes += picture.bytes.capacity();
    return bytes;
}

}  // namespace

void CReversePlay::Repositioned()
{
    m_needReposition = false;
    Recycle(m_blockAhead);
    m_aheadKey.reset();
}

void CReversePlay::Clear()
{
    Recycle(m_block);
    Recycle(m_blockAhead);
    m_aheadKey.reset();
    m_noBlockBeforeMs = -1;
    m_needReposition = false;
}

void CReversePlay::ForgetShownBlock()
{
    Recycle(m_block);
    m_needReposition = false;
}

void CReversePlay::Release()
{
    std::deque<PlanarPicture>().swap(m_block);
    std::deque<PlanarPicture>().swap(m_blockAhead);
    std::deque<PlanarPicture>().swap(m_shownBlock);
    m_aheadKey.reset();
    m_spare = PlanarPicture();
    std::vector<PlanarPicture>().swap(m_recycled);
    m_noBlockBeforeMs = -1;
    m_blocksDecoded = 0;
    m_budget.Leave();
}

std::size_t CReversePlay::HeldBytes() const
{
    std::size_t recycled = 0;
    for (const PlanarPicture& picture : m_recycled)
        recycled += picture.bytes.capacity();
    return BytesOf(m_block) + BytesOf(m_blockAhead) + BytesOf(m_shownBlock) + m_spare.bytes.capacity() + recycled;
}

// Fresh buffers cost a page fault per page on the first write: a dropped
// block's pictures are kept for the next block's while all that is held
// stays within the module's share.
void CReversePlay::Recycle(std::deque<PlanarPicture>& block)
{
    std::size_t held = HeldBytes();
    for (PlanarPicture& picture : block) {
        if (held <= m_budget.Bytes())
            m_recycled.push_back(std::move(picture));
        else
            held -= picture.bytes.capacity();
    }
    block.clear();
}

// A recycled picture with a buffer of about the size asked for; those of
// another size are let go.
PlanarPicture CReversePlay::RecycledPicture(std::size_t bytes)
{
    while (!m_recycled.empty()) {
        PlanarPicture picture = std::move(m_recycled.back());
        m_recycled.pop_back();
        const std::size_t capacity = picture.bytes.capacity();
        if (capacity >= bytes && capacity - bytes <= bytes / 4)
            return picture;
    }
    return {};
}

// The block holds every frame from its first to m_blockEndMs; it answers
// only while the shown frame lies inside that span.
const PlanarPicture* CReversePlay::PreviousInBlock(std::int64_t current) const
{
    return m_block.empty() || current > m_blockEndMs ? nullptr : LastBefore(m_block, current);
}

// Where the group before the shown frame ends.
std::int64_t CReversePlay::EndOfGroupBefore(std::int64_t current) const
{
    const bool inside = !m_block.empty() && current <= m_blockEndMs;
    return inside ? std::min(current, m_block.front().timeMs) : current;
}

bool CReversePlay::AheadBlockEndsAt(std::int64_t endMs) const
{
    return !m_blockAhead.empty() && m_blockAheadEndMs == endMs;
}

bool CReversePlay::DecodesForPreviousPicture() const
{
    const std::int64_t current = m_host.ShownMs();
    return !PreviousInBlock(current) && !AheadBlockEndsAt(EndOfGroupBefore(current));
}

const PlanarPicture* CReversePlay::PreviousPicture()
{
    const std::int64_t current = m_host.ShownMs();
    if (const PlanarPicture* picture = PreviousInBlock(current)) {
        m_needReposition = true;
        return picture;
    }
    const std::int64_t end = EndOfGroupBefore(current);
    if (AheadBlockEndsAt(end)) {
        Recycle(m_block);
        m_block = std::move(m_blockAhead);
        m_blockAhead.clear();
        m_blockEndMs = end;
        m_needReposition = true;
        return PreviousInBlock(current);
    }
    Recycle(m_blockAhead);
    const bool loaded = LoadBlockBefore(end, m_budget.Bytes());
    m_needReposition = true;
    // A block of a key frame alone ends right after it, before the shown frame.
    return loaded ? LastBefore(m_block, end) : nullptr;
}

const PlanarPicture* CReversePlay::ShownBlockPictureBefore(std::int64_t timeMs) const
{
    const std::size_t before = CountBefore(m_shownBlock, timeMs);
    return before > 0 && StepsOnPace(before) ? &m_shownBlock[before - 1] : nullptr;
}

const PlanarPicture* CReversePlay::ShownBlockPictureFrom(std::int64_t timeMs) const
{
    const std::size_t from = CountBefore(m_shownBlock, timeMs);
    return from < CountBefore(m_shownBlock, m_host.ShownMs()) ? &m_shownBlock[from] : nullptr;
}

// Stepping back as fast as it is served, the steps keep pace with the
// decoding ahead: what is left of the one may not outrun what is left of
// the other, so no step waits for much of a group.
bool CReversePlay::StepsOnPace(std::size_t stepsLeft) const
{
    if (!m_readingAhead || m_progress.steps == 0)
        return true;
    return double(stepsLeft - 1 + kStepsAheadOfDecoding) >= AheadShareLeft() * double(m_progress.steps);
}

double CReversePlay::AheadShareLeft() const
{
    if (!m_progress.started)
        return 1.0;
    const double span = double(std::max<std::int64_t>(1, m_blockEndMs - m_progress.firstMs));
    return std::clamp(double(m_blockEndMs - m_progress.decodedMs) / span, 0.0, 1.0);
}

std::int64_t CReversePlay::ShownBlockSpanBeforeMs(std::int64_t timeMs) const
{
    return m_shownBlock.empty() ? 0 : std::max<std::int64_t>(0, timeMs - m_shownBlock.front().timeMs);
}

bool CReversePlay::LoadBlockBefore(std::int64_t endMs, std::size_t limitBytes)
{
    if (endMs <= 0)
        return false;
    m_needReposition = false;
    m_readingBlock = true;
    m_budget.Join();
    m_blockEndMs = endMs;
    m_endsAtShown = endMs == m_host.ShownMs();
    const bool loaded = TakeAheadKey(endMs, limitBytes) || DecodeBlockBefore(endMs, limitBytes);
    m_readingBlock = false;
    m_blocksDecoded += loaded ? 1 : 0;
    // Kept only while its block is not.
    if (loaded)
        m_aheadKey.reset();
    return loaded;
}

// Steps inside the shown block are served meanwhile (or, playing, its
// pictures shown as they fall due); any other request ends the decoding.
bool CReversePlay::DecodeBlockAhead(bool playing)
{
    if (m_block.empty() && !LoadShownBlock())
        return false;
    if (!m_blockAhead.empty() || m_block.front().timeMs <= 0)
        return false;
    TrimShownBlock(playing);
    m_shownBlock = std::move(m_block);
    m_block.clear();
    const std::int64_t shownEndMs = m_blockEndMs;
    const std::int64_t endMs = m_shownBlock.front().timeMs;
    m_progress = AheadProgress();
    // Play shows the pictures as they fall due, not at the pace of steps.
    m_progress.steps = playing ? 0 : CountBefore(m_shownBlock, m_host.ShownMs());
    m_readingAhead = true;
    m_aheadInterrupted = false;
    const std::size_t budget = m_budget.Bytes();
    const std::size_t room = budget - std::min(budget, BytesOf(m_shownBlock));
    // Playing, a group as large as the shown one always fits: the pictures
    // were kept small enough for two when the share was larger.
    const std::size_t limit = playing ? std::max(room, BytesOf(m_shownBlock)) : std::min(room, budget / 2);
    const bool loaded = LoadBlockBefore(endMs, limit) && !m_aheadInterrupted;
    m_readingAhead = false;
    if (loaded) {
        m_blockAhead = std::move(m_block);
        m_blockAheadEndMs = endMs;
    } else if (!m_aheadInterrupted) {
        m_noBlockBeforeMs = endMs;
    }
    m_block = std::move(m_shownBlock);
    m_shownBlock.clear();
    m_blockEndMs = shownEndMs;
    m_needReposition = true;
    return loaded;
}

// Key frames alone, the block before endMs is the group's key frame: the one
// a decoding ahead of that group began with, when it was cut short.
bool CReversePlay::TakeAheadKey(std::int64_t endMs, std::size_t limitBytes)
{
    const AVFramePtr key = std::move(m_aheadKey);
    if (!m_keysOnly || !key || m_aheadKeyEndMs != endMs)
        return false;
    Recycle(m_block);
    m_keptWidth = 0;
    m_keptHeight = 0;
    KeepPicture(*key, limitBytes);
    if (m_block.empty())
        return false;
    m_blockEndMs = m_block.back().timeMs + 1;
    return true;
}

// Only faster than 1X (showing every other frame or fewer), where key
// frames alone may take over from a decoding ahead cut short.
void CReversePlay::KeepAheadKey(const AVFrame& frame, std::int64_t endMs)
{
    if (m_progress.started || !frame.key_frame || !m_readingAhead || m_keepEvery <= 1)
        return;
    m_aheadKey.reset(av_frame_clone(&frame));
    m_aheadKeyEndMs = endMs;
}

bool CReversePlay::AheadWanted(std::int64_t leadMs) const
{
    if (m_keysOnly || !m_blockAhead.empty() || m_block.empty())
        return false;
    const std::int64_t shownMs = m_host.ShownMs();
    const std::int64_t firstMs = m_block.front().timeMs;
    return firstMs > 0 && firstMs != m_noBlockBeforeMs && shownMs <= m_blockEndMs && shownMs - firstMs <= leadMs;
}

void CReversePlay::TrimShownBlock(bool playing)
{
    const std::int64_t shownMs = m_host.ShownMs();
    while (m_block.size() > 1 && m_block.back().timeMs > shownMs) {
        m_blockEndMs = m_block.back().timeMs;
        m_block.pop_back();
    }
    // Playing, the block's pictures were kept small enough for two groups.
    while (!playing && m_block.size() > 1 && BytesOf(m_block) > m_budget.Bytes() / 2)
        m_block.pop_front();
}

// After a seek: the pictures before the shown one, back to its key frame.
// A step back meanwhile waits for them.
bool CReversePlay::LoadShownBlock()
{
    if (m_host.ShownMs() <= 0)
        return false;
    m_progress = AheadProgress();
    m_readingAhead = true;
    m_aheadInterrupted = false;
    const bool loaded = LoadBlockBefore(m_host.ShownMs(), m_budget.Bytes() / 2) && !m_aheadInterrupted;
    m_readingAhead = false;
    if (!loaded)
        Recycle(m_block);
    m_needReposition = true;
    return loaded;
}

bool CReversePlay::DecodeBlockBefore(std::int64_t endMs, std::size_t limitBytes)
{
    std::int64_t target = endMs - 1;
    for (int attempt = 0; attempt < 6 && !m_host.Quitting(); ++attempt) {
        Recycle(m_block);
        m_aheadKey.reset();
        m_converting = false;
        m_frameSpacingMs = 0;
        m_keptWidth = 0;
        m_keptHeight = 0;
        m_progress.started = false;
        m_host.RestartDecodingAt(std::max<std::int64_t>(0, target));
        AVFramePtr skipped;
        for (;;) {
            if (m_readingAhead && m_host.AheadInterrupted()) {
                m_aheadInterrupted = true;
                return false;
            }
            AVFramePtr frame = m_host.NextFrame();
            if (!frame || m_host.FrameTimeMs(*frame) >= endMs || m_host.Quitting())
                break;
            KeepAheadKey(*frame, endMs);
            NoteDecoded(m_host.FrameTimeMs(*frame));
            if (m_keptWidth == 0 && m_frameSpacingMs > 0)
                DecideKeptSize(*frame, endMs);
            // The block's first frame is always kept: the block before ends there.
            bool first = false;
            if (!m_converting) {
                m_converting = m_keysOnly || InLastPart(*frame, endMs, limitBytes);
                // The frame before, decided on only now (the first one).
                const bool keepSkipped = m_converting && skipped && InLastPart(*skipped, endMs, limitBytes);
                if (keepSkipped)
                    KeepPicture(*skipped, limitBytes);
                if (!m_converting) {
                    skipped = std::move(frame);
                    continue;
                }
                first = !keepSkipped;
            }
            if (first || ToShow(*frame, endMs))
                KeepPicture(*frame, limitBytes);
            if (m_keysOnly && !m_block.empty() && (m_block.back().key || m_block.front().key)) {
                // The block then holds its key frame alone; asked for while
                // the group was decoded, the frames after it go.
                if (!m_block.back().key)
                    m_block.erase(m_block.begin() + 1, m_block.end());
                m_blockEndMs = m_block.back().timeMs + 1;
                return true;
            }
        }
        // Frames far apart (a gap in the recording): the last one before
        // the end was taken for one that would not fit.
        if (m_block.empty() && skipped && !m_host.Quitting())
            KeepPicture(*skipped, limitBytes);
        if (!m_block.empty())
            return true;
        if (target <= 0)
            return false;
        target = std::max<std::int64_t>(0, target - 1000 * (attempt + 1));
    }
    return false;
}

void CReversePlay::NoteDecoded(std::int64_t timeMs)
{
    if (m_progress.started)
        m_frameSpacingMs = timeMs - m_lastDecodedMs;
    else
        m_progress.firstMs = timeMs;
    m_progress.started = true;
    m_progress.decodedMs = timeMs;
    m_lastDecodedMs = timeMs;
}

// A group larger than the budget is handed out in parts of about equal size
// (a small part would leave few steps to decode the next one behind): the
// block converts the frames of the last part before endMs alone. Undecided
// until the frames' spacing is known.
bool CReversePlay::InLastPart(const AVFrame& frame, std::int64_t endMs, std::size_t limitBytes) const
{
    if (m_frameSpacingMs <= 0)
        return false;
    const std::size_t pictureBytes = std::max<std::size_t>(
        1, m_keptWidth > 0 ? PlanarPicture::SizeFor(m_keptWidth, m_keptHeight)
                           : PlanarPicture::SizeFor(frame.width, frame.height));
    const auto fits = std::int64_t(std::min(kMaxBlockFrames, std::max<std::size_t>(1, limitBytes / pictureBytes)));
    const std::int64_t frames = FramesBefore(endMs);
    const std::int64_t parts = (frames + fits - 1) / fits;
    const std::int64_t part = (frames + parts - 1) / parts;
    return m_host.FrameTimeMs(frame) >= endMs - part * m_frameSpacingMs;
}

// Faster than normal speed play shows only every so many frames: the
// others are decoded but not kept.
bool CReversePlay::ToShow(const AVFrame& frame, std::int64_t endMs) const
{
    if (m_keysOnly || m_keepEvery <= 1 || m_frameSpacingMs <= 0)
        return true;
    return (endMs - 1 - m_host.FrameTimeMs(frame)) / m_frameSpacingMs % m_keepEvery == 0;
}

// The frames from the block's first one up to (not at) endMs.
std::int64_t CReversePlay::FramesBefore(std::int64_t endMs) const
{
    return std::max<std::int64_t>(1, (endMs - 1 - m_progress.firstMs) / m_frameSpacingMs + 1);
}

// Playing back, the block's pictures are kept at a size at which the group
// and the one before it fit the module's share.
void CReversePlay::DecideKeptSize(const AVFrame& frame, std::int64_t endMs)
{
    const CReverseBudget::Size whole{frame.width, frame.height};
    const CReverseBudget::Size size =
        m_mayReduce ? CReverseBudget::FittingSize(whole, 2 * FramesBefore(endMs), m_budget.Bytes()) : whole;
    m_keptWidth = size.width;
    m_keptHeight = size.height;
}

void CReversePlay::KeepPicture(const AVFrame& frame, std::size_t limitBytes)
{
    const int width = m_keptWidth > 0 ? m_keptWidth : frame.width;
    const int height = m_keptHeight > 0 ? m_keptHeight : frame.height;
    // The picture dropped from the block's front lends its buffer, else one
    // of a dropped block.
    PlanarPicture picture = m_spare.bytes.capacity() > 0
                                ? std::move(m_spare)
                                : RecycledPicture(PlanarPicture::SizeFor(width, height));
    if (!m_host.ConvertFrame(frame, width, height, picture)) {
        m_spare = std::move(picture);
        return;
    }
    picture.timeMs = m_host.FrameTimeMs(frame);
    picture.key = frame.key_frame != 0;
    m_block.push_back(std::move(picture));
    // The spare counts: it is the next picture's buffer.
    while (m_block.size() > 1 &&
           (m_block.size() > kMaxBlockFrames || BytesOf(m_block) + m_spare.bytes.capacity() > limitBytes)) {
        m_spare = std::move(m_block.front());
        m_block.pop_front();
    }
}

}  // namespace PLAY_MODULE
