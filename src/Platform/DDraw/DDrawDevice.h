#pragma once

#include <cstdint>

#include "Platform/DDraw/DDrawSurface.h"

// The display object: makes surfaces in the formats the display accepts
// and knows the screen size. The process-wide settings below stand in for
// the display and let tests change it.
class CDDrawDevice {
public:
    // Null when the format is not accepted or memory is short.
    DDrawSurfacePtr CreateSurface(DDrawFormat format, int width, int height) const;

    static void SetAcceptedFormats(std::uint32_t mask);
    static std::uint32_t AcceptedFormats();
    static void SetScreenSize(int width, int height);
    static tagSIZE ScreenSize();
    // Every new allocation (and every restore) fails while set.
    static void SetAllocationFails(bool fails);
    static bool AllocationFails();
    // Restores the defaults: every format, 1920 x 1080, allocations work.
    static void ResetDisplay();
};
