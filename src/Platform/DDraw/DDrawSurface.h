#pragma once

#include <memory>
#include <vector>

#include <QImage>

#include "Platform/DDraw/DDrawTypes.h"

// A memory surface with a format, size and pitch. A lost surface refuses
// locks and blits until it is restored; restoring re-allocates its memory
// and fails when the allocation fails.
class CDDrawSurface {
public:
    CDDrawSurface(DDrawFormat format, int width, int height);

    // False when the memory could not be had.
    bool IsAllocated() const;
    DDrawFormat Format() const { return m_format; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Pitch() const { return m_pitch; }

    HRESULT Lock(BYTE*& bits, int& pitch);
    void Unlock() { m_locked = false; }
    HRESULT Restore();
    bool IsLost() const { return m_lost; }
    // Marks the surface lost, as after a change of display mode.
    void Lose() { m_lost = true; }

    const BYTE* Bits() const;
    // RGB32 only: the image over the surface's memory.
    QImage& Image() { return m_image; }

    // Bytes a surface of this format and size needs, and its pitch.
    static int PitchFor(DDrawFormat format, int width);
    static size_t BytesFor(DDrawFormat format, int width, int height);
    // A planar surface: the luma rows, then the V and the U plane, each of
    // (height + 1) / 2 rows of pitch / 2 bytes.
    static size_t FirstChromaOffset(int pitch, int height);
    static size_t SecondChromaOffset(int pitch, int height);

private:
    bool Allocate();

    DDrawFormat m_format;
    int m_width;
    int m_height;
    int m_pitch;
    bool m_lost = false;
    bool m_locked = false;
    std::vector<BYTE> m_bytes;
    QImage m_image;
};

using DDrawSurfacePtr = std::shared_ptr<CDDrawSurface>;
