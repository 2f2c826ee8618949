#pragma once

#include <initializer_list>

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/SkinTextColour.h"

// Text colour (COLORREF) of texts on the dark window body.
constexpr unsigned kShellTextColour = kSkinTextColour;

// A control's rectangle for Create from its place and size.
inline tagRECT ShellRect(int x, int y, int w, int h)
{
    return tagRECT{x, y, x + w, y + h};
}

class CSFDialog;
class ISFDialogEvent;

// A skinned dialog of the shell, created (its controls made by the handler's
// initialisation), titled, sized w x h, centred and hidden.
CSFDialog* CreateShellDialog(ISFDialogEvent* handler, void* parent, DialogStyle style, const wchar_t* name,
                             const wchar_t* title, int w, int h);

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
