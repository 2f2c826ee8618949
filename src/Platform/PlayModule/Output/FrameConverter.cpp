#include "Platform/PlayModule/Output/FrameConverter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace PLAY_MODULE {

namespace {

bool IsPlanar420(int format)
{
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

void CopyRows(std::uint8_t* dest, int destStride, const std::uint8_t* src, int srcStride,
              int width, int rows)
{
    for (int row = 0; row < rows; ++row)
        std::memcpy(dest + std::size_t(row) * destStride, src + std::size_t(row) * srcStride,
                    std::size_t(width));
}

std::uint8_t Clamp(int value)
{
    return std::uint8_t(std::clamp(value, 0, 255));
}

}  // namespace

CFrameConverter::CFrameConverter()
{
    SetColor(64, 64, 64, 64);
}

CFrameConverter::~CFrameConverter()
{
    sws_freeContext(m_scaler);
    av_frame_free(&m_scaled);
}

void CFrameConverter::SetColor(int brightness, int contrast, int saturation, int hue)
{
    brightness = std::clamp(brightness, 0, 128);
    contrast = std::clamp(contrast, 0, 128);
    saturation = std::clamp(saturation, 0, 128);
    hue = std::clamp(hue, 0, 128);
    m_neutral = brightness == 64 && contrast == 64 && saturation == 64;
    m_hueNeutral = hue == 64;
    // 0..128 turns the colours from -180 to +180 degrees.
    const double angle = double(hue - 64) / 64.0 * 3.14159265358979323846;
    m_hueCos = int(std::lround(std::cos(angle) * (1 << 14)));
    m_hueSin = int(std::lround(std::sin(angle) * (1 << 14)));
    for (int i = 0; i < 256; ++i) {
        const int luma = (i - 128) * contrast / 64 + 128 + (brightness - 64) * 2;
        m_lumaTable[i] = Clamp(luma);
        m_chromaTable[i] = Clamp((i - 128) * saturation / 64 + 128);
    }
}

const AVFrame* CFrameConverter::ToYuv420(const AVFrame& frame, int width, int height)
{
    if (IsPlanar420(frame.format) && width == frame.width && height == frame.height)
        return &frame;
    m_scaler = sws_getCachedContext(m_scaler, frame.width, frame.height,
                                    AVPixelFormat(frame.format), width, height,
                                    AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_scaler)
        return nullptr;
    if (!m_scaled || m_scaled->width != width || m_scaled->height != height) {
        av_frame_free(&m_scaled);
        m_scaled = av_frame_alloc();
        if (!m_scaled)
            return nullptr;
        m_scaled->format = AV_PIX_FMT_YUV420P;
        m_scaled->width = width;
        m_scaled->height = height;
        if (av_frame_get_buffer(m_scaled, 0) < 0) {
            av_frame_free(&m_scaled);
            return nullptr;
        }
    }
    if (sws_scale(m_scaler, frame.data, frame.linesize, 0, frame.height, m_scaled->data,
                  m_scaled->linesize) <= 0)
        return nullptr;
    return m_scaled;
}

void CFrameConverter::CopyPlanes(const AVFrame& frame, PlanarPicture& out) const
{
    const int w = out.width;
    const int h = out.height;
    CopyRows(out.bytes.data(), w, frame.data[0], frame.linesize[0], w, h);
    std::uint8_t* first = out.bytes.data() + out.FirstChromaOffset();
    std::uint8_t* second = out.bytes.data() + out.SecondChromaOffset();
    const int u = out.vFirst ? 2 : 1;
    const int v = out.vFirst ? 1 : 2;
    const int cw = out.Layout().ChromaWidth();
    const int ch = out.Layout().ChromaHeight();
    CopyRows(first, cw, frame.data[u], frame.linesize[u], cw, ch);
    CopyRows(second, cw, frame.data[v], frame.linesize[v], cw, ch);
}

void CFrameConverter::RotateHue(PlanarPicture& out) const
{
    const std::size_t chroma = out.Layout().ChromaSize();
    std::uint8_t* u = out.bytes.data() + (out.vFirst ? out.SecondChromaOffset() : out.FirstChromaOffset());
    std::uint8_t* v = out.bytes.data() + (out.vFirst ? out.FirstChromaOffset() : out.SecondChromaOffset());
    for (std::size_t i = 0; i < chroma; ++i) {
        const int cu = u[i] - 128;
        const int cv = v[i] - 128;
        u[i] = Clamp(((cu * m_hueCos - cv * m_hueSin) >> 14) + 128);
        v[i] = Clamp(((cu * m_hueSin + cv * m_hueCos) >> 14) + 128);
    }
}

void CFrameConverter::ApplyColor(PlanarPicture& out) const
{
    const std::size_t luma = std::size_t(out.width) * out.height;
    for (std::size_t i = 0; i < luma; ++i)
        out.bytes[i] = m_lumaTable[out.bytes[i]];
    for (std::size_t i = luma; i < out.bytes.size(); ++i)
        out.bytes[i] = m_chromaTable[out.bytes[i]];
}

bool CFrameConverter::Convert(const AVFrame& frame, bool vFirst, PlanarPicture& out)
{
    return ConvertScaled(frame, vFirst, frame.width, frame.height, out);
}

bool CFrameConverter::ConvertScaled(const AVFrame& frame, bool vFirst, int width, int height, PlanarPicture& out)
{
    if (frame.width < 2 || frame.height < 2)
        return false;
    width = std::clamp(width, 2, frame.width);
    height = std::clamp(height, 2, frame.height);
    const AVFrame* planar = ToYuv420(frame, width, height);
    if (!planar)
        return false;
    FromPlanar(*planar, vFirst, out);
    out.reduced = width != frame.width || height != frame.height;
    return true;
}

void CFrameConverter::FromPlanar(const AVFrame& planar, bool vFirst, PlanarPicture& out) const
{
    out.width = planar.width;
    out.height = planar.height;
    out.vFirst = vFirst;
    out.bytes.resize(PlanarPicture::SizeFor(out.width, out.height));
    CopyPlanes(planar, out);
    if (!m_neutral)
        ApplyColor(out);
    if (!m_hueNeutral)
        RotateHue(out);
}

}  // namespace PLAY_MODULE
