#pragma once

// Waits for the stream player to consume all it was fed; a hang traps.
#include <chrono>
#include <thread>

#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"

namespace FUZZ {

inline void Drain(PLAY_MODULE::CPlaySdkWrapper& player)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (player.GetBufferValue(3) + player.GetSourceBufferRemain() != 0) {
        if (std::chrono::steady_clock::now() > deadline) __builtin_trap();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

}  // namespace FUZZ
