#pragma once

#include <boost/shared_ptr.hpp>

// The overlay drawer as a play object calls it; tests put a recorder of the
// calls in its place.
class IOverlayDrawer {
public:
    virtual ~IOverlayDrawer() = default;
    virtual int OpenPort(int port) = 0;
    virtual int ClosePort(int port) = 0;
    virtual int SetKindStyle(int port, int kind, int color, int lineWidth, int reserved) = 0;
    virtual int EnableKind(int port, int kind, int enable) = 0;
    virtual int SetDrawType(int port, int drawType) = 0;
    virtual int SetHoldFrames(int port, int group, int frames) = 0;
    virtual int InputRules(int port, const unsigned char* data, int length, int value) = 0;
    virtual int InputTargets(int port, int reserved, const unsigned char* data, int length,
                             int value) = 0;
};

// The process's overlay drawer (IvsDrawer).
boost::shared_ptr<IOverlayDrawer> IvsOverlayDrawer();
