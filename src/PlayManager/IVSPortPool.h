#pragma once

#include "Base/SFMutex.h"

// Process-wide pool of overlay-drawing ports 0..511; the lowest free port is
// handed out first.
class CIVSPortPool {
public:
    static constexpr int kPortCount = 512;

    static CIVSPortPool* Instance();

    // A free port, or -1 when all are taken.
    int Alloc();
    // Returns a port; values outside 0..511 are ignored.
    void Free(int port);

private:
    CIVSPortPool() = default;

    SF_SOFT_BASE::CSFMutex m_lock;
    int m_slots[kPortCount] = {};
};
