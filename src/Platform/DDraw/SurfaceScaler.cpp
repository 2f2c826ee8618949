#include "Platform/DDraw/SurfaceScaler.h"

#include <algorithm>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr size_t kMaxContexts = 64;

int PixelFormatOf(DDrawFormat format)
{
    switch (format) {
    case DDFMT_UYVY: return AV_PIX_FMT_UYVY422;
    case DDFMT_YUY2: return AV_PIX_FMT_YUYV422;
    case DDFMT_YV12: return AV_PIX_FMT_YUV420P;
    default: return AV_PIX_FMT_RGB32;
    }
}

// The rectangle clipped to the surface, its left and top made even so
// that chroma samples stay whole.
tagRECT ClipSource(const CDDrawSurface& source, const tagRECT* rect)
{
    tagRECT r{0, 0, source.Width() - 1, source.Height() - 1};
    if (rect) {
        r.left = std::clamp<LONG>(rect->left, 0, source.Width() - 1) & ~1;
        r.top = std::clamp<LONG>(rect->top, 0, source.Height() - 1) & ~1;
        r.right = std::clamp<LONG>(rect->right, r.left, source.Width() - 1);
        r.bottom = std::clamp<LONG>(rect->bottom, r.top, source.Height() - 1);
    }
    return r;
}

static_assert(SWS_FAST_BILINEAR == 1 && SWS_POINT == 16);

}  // namespace

CSurfaceScaler::~CSurfaceScaler()
{
    for (auto& entry : m_contexts)
        sws_freeContext(entry.second);
}

SwsContext* CSurfaceScaler::ContextFor(int format, int sw, int sh, int dw, int dh)
{
    const Key key{format, sw, sh, dw, dh};
    if (auto it = m_contexts.find(key); it != m_contexts.end())
        return it->second;
    if (m_contexts.size() >= kMaxContexts) {
        for (auto& entry : m_contexts)
            sws_freeContext(entry.second);
        m_contexts.clear();
    }
    SwsContext* context = sws_getContext(sw, sh, static_cast<AVPixelFormat>(format), dw, dh, AV_PIX_FMT_RGB32,
                                         m_flags, nullptr, nullptr, nullptr);
    if (context)
        m_contexts.emplace(key, context);
    return context;
}

HRESULT CSurfaceScaler::Blt(const CDDrawSurface& source, const tagRECT* sourceRect, CDDrawSurface& target)
{
    if (source.IsLost() || target.IsLost())
        return DDERR_SURFACELOST;
    const BYTE* bits = source.Bits();
    if (!bits || target.Format() != DDFMT_RGB32 || target.Image().isNull() || source.Format() == DDFMT_RGB32)
        return DDERR_INVALIDPARAMS;
    const tagRECT r = ClipSource(source, sourceRect);
    const int sw = r.right - r.left + 1, sh = r.bottom - r.top + 1;
    const int pitch = source.Pitch();
    const BYTE* planes[4] = {nullptr, nullptr, nullptr, nullptr};
    int strides[4] = {0, 0, 0, 0};
    if (source.Format() == DDFMT_YV12) {
        const size_t chromaPitch = static_cast<size_t>(pitch / 2);
        const size_t chromaOffset = static_cast<size_t>(r.top / 2) * chromaPitch + static_cast<size_t>(r.left / 2);
        const BYTE* v = bits + CDDrawSurface::FirstChromaOffset(pitch, source.Height());
        const BYTE* u = bits + CDDrawSurface::SecondChromaOffset(pitch, source.Height());
        planes[0] = bits + static_cast<size_t>(r.top) * pitch + r.left;
        planes[1] = u + chromaOffset;
        planes[2] = v + chromaOffset;
        strides[0] = pitch;
        strides[1] = strides[2] = pitch / 2;
    } else {
        planes[0] = bits + static_cast<size_t>(r.top) * pitch + static_cast<size_t>(r.left) * 2;
        strides[0] = pitch;
    }
    return Scale(PixelFormatOf(source.Format()), planes, strides, sw, sh, target.Image());
}

HRESULT CSurfaceScaler::BltPlanar(const PlanarSource& source, QImage& target)
{
    const tagRECT& r = source.rect;
    if (!source.y || !source.u || !source.v || target.isNull() || target.depth() != 32 || r.left < 0 ||
        r.top < 0 || r.right < r.left || r.bottom < r.top)
        return DDERR_INVALIDPARAMS;
    const size_t chromaOffset = static_cast<size_t>(r.top / 2) * source.chromaStride + static_cast<size_t>(r.left / 2);
    const BYTE* planes[4] = {source.y + static_cast<size_t>(r.top) * source.yStride + r.left,
                             source.u + chromaOffset, source.v + chromaOffset, nullptr};
    const int strides[4] = {source.yStride, source.chromaStride, source.chromaStride, 0};
    return Scale(AV_PIX_FMT_YUV420P, planes, strides, r.right - r.left + 1, r.bottom - r.top + 1, target);
}

HRESULT CSurfaceScaler::Scale(int format, const BYTE* const planes[4], const int strides[4], int sw, int sh,
                              QImage& image)
{
    SwsContext* context = ContextFor(format, sw, sh, image.width(), image.height());
    if (!context)
        return DDERR_GENERIC;
    uint8_t* out[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int outStrides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(context, planes, strides, 0, sh, out, outStrides);
    return DD_OK;
}
