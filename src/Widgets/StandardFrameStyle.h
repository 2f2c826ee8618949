#pragma once

#include "Widgets/SkinStyles.h"

// The frame skin of the program's standard frame image "Frame.png"
// (148 x 140: corners 10 wide, edges 1 wide, a title bar 27 high, the
// close button's three looks at y 41): the "bg_monitor.png" fill, tiled
// edges, a stretched title bar, the close button at the top right, the title
// font and round corners.
// Callers add the background, colour and further buttons they need.
DialogStyle SFStandardFrameStyle();
