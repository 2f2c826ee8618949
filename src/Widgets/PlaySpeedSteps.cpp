#include "Widgets/PlaySpeedSteps.h"

namespace {

struct SpeedStep {
    const wchar_t* label;
    float factor;
};
constexpr SpeedStep kSpeeds[kPlaySpeedSteps] = {
    {L"1/64X", 0.015625f}, {L"1/32X", 0.03125f}, {L"1/16X", 0.0625f}, {L"1/8X", 0.125f}, {L"1/4X", 0.25f},
    {L"1/2X", 0.5f},       {L"1X", 1.0f},        {L"2X", 2.0f},       {L"4X", 4.0f},     {L"8X", 8.0f},
    {L"16X", 16.0f},       {L"32X", 32.0f},      {L"64X", 64.0f}};

const SpeedStep& StepAt(int position)
{
    return kSpeeds[position >= 0 && position < kPlaySpeedSteps ? position : kNormalPlaySpeedPosition];
}

}  // namespace

const wchar_t* SFPlaySpeedLabel(int position)
{
    return StepAt(position).label;
}

float SFPlaySpeedFactor(int position)
{
    return StepAt(position).factor;
}
