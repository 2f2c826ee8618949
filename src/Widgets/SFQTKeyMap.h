#pragma once

#include <Qt>

// Modifier code handed to key handlers: 0, or the OR of 16 (Shift),
// 17 (Control) and 18 (Alt).
unsigned SFQTModifierCode(Qt::KeyboardModifiers modifiers);
// Key code of a dialog: Escape 27, Return/Enter 13, arrows 37-40, F1 112,
// any other key its Qt code.
unsigned SFQTDialogKeyCode(int qtKey);
// Key code of the main window: Escape 27, Space 32, Left 37, Right 39,
// F1 112, F4 115, any other key its Qt code.
unsigned SFQTMainWindowKeyCode(int qtKey);
