#pragma once

#include "Platform/Win32/Win32Types.h"

// Plane copies of a planar 4:2:0 picture (planes as SF_SOFT_BASE::PlanarLayout
// sizes them; the second plane is U, the third V) into a surface of the
// given pitch. Rows are written only up to the picture's width, so no copy
// passes a row end whatever the width.
using SFPlaneCopyFunc = void (*)(BYTE*, BYTE*, BYTE*, BYTE*, DWORD, int, int);

// Y rows, then V (third) and U (second) rows where CDDrawSurface places its
// chroma planes; chroma rows pitch/2 apart.
void CopyYV12ToYV12(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height);
// U Y0 V Y1 per pixel pair.
void CopyYV12ToUYVY(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height);
// Y0 U Y1 V per pixel pair.
void CopyYV12ToYUY2(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height);
