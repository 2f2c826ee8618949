#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace PLAY_MODULE {

// Where a play clock reads wall time; tests give their own.
class ITimeSource {
public:
    virtual ~ITimeSource() = default;
    virtual std::int64_t NowUs() const = 0;
};

class CSteadyTimeSource : public ITimeSource {
public:
    std::int64_t NowUs() const override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    static std::shared_ptr<ITimeSource> Instance()
    {
        static const auto source = std::make_shared<CSteadyTimeSource>();
        return source;
    }
};

}  // namespace PLAY_MODULE
