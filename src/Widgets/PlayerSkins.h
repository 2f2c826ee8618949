#pragma once

#include <string>

#include "Widgets/SkinStyles.h"

// The skin of a video window grid: "NoVideo.png" cells, the close, snap,
// property and record buttons, the cell colours and 2-pixel gaps, with the
// given text shown while a cell loads.
ImageVideoWindowStyle SFVideoWindowStyle(const std::wstring& loadingText);

// The skin of a play/pause toggle: "btn_parse*" while playing, "btn_playuncheck*"
// while paused.
ImageRadioBox SFPlayToggleStyle();

// The skin of the pages' progress bars (detection, export).
ImageProgressCtrlStyle SFProgressBarStyle();

// The skin of a play speed slider cut from "slider_speedoutput.png".
ImageSliderStyle SFSpeedSliderStyle();
