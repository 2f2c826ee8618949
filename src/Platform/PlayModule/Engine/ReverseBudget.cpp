#include "Platform/PlayModule/Engine/ReverseBudget.h"

#include "Platform/PlayModule/Output/PlanarPicture.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace PLAY_MODULE {

namespace {

std::atomic<std::size_t> g_holders{0};

}  // namespace

void CReverseBudget::Join()
{
    if (!m_joined)
        ++g_holders;
    m_joined = true;
}

void CReverseBudget::Leave()
{
    if (m_joined)
        --g_holders;
    m_joined = false;
}

std::size_t CReverseBudget::Bytes() const
{
    // A module about to hold pictures counts among the holders.
    const std::size_t holders = g_holders.load() + (m_joined ? 0 : 1);
    return std::min(kModuleBytes, kProcessBytes / holders);
}

std::size_t CReverseBudget::Holders()
{
    return g_holders.load();
}

CReverseBudget::Size CReverseBudget::FittingSize(Size picture, std::int64_t count, std::size_t bytes)
{
    const double each = double(bytes) / double(std::max<std::int64_t>(1, count));
    const double whole = double(PlanarPicture::SizeFor(picture.width, picture.height));
    if (picture.width <= kLeastReducedWidth || whole <= each)
        return picture;
    const double least = double(kLeastReducedWidth) / picture.width;
    const double scale = std::max(least, std::sqrt(each / whole));
    auto even = [](double side) { return std::max(2, int(side) & ~1); };
    return {even(picture.width * scale), even(picture.height * scale)};
}

}  // namespace PLAY_MODULE
