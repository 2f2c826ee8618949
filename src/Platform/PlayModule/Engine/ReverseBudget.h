#pragma once

#include <cstddef>

namespace PLAY_MODULE {

// The bytes of reverse pictures the process may hold, shared evenly among
// the modules that hold some, each within a cap: a lone window keeps whole
// groups, many windows together stay within the process's budget.
class CReverseBudget {
public:
    static constexpr std::size_t kProcessBytes = std::size_t(640) << 20;
    static constexpr std::size_t kModuleBytes = std::size_t(256) << 20;

    CReverseBudget() = default;
    CReverseBudget(const CReverseBudget&) = delete;
    CReverseBudget& operator=(const CReverseBudget&) = delete;
    ~CReverseBudget() { Leave(); }

    // The module holds pictures from now on / holds none any more.
    void Join();
    void Leave();
    // The module's share now (as one more holder while it holds none).
    std::size_t Bytes() const;
    bool Joined() const { return m_joined; }
    // The modules holding reverse pictures now.
    static std::size_t Holders();

private:
    bool m_joined = false;
};

}  // namespace PLAY_MODULE
