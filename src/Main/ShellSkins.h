#pragma once

#include <initializer_list>

#include "Widgets/SkinStyles.h"

// Text colour (COLORREF) of texts on the dark window body.
constexpr unsigned kShellTextColour = 0xE3DCD7;

// Skin records of the main window shell.
DialogStyle MakeMainFrameStyle();
// Prompt dialog frame.
DialogStyle MakeMsgDlgStyle();
// Frame of the About dialog and the notification pop-up.
DialogStyle MakeInfoDlgStyle();
// Frame of the full-screen pop-up bar.
DialogStyle MakeTopPopStyle();
// Button images: normal, hover, pressed and (optionally) disabled.
ImageButtonStyle MakeButtonStyle(std::initializer_list<const wchar_t*> images);
// Radio images in record order: checked normal, hover, pressed, unchecked
// normal, hover, pressed, checked disabled, unchecked disabled.
ImageRadioBox MakeRadioStyle(std::initializer_list<const wchar_t*> images);
// Check-box look of the settings page.
ImageRadioBox MakeCheckBoxStyle();
// The zoom and drag radios of the tool bar and the pop-up bar.
ImageRadioBox MakeZoomRadioStyle();
ImageRadioBox MakeDragRadioStyle();
ImageButtonStyle MakeFullScreenButtonStyle();
