#pragma once

#include "Platform/Win32/Win32Types.h"

// Plane copies of a planar 4:2:0 picture (Y plane of width x height bytes,
// then two chroma planes of width/2 x height/2 bytes; the second plane is
// U, the third V) into a surface of the given pitch. Rows are written only
// up to the picture's width, so no copy passes a row end whatever the
// width; the last odd column or row reuses the last chroma sample.
using SFPlaneCopyFunc = void (*)(BYTE*, BYTE*, BYTE*, BYTE*, DWORD, int, int);

// Y rows, then V (third) rows at dst + pitch*h, then U (second) rows at
// dst + pitch*h*5/4; chroma rows pitch/2 apart.
void CopyYV12ToYV12(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height);
// U Y0 V Y1 per pixel pair.
void CopyYV12ToUYVY(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height);
// Y0 U Y1 V per pixel pair.
void CopyYV12ToYUY2(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height);
