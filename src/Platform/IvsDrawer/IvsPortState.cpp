#include "Platform/IvsDrawer/IvsPortState.h"

#include <algorithm>

#include "Platform/IvsDrawer/IvsDrawer.h"

namespace IVS_DRAWER {

namespace {

// Default colours (0x00BBGGRR): rules yellow, alarm boxes red, tracks green.
constexpr std::uint32_t kDefaultColors[3] = {0x0000FFFF, 0x000000FF, 0x0000FF00};
constexpr int kDefaultLineWidth = 2;
// A block from more than this far after the picture belongs to another place
// of the file (the picture was sought backwards).
constexpr int kBackwardsToleranceMs = 1000;

}  // namespace

CIvsPortState::CIvsPortState() : m_drawType(IVS_DRAW_ALL)
{
    for (int i = 0; i < 3; ++i)
        m_styles[i].color = kDefaultColors[i];
}

void CIvsPortState::SetStyle(int kind, int color, int lineWidth)
{
    IvsKindStyle& style = m_styles[Index(kind)];
    style.color = color == -1 ? kDefaultColors[Index(kind)] : std::uint32_t(color) & 0x00FFFFFF;
    style.lineWidth = lineWidth > 0 ? std::min(lineWidth, 32) : kDefaultLineWidth;
}

void CIvsPortState::Enable(int kind, bool enable) { m_styles[Index(kind)].enabled = enable; }

void CIvsPortState::SetHoldFrames(int group, int frames)
{
    m_holdFrames[group - 1] = std::max(0, frames);
}

template <class Blocks>
bool CIvsPortState::Take(std::optional<Held<Blocks>>& held, std::span<const std::uint8_t> data,
                         int frameTimeMs)
{
    Blocks blocks;
    if (!blocks.Decode(data))
        return false;
    held = Held<Blocks>{std::move(blocks), frameTimeMs, 0};
    return true;
}

bool CIvsPortState::InputRules(std::span<const std::uint8_t> data, int frameTimeMs)
{
    return Take(m_rules, data, frameTimeMs);
}

bool CIvsPortState::InputTargets(std::span<const std::uint8_t> data, int frameTimeMs)
{
    return Take(m_targets, data, frameTimeMs);
}

template <class Blocks>
void CIvsPortState::Advance(std::optional<Held<Blocks>>& held, int holdFrames, int frameTimeMs)
{
    if (!held)
        return;
    const bool expired = holdFrames > 0 && held->framesShown >= holdFrames;
    const bool fromLater =
        std::int64_t(held->frameTimeMs) - frameTimeMs > kBackwardsToleranceMs;
    if (expired || fromLater) {
        held.reset();
        return;
    }
    ++held->framesShown;
}

void CIvsPortState::AdvanceFrame(int frameTimeMs)
{
    Advance(m_rules, m_holdFrames[IVS_BLOCK_RULES - 1], frameTimeMs);
    Advance(m_targets, m_holdFrames[IVS_BLOCK_TARGETS - 1], frameTimeMs);
}

bool CIvsPortState::Draws(int kind) const
{
    const int mask = kind == IVS_KIND_RULE    ? IVS_DRAW_RULE
                     : kind == IVS_KIND_ALARM ? IVS_DRAW_ALARM
                                              : IVS_DRAW_TRACK;
    return (m_drawType & mask) != 0 && m_styles[Index(kind)].enabled;
}

}  // namespace IVS_DRAWER
