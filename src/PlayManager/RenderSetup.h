#pragma once

// One-time set-up of the rendering side at start-up: the colour-conversion
// tables and the overlay drawer. Call after the message loops exist.
int InitRender();
