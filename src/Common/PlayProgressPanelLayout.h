#pragma once

#include <array>
#include <string>

// The fixed layout texts of a time-line panel of the given width, in the
// panel's 30 positions (index 0 is position 1); unused positions are empty.
// The time-line panel takes them through its layout operation.
using PlayProgressPanelLayout = std::array<std::wstring, 30>;
PlayProgressPanelLayout MakePlayProgressPanelLayout(int width);
