#include <boost/make_shared.hpp>

#include "PlayManager/IOverlayDrawer.h"
#include "Platform/IvsDrawer/IvsDrawer.h"

namespace {

using namespace IVS_DRAWER;

class CIvsOverlayDrawer : public IOverlayDrawer {
public:
    int OpenPort(int port) override { return IvsDrawer_OpenPort(port); }
    int ClosePort(int port) override { return IvsDrawer_ClosePort(port); }
    int SetKindStyle(int port, int kind, int color, int lineWidth, int reserved) override
    {
        return IvsDrawer_SetKindStyle(port, kind, color, lineWidth, reserved);
    }
    int EnableKind(int port, int kind, int enable) override
    {
        return IvsDrawer_EnableKind(port, kind, enable);
    }
    int SetDrawType(int port, int drawType) override
    {
        return IvsDrawer_SetDrawType(port, drawType);
    }
    int SetHoldFrames(int port, int group, int frames) override
    {
        return IvsDrawer_SetHoldFrames(port, group, frames);
    }
    int InputRules(int port, const unsigned char* data, int length, int value) override
    {
        return IvsDrawer_InputRules(port, data, length, value);
    }
    int InputTargets(int port, int reserved, const unsigned char* data, int length,
                     int value) override
    {
        return IvsDrawer_InputTargets(port, reserved, data, length, value);
    }
};

}  // namespace

boost::shared_ptr<IOverlayDrawer> IvsOverlayDrawer()
{
    static const boost::shared_ptr<IOverlayDrawer> drawer = boost::make_shared<CIvsOverlayDrawer>();
    return drawer;
}
