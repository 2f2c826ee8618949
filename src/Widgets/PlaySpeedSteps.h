#pragma once

// The steps of a play speed slider, 1/64X at position 0 to 64X at the last.
constexpr int kPlaySpeedSteps = 13;
constexpr int kNormalPlaySpeedPosition = 6;  // 1X

// The label ("1/64X" ... "64X") and speed factor of a slider position; a
// position off the slider gives those of 1X.
const wchar_t* SFPlaySpeedLabel(int position);
float SFPlaySpeedFactor(int position);
