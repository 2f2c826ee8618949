#pragma once

#include <atomic>

namespace PLAY_MODULE {

// The modules of the process whose reverse play has just begun on a running
// clock (a turn) with long to play: the windows wait for their first groups.
// Files readied backward put their own decoding off meanwhile, so as not to
// share the cores with them.
class CReverseTurns {
public:
    CReverseTurns() = default;
    CReverseTurns(const CReverseTurns&) = delete;
    CReverseTurns& operator=(const CReverseTurns&) = delete;
    ~CReverseTurns() { Set(false); }

    // This module turns / no longer turns.
    void Set(bool turning);
    bool Turning() const { return m_counted; }
    // Any module of the process turns.
    static bool Any();

private:
    bool m_counted = false;
    static std::atomic<int> s_turning;
};

}  // namespace PLAY_MODULE
