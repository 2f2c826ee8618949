#pragma once

#include "Widgets/SkinStyles.h"

// The skin of the pages' drop-down lists: "ComboBox.png", pieces 100x23
// one above the other, every piece tiled.
ImageComboBoxStyle SFPageComboStyle();
