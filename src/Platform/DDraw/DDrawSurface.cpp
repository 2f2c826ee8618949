#include "Platform/DDraw/DDrawSurface.h"

#include <new>

#include "Base/PlanarLayout.h"
#include "Platform/DDraw/DDrawDevice.h"

namespace {

// Planar rows are a pitch wide; the pitch is even, so its chroma planes are pitch / 2 wide.
SF_SOFT_BASE::PlanarLayout PlanarLayoutFor(int pitch, int height)
{
    return {pitch, height};
}

}  // namespace

CDDrawSurface::CDDrawSurface(DDrawFormat format, int width, int height)
    : m_format(format), m_width(width), m_height(height), m_pitch(PitchFor(format, width))
{
    Allocate();
}

int CDDrawSurface::PitchFor(DDrawFormat format, int width)
{
    int row = width;
    if (format == DDFMT_UYVY || format == DDFMT_YUY2)
        row = (width + 1) / 2 * 4;
    else if (format == DDFMT_RGB32)
        row = width * 4;
    return (row + 15) / 16 * 16;
}

size_t CDDrawSurface::BytesFor(DDrawFormat format, int width, int height)
{
    const size_t pitch = static_cast<size_t>(PitchFor(format, width));
    const size_t h = static_cast<size_t>(height);
    return format == DDFMT_YV12 ? PlanarLayoutFor(int(pitch), height).Size() : pitch * h;
}

size_t CDDrawSurface::FirstChromaOffset(int pitch, int height)
{
    return PlanarLayoutFor(pitch, height).FirstChromaOffset();
}

size_t CDDrawSurface::SecondChromaOffset(int pitch, int height)
{
    return PlanarLayoutFor(pitch, height).SecondChromaOffset();
}

bool CDDrawSurface::Allocate()
{
    m_image = QImage();
    m_bytes.clear();
    if (m_width < 1 || m_height < 1 || CDDrawDevice::AllocationFails())
        return false;
    try {
        if (m_format == DDFMT_RGB32) {
            m_image = QImage(m_width, m_height, QImage::Format_RGB32);
            if (m_image.isNull())
                return false;
            m_image.fill(Qt::black);
            m_pitch = static_cast<int>(m_image.bytesPerLine());
        } else {
            m_bytes.assign(BytesFor(m_format, m_width, m_height), 0);
        }
    } catch (const std::bad_alloc&) {
        m_bytes.clear();
        return false;
    }
    return true;
}

bool CDDrawSurface::IsAllocated() const { return m_format == DDFMT_RGB32 ? !m_image.isNull() : !m_bytes.empty(); }

HRESULT CDDrawSurface::Lock(BYTE*& bits, int& pitch)
{
    bits = nullptr;
    if (m_lost || !IsAllocated())
        return DDERR_SURFACELOST;
    bits = m_format == DDFMT_RGB32 ? m_image.bits() : m_bytes.data();
    pitch = m_pitch;
    m_locked = true;
    return DD_OK;
}

HRESULT CDDrawSurface::Restore()
{
    if (!m_lost && IsAllocated())
        return DD_OK;
    if (!Allocate())
        return DDERR_OUTOFMEMORY;
    m_lost = false;
    return DD_OK;
}

const BYTE* CDDrawSurface::Bits() const
{
    if (!IsAllocated())
        return nullptr;
    return m_format == DDFMT_RGB32 ? m_image.constBits() : m_bytes.data();
}
