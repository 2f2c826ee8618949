#pragma once

#include "Platform/PlayModule/Output/PlanarPicture.h"

#include <array>
#include <cstdint>

struct AVFrame;
struct SwsContext;

namespace PLAY_MODULE {

// Turns decoded frames of any pixel format into packed planar 4:2:0 pictures,
// with the picture adjustments (brightness, contrast, saturation, hue) applied.
class CFrameConverter {
public:
    CFrameConverter();
    ~CFrameConverter();
    CFrameConverter(const CFrameConverter&) = delete;
    CFrameConverter& operator=(const CFrameConverter&) = delete;

    bool Convert(const AVFrame& frame, bool vFirst, PlanarPicture& out);
    // The same, scaled to width x height (even, at most the frame's size).
    bool ConvertScaled(const AVFrame& frame, bool vFirst, int width, int height, PlanarPicture& out);
    // Each value 0..128, 64 neutral.
    void SetColor(int brightness, int contrast, int saturation, int hue);

private:
    const AVFrame* ToYuv420(const AVFrame& frame, int width, int height);
    void FromPlanar(const AVFrame& planar, bool vFirst, PlanarPicture& out) const;
    void CopyPlanes(const AVFrame& frame, PlanarPicture& out) const;
    void ApplyColor(PlanarPicture& out) const;
    void RotateHue(PlanarPicture& out) const;

    SwsContext* m_scaler = nullptr;
    AVFrame* m_scaled = nullptr;
    bool m_neutral = true;
    bool m_hueNeutral = true;
    // Hue rotation of (U, V) around 128, 14-bit fixed point.
    int m_hueCos = 1 << 14;
    int m_hueSin = 0;
    std::array<std::uint8_t, 256> m_lumaTable{};
    std::array<std::uint8_t, 256> m_chromaTable{};
};

}  // namespace PLAY_MODULE
