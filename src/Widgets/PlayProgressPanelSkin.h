#pragma once

#include "Widgets/SFPlayProgressPanel.h"

// The skin images of the pages' time-line panels.
PlayProgressPanelImages SFPlayProgressPanelImages();

// The layout texts a page's time-line panel is created with, before its
// strip has a size.
PlayProgressPanelLayout SFFirstPlayProgressPanelLayout();

// Gives a page's new time-line panel the "bg_timeline.png" ground, the first
// layout and the skin images; call before creating its window.
void SFSkinPagePlayProgressPanel(CSFPlayProgressPanel* panel);
