#include "Platform/PlayModule/Engine/ReverseTurns.h"

namespace PLAY_MODULE {

std::atomic<int> CReverseTurns::s_turning{0};

void CReverseTurns::Set(bool turning)
{
    if (turning == m_counted)
        return;
    m_counted = turning;
    s_turning += turning ? 1 : -1;
}

bool CReverseTurns::Any()
{
    return s_turning.load() > 0;
}

}  // namespace PLAY_MODULE
