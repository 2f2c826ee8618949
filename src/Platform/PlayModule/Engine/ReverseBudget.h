#pragma once

#include <cstddef>
#include <cstdint>

namespace PLAY_MODULE {

// The bytes of reverse pictures the process may hold, shared evenly among
// the modules that hold some, each within a cap: a lone window keeps whole
// groups, many windows together stay within the process's budget.
class CReverseBudget {
public:
    static constexpr std::size_t kProcessBytes = std::size_t(384) << 20;
    static constexpr std::size_t kModuleBytes = std::size_t(320) << 20;
    // Pictures are never reduced below this width (nor a narrower one at all).
    static constexpr int kLeastReducedWidth = 320;

    struct Size {
        int width = 0;
        int height = 0;
    };

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
    // The size at which count pictures of the given size fit in bytes, with
    // the same shape and even sides; never below kLeastReducedWidth wide.
    static Size FittingSize(Size picture, std::int64_t count, std::size_t bytes);

private:
    bool m_joined = false;
};

}  // namespace PLAY_MODULE
