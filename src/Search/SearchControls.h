#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SkinStyles.h"

// Small pieces the search page's views share.

// Visible with a tab stop: the style of every control of the search page.
constexpr DWORD kSearchControlStyle = WS_VISIBLE | 0x00010000;

// Normal, hover and pressed images of a push button.
ImageButtonStyle MakeSearchButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed);

// A toggle's images: checked normal, hover and pressed; unchecked normal,
// hover and pressed; checked and unchecked disabled.
ImageRadioBox MakeSearchRadioSkin(const wchar_t* const (&images)[8]);

// Moves a control that was made; one that was not is left alone.
template <class Control>
void PlaceSearchControl(Control* control, tagRECT rect)
{
    if (control)
        control->MoveWindow(&rect);
}
