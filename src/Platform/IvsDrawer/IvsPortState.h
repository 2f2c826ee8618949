#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "Platform/PlayModule/Format/KvxOverlayRules.h"
#include "Platform/PlayModule/Format/KvxOverlayTargets.h"

namespace IVS_DRAWER {

struct IvsKindStyle {
    bool enabled = true;
    std::uint32_t color = 0;  // 0x00BBGGRR
    int lineWidth = 2;
};

// What one drawing port knows: styles per kind, the draw mask and the last
// block of each group with how long it stays up.
class CIvsPortState {
public:
    CIvsPortState();

    void SetStyle(int kind, int color, int lineWidth);
    void Enable(int kind, bool enable);
    void SetDrawType(int drawType) { m_drawType = drawType; }
    void SetHoldFrames(int group, int frames);
    bool InputRules(std::span<const std::uint8_t> data, int frameTimeMs);
    bool InputTargets(std::span<const std::uint8_t> data, int frameTimeMs);

    // Moves the port on by one drawn frame and drops blocks that expired or
    // belong to a later time than the picture (after a seek backwards).
    void AdvanceFrame(int frameTimeMs);

    bool Draws(int kind) const;
    const IvsKindStyle& Style(int kind) const { return m_styles[Index(kind)]; }
    const PLAY_MODULE::KvxOverlayRules* Rules() const
    {
        return m_rules ? &m_rules->blocks : nullptr;
    }
    const PLAY_MODULE::KvxOverlayTargets* Targets() const
    {
        return m_targets ? &m_targets->blocks : nullptr;
    }

private:
    template <class Blocks>
    struct Held {
        Blocks blocks;
        int frameTimeMs = 0;
        int framesShown = 0;
    };
    // Decodes a block into held; false (held kept) when it does not decode.
    template <class Blocks>
    static bool Take(std::optional<Held<Blocks>>& held, std::span<const std::uint8_t> data,
                     int frameTimeMs);
    template <class Blocks>
    static void Advance(std::optional<Held<Blocks>>& held, int holdFrames, int frameTimeMs);
    static int Index(int kind) { return kind - 1; }

    IvsKindStyle m_styles[3];
    int m_drawType;
    int m_holdFrames[2] = {0, 0};
    std::optional<Held<PLAY_MODULE::KvxOverlayRules>> m_rules;
    std::optional<Held<PLAY_MODULE::KvxOverlayTargets>> m_targets;
};

}  // namespace IVS_DRAWER
