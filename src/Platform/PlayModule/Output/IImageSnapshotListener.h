#pragma once

namespace PLAY_MODULE {

// Pixel layout of frames handed to OnSnapshot: tightly packed planar 4:2:0,
// Y then U then V in the shared layout (SF_SOFT_BASE::PlanarLayout).
inline constexpr long kSnapshotFormatYuv420 = 1;

// Receives every decoded frame while the display callback is enabled.
class IImageSnapshotListener {
public:
    virtual ~IImageSnapshotListener() = default;
    // frame: size bytes in the given format; timeStamp: seconds since 1970.
    virtual void OnSnapshot(char* frame, long size, long width, long height, long timeStamp,
                            long format) = 0;
};

}  // namespace PLAY_MODULE
