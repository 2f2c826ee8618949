#include "Platform/DDraw/DDrawDevice.h"

#include <atomic>

namespace {

std::atomic<std::uint32_t> g_acceptedFormats{DDFMT_UYVY | DDFMT_YUY2 | DDFMT_YV12 | DDFMT_RGB32};
std::atomic<int> g_screenWidth{1920};
std::atomic<int> g_screenHeight{1080};
std::atomic<bool> g_allocationFails{false};

}  // namespace

DDrawSurfacePtr CDDrawDevice::CreateSurface(DDrawFormat format, int width, int height) const
{
    if ((AcceptedFormats() & format) == 0)
        return nullptr;
    auto surface = std::make_shared<CDDrawSurface>(format, width, height);
    return surface->IsAllocated() ? surface : nullptr;
}

void CDDrawDevice::SetAcceptedFormats(std::uint32_t mask) { g_acceptedFormats = mask; }
std::uint32_t CDDrawDevice::AcceptedFormats() { return g_acceptedFormats; }

void CDDrawDevice::SetScreenSize(int width, int height)
{
    g_screenWidth = width;
    g_screenHeight = height;
}

tagSIZE CDDrawDevice::ScreenSize() { return {g_screenWidth, g_screenHeight}; }
void CDDrawDevice::SetAllocationFails(bool fails) { g_allocationFails = fails; }
bool CDDrawDevice::AllocationFails() { return g_allocationFails; }

void CDDrawDevice::ResetDisplay()
{
    SetAcceptedFormats(DDFMT_UYVY | DDFMT_YUY2 | DDFMT_YV12 | DDFMT_RGB32);
    SetScreenSize(1920, 1080);
    SetAllocationFails(false);
}
