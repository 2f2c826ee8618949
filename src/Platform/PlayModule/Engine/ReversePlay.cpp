#include "Platform/PlayModule/Engine/ReversePlay.h"

#include <algorithm>

extern "C" {
#include <libavutil/frame.h>
}

namespace PLAY_MODULE {

namespace {

constexpr std::size_t kMaxBlockFrames = 64;

// The block's last picture before timeMs.
const PlanarPicture* LastBefore(const std::deque<PlanarPicture>& block, std::int64_t timeMs)
{
    for (auto it = block.rbegin(); it != block.rend(); ++it)
        if (it->timeMs < timeMs)
            return &*it;
    return nullptr;
}

}  // namespace

void CReversePlay::Repositioned()
{
    m_needReposition = false;
    m_blockAhead.clear();
}

void CReversePlay::Clear()
{
    m_block.clear();
    m_blockAhead.clear();
    m_needReposition = false;
}

void CReversePlay::ForgetShownBlock()
{
    m_block.clear();
    m_needReposition = false;
}

const PlanarPicture* CReversePlay::PreviousPicture()
{
    const std::int64_t current = m_host.ShownMs();
    // The block holds every frame from its first to m_blockEndMs; it answers
    // only while the shown frame lies inside that span.
    auto previousIn = [&]() -> const PlanarPicture* {
        return m_block.empty() || current > m_blockEndMs ? nullptr : LastBefore(m_block, current);
    };
    if (const PlanarPicture* picture = previousIn()) {
        m_needReposition = true;
        return picture;
    }
    const bool inside = !m_block.empty() && current <= m_blockEndMs;
    const std::int64_t end = inside ? std::min(current, m_block.front().timeMs) : current;
    if (!m_blockAhead.empty() && m_blockAheadEndMs == end) {
        m_block = std::move(m_blockAhead);
        m_blockAhead.clear();
        m_blockEndMs = end;
        m_needReposition = true;
        return previousIn();
    }
    const bool loaded = LoadBlockBefore(end);
    m_needReposition = true;
    return loaded ? previousIn() : nullptr;
}

const PlanarPicture* CReversePlay::ShownBlockPictureBefore(std::int64_t timeMs) const
{
    return LastBefore(m_shownBlock, timeMs);
}

bool CReversePlay::LoadBlockBefore(std::int64_t endMs)
{
    if (endMs <= 0)
        return false;
    m_needReposition = false;
    m_readingBlock = true;
    m_blockEndMs = endMs;
    const bool loaded = DecodeBlockBefore(endMs);
    m_readingBlock = false;
    return loaded;
}

// Steps inside the shown block are served meanwhile; any other request ends
// the decoding.
void CReversePlay::DecodeBlockAhead()
{
    if (m_block.empty() && !LoadShownBlock())
        return;
    if (!m_blockAhead.empty() || m_block.front().timeMs <= 0)
        return;
    m_shownBlock = std::move(m_block);
    const std::int64_t shownEndMs = m_blockEndMs;
    const std::int64_t endMs = m_shownBlock.front().timeMs;
    m_readingAhead = true;
    m_aheadInterrupted = false;
    const bool loaded = LoadBlockBefore(endMs) && !m_aheadInterrupted;
    m_readingAhead = false;
    if (loaded) {
        m_blockAhead = std::move(m_block);
        m_blockAheadEndMs = endMs;
    }
    m_block = std::move(m_shownBlock);
    m_shownBlock.clear();
    m_blockEndMs = shownEndMs;
    m_needReposition = true;
}

// After a seek: the pictures before the shown one, back to its key frame.
// A step back meanwhile waits for them.
bool CReversePlay::LoadShownBlock()
{
    if (m_host.ShownMs() <= 0)
        return false;
    m_readingAhead = true;
    m_aheadInterrupted = false;
    const bool loaded = LoadBlockBefore(m_host.ShownMs()) && !m_aheadInterrupted;
    m_readingAhead = false;
    if (!loaded)
        m_block.clear();
    m_needReposition = true;
    return loaded;
}

bool CReversePlay::DecodeBlockBefore(std::int64_t endMs)
{
    std::int64_t target = endMs - 1;
    for (int attempt = 0; attempt < 6 && !m_host.Quitting(); ++attempt) {
        m_block.clear();
        m_host.RestartDecodingAt(std::max<std::int64_t>(0, target));
        for (;;) {
            if (m_readingAhead && m_host.AheadInterrupted()) {
                m_aheadInterrupted = true;
                return false;
            }
            AVFramePtr frame = m_host.NextFrame();
            if (!frame || m_host.FrameTimeMs(*frame) >= endMs || m_host.Quitting())
                break;
            // The picture dropped from the block's front lends its buffer.
            PlanarPicture picture = std::move(m_spare);
            if (!m_host.ConvertFrame(*frame, picture)) {
                m_spare = std::move(picture);
                continue;
            }
            picture.timeMs = m_host.FrameTimeMs(*frame);
            picture.key = frame->key_frame != 0;
            m_block.push_back(std::move(picture));
            if (m_block.size() > kMaxBlockFrames) {
                m_spare = std::move(m_block.front());
                m_block.pop_front();
            }
            if (m_keysOnly && m_block.back().key) {
                // The block then holds its key frame alone.
                m_blockEndMs = m_block.back().timeMs + 1;
                return true;
            }
        }
        if (!m_block.empty())
            return true;
        if (target <= 0)
            return false;
        target = std::max<std::int64_t>(0, target - 1000 * (attempt + 1));
    }
    return false;
}

}  // namespace PLAY_MODULE
