#pragma once

#include "Platform/Win32/Win32Types.h"

class CSFView;
class ISFViewEvent;

// Makes the child view of a page part: stores it in view (before its
// creation calls OnCreate), gives it its background and creates it visible.
// False when no view could be made.
bool CreatePageView(ISFViewEvent* handler, CSFView*& view, const wchar_t* background, const wchar_t* name,
                    const tagRECT& rect, void* parent, UINT id);

// Deletes the view widget of an event object that goes before its parent
// window, so the widget never calls back into a dead object. Nothing when
// the widget is already gone.
void ReleaseOwnedView(ISFViewEvent* handler);
