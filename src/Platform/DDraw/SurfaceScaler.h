#pragma once

#include <map>
#include <tuple>

#include "Platform/DDraw/DDrawSurface.h"

struct SwsContext;

// Scales and converts a rectangle of a YUV surface into the whole of a
// 32-bit surface. Keeps one conversion context per pair of sizes.
class CSurfaceScaler {
public:
    CSurfaceScaler() = default;
    ~CSurfaceScaler();
    CSurfaceScaler(const CSurfaceScaler&) = delete;
    CSurfaceScaler& operator=(const CSurfaceScaler&) = delete;

    // Source rectangle inclusive, clipped to the surface; null: whole.
    HRESULT Blt(const CDDrawSurface& source, const tagRECT* sourceRect, CDDrawSurface& target);
    size_t ContextCount() const { return m_contexts.size(); }

private:
    using Key = std::tuple<int, int, int, int, int>;
    SwsContext* ContextFor(int format, int sw, int sh, int dw, int dh);

    std::map<Key, SwsContext*> m_contexts;
};
