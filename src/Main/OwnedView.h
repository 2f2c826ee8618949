#pragma once

class ISFViewEvent;

// Deletes the view widget of an event object that goes before its parent
// window, so the widget never calls back into a dead object. Nothing when
// the widget is already gone.
void ReleaseOwnedView(ISFViewEvent* handler);
