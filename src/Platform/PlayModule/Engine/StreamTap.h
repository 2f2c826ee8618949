#pragma once

#include "Platform/PlayModule/Source/MediaPacket.h"

namespace PLAY_MODULE {

// Receives every packet the play thread reads (data recording).
class IStreamTap {
public:
    virtual ~IStreamTap() = default;
    virtual void OnPacket(const MediaPacket& packet) = 0;
};

}  // namespace PLAY_MODULE
