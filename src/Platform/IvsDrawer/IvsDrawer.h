#pragma once

// Overlay drawer: keeps per drawing port the overlay blocks of a recording
// (analysis rules, alarm boxes, object tracks) and draws the current ones
// over the picture. Ports are numbered 0..511 and handed out by the caller.
//
// Kinds of the per-kind calls: 1 rules, 2 alarm boxes, 3 object tracks.
// Draw type: a mask of IVS_DRAW_RULE, IVS_DRAW_ALARM and IVS_DRAW_TRACK.
// Every call returns 1 on success and 0 for a bad port or argument.

class QPainter;

namespace IVS_DRAWER {

constexpr int kPortCount = 512;

enum IvsKind : int { IVS_KIND_RULE = 1, IVS_KIND_ALARM = 2, IVS_KIND_TRACK = 3 };
enum IvsDrawMask : int {
    IVS_DRAW_RULE = 1,
    IVS_DRAW_ALARM = 2,
    IVS_DRAW_TRACK = 4,
    IVS_DRAW_ALL = 7
};
// Block groups of the timing call: rules, and targets (boxes and tracks).
enum IvsBlockGroup : int { IVS_BLOCK_RULES = 1, IVS_BLOCK_TARGETS = 2 };

// Ready for the process; safe to call more than once.
int IvsDrawer_Init();
// Opens a port: every kind on with its default style, all drawn, no blocks.
int IvsDrawer_OpenPort(int port);
// Closes a port and forgets its blocks.
int IvsDrawer_ClosePort(int port);
// Style of a kind: colour as 0x00BBGGRR or -1 for the kind's own, line width
// in pixels or 0 for the default; the last value is reserved.
int IvsDrawer_SetKindStyle(int port, int kind, int color, int lineWidth, int reserved);
// Turns a kind on (nonzero) or off.
int IvsDrawer_EnableKind(int port, int kind, int enable);
// Which kinds are drawn (IvsDrawMask).
int IvsDrawer_SetDrawType(int port, int drawType);
// How many drawn frames a block of the group stays up when no newer block
// replaces it; 0 keeps it until it is replaced.
int IvsDrawer_SetHoldFrames(int port, int group, int frames);
// A rules block (kind 5 of a recording) shown at the given frame time (ms).
int IvsDrawer_InputRules(int port, const unsigned char* data, int length, int frameTimeMs);
// A targets block (kind 6 of a recording); the second value is reserved.
int IvsDrawer_InputTargets(int port, int reserved, const unsigned char* data, int length,
                           int frameTimeMs);
// Draws the port's current overlays over the painter's whole window rect.
// window is not used; frameTimeMs is the time of the picture drawn under it.
int IvsDrawer_Draw(int port, QPainter* painter, void* window, int frameTimeMs);

}  // namespace IVS_DRAWER
