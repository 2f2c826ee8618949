#pragma once

#include "Widgets/SkinStyles.h"

// The skin of the pages' check-box file trees: rows 24 high, the check-box
// and state images "treeCheckbox.png" and "treeState.png", white item texts
// with a green highlight on the dark page ground.
// Callers change the few parts their tree draws otherwise.
UITreeCtrlStyle SFFileTreeStyle();
