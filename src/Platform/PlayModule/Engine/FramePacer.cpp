#include "Platform/PlayModule/Engine/FramePacer.h"

#include <algorithm>

namespace PLAY_MODULE {

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(20);
constexpr std::int64_t kLateDropUs = 80'000;
constexpr double kLateDropMediaMs = 1000.0;
constexpr std::int64_t kResyncUs = 1'000'000;
constexpr std::int64_t kFarBehindUs = 500'000;
constexpr std::int64_t kShowAtLeastEveryUs = 500'000;

std::int64_t WallUs()
{
    return CSteadyTimeSource::Instance()->NowUs();
}

}  // namespace

std::int64_t CFramePacer::UsUntilDue(CPlayClock& clock, bool ownsClock, std::int64_t clockMs)
{
    const std::int64_t waitUs = clock.UsUntil(clockMs);
    if (waitUs <= 0 && ownsClock && -waitUs > kResyncUs && clock.Speed() <= 1.0)
        clock.Set(clockMs);
    return waitUs;
}

std::chrono::microseconds CFramePacer::WaitSlice(std::int64_t usUntilDue)
{
    return std::min<std::chrono::microseconds>(std::chrono::microseconds(usUntilDue), kWaitSlice);
}

bool CFramePacer::IsLate(std::int64_t lateUs, double speed, bool grouped)
{
    const double lateMediaMs = double(lateUs) * speed / 1000.0;
    return (speed > 1.0 || grouped) && (lateUs >= kLateDropUs || lateMediaMs >= kLateDropMediaMs);
}

bool CFramePacer::SkipsToKeyFrame(double speed)
{
    return speed > 1.0;
}

bool CFramePacer::IsFarBehind(std::int64_t lateUs)
{
    return lateUs >= kFarBehindUs;
}

bool CFramePacer::ShownRecently() const
{
    return WallUs() - m_lastShownUs <= kShowAtLeastEveryUs;
}

void CFramePacer::MarkShown()
{
    m_lastShownUs = WallUs();
}

void CFramePacer::Forget()
{
    m_lastShownUs = 0;
}

}  // namespace PLAY_MODULE
