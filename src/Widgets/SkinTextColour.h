#pragma once

// Colour (COLORREF, 0x00BBGGRR) of texts on the dark skin.
constexpr unsigned kSkinTextColour = 0xE3DCD7;
