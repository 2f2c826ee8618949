#include "Platform/PlayModule/Engine/ReverseBudget.h"

#include <algorithm>
#include <atomic>

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

}  // namespace PLAY_MODULE
