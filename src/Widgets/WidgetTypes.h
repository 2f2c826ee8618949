#pragma once

// Enumerations of the widget interfaces.

// Mode of a video grid: 0 plays video, 1 edits a layout.
enum VIDEOWINDOWMODE : int {
    VIDEOWINDOWMODE_NORMAL = 0,
    VIDEOWINDOWMODE_LAYOUT_EDIT = 1,
};

// When a slider reports a new position: on every change, or on release only.
enum SLIDER_RESPONSE_MODE : int {
    SLIDER_RESPONSE_CONTINUOUS = 0,
    SLIDER_RESPONSE_ON_RELEASE = 1,
};

// How a frame reaches a grid cell: nothing, a Qt image, a DirectDraw surface.
enum RENDER_DATA_TYPE : int {
    RENDER_DATA_NONE = 0,
    RENDER_DATA_QIMAGE = 1,
    RENDER_DATA_DDRAW = 2,
};

// Scroll kind of the image panel (no effect yet).
enum DISPLAY_TYPE : int {
    DISPLAY_TYPE_DEFAULT = 0,
};

// Controls and states of the play control panel, which has no Qt form.
enum ControlIdentifier : int {
    CONTROL_ID_NONE = 0,
};
enum ControlStatus : int {
    CONTROL_STATUS_NORMAL = 0,
};

// Standard grids of the video window; any other value is a custom layout.
enum LAYOUT_TYPE : int {
    LAYOUT_1 = 0,
    LAYOUT_4 = 1,
    LAYOUT_6 = 2,
    LAYOUT_8 = 3,
    LAYOUT_9 = 4,
    LAYOUT_13 = 5,
    LAYOUT_16 = 6,
    LAYOUT_20 = 7,
    LAYOUT_25 = 8,
    LAYOUT_36 = 9,
    LAYOUT_CUSTOM = 10,
};
