#include "Platform/IvsDrawer/IvsDrawer.h"

#include <QPainter>

#include <array>
#include <memory>
#include <mutex>

#include "Platform/IvsDrawer/IvsOverlayPainter.h"
#include "Platform/IvsDrawer/IvsPortState.h"

namespace IVS_DRAWER {

namespace {

// Ports are used from the library's threads (blocks) and the GUI thread
// (drawing); one lock guards them all. Nothing calls out under it.
struct PortTable {
    std::mutex mutex;
    std::array<std::unique_ptr<CIvsPortState>, kPortCount> ports;
};

PortTable& Table()
{
    static PortTable table;
    return table;
}

bool ValidPort(int port) { return port >= 0 && port < kPortCount; }

bool ValidKind(int kind) { return kind >= IVS_KIND_RULE && kind <= IVS_KIND_TRACK; }

// Runs action on an open port under the table lock; 0 when it is not open.
template <class Action>
int WithPort(int port, Action action)
{
    if (!ValidPort(port))
        return 0;
    PortTable& table = Table();
    std::lock_guard lock(table.mutex);
    CIvsPortState* state = table.ports[port].get();
    if (!state)
        return 0;
    return action(*state) ? 1 : 0;
}

// Puts state into a valid port's slot; whether the port was open before.
bool ReplacePort(int port, std::unique_ptr<CIvsPortState> state)
{
    PortTable& table = Table();
    std::lock_guard lock(table.mutex);
    const bool wasOpen = table.ports[port] != nullptr;
    table.ports[port] = std::move(state);
    return wasOpen;
}

std::span<const std::uint8_t> Bytes(const unsigned char* data, int length)
{
    if (!data || length <= 0)
        return {};
    return {data, std::size_t(length)};
}

}  // namespace

int IvsDrawer_Init()
{
    Table();
    return 1;
}

int IvsDrawer_OpenPort(int port)
{
    if (!ValidPort(port))
        return 0;
    ReplacePort(port, std::make_unique<CIvsPortState>());
    return 1;
}

int IvsDrawer_ClosePort(int port)
{
    return ValidPort(port) && ReplacePort(port, nullptr) ? 1 : 0;
}

int IvsDrawer_SetKindStyle(int port, int kind, int color, int lineWidth, int)
{
    if (!ValidKind(kind))
        return 0;
    return WithPort(port, [&](CIvsPortState& state) {
        state.SetStyle(kind, color, lineWidth);
        return true;
    });
}

int IvsDrawer_EnableKind(int port, int kind, int enable)
{
    if (!ValidKind(kind))
        return 0;
    return WithPort(port, [&](CIvsPortState& state) {
        state.Enable(kind, enable != 0);
        return true;
    });
}

int IvsDrawer_SetDrawType(int port, int drawType)
{
    return WithPort(port, [&](CIvsPortState& state) {
        state.SetDrawType(drawType);
        return true;
    });
}

int IvsDrawer_SetHoldFrames(int port, int group, int frames)
{
    if (group != IVS_BLOCK_RULES && group != IVS_BLOCK_TARGETS)
        return 0;
    return WithPort(port, [&](CIvsPortState& state) {
        state.SetHoldFrames(group, frames);
        return true;
    });
}

int IvsDrawer_InputRules(int port, const unsigned char* data, int length, int frameTimeMs)
{
    return WithPort(port, [&](CIvsPortState& state) {
        return state.InputRules(Bytes(data, length), frameTimeMs);
    });
}

int IvsDrawer_InputTargets(int port, int, const unsigned char* data, int length, int frameTimeMs)
{
    return WithPort(port, [&](CIvsPortState& state) {
        return state.InputTargets(Bytes(data, length), frameTimeMs);
    });
}

int IvsDrawer_Draw(int port, QPainter* painter, void*, int frameTimeMs)
{
    if (!painter || !painter->isActive())
        return 0;
    return WithPort(port, [&](CIvsPortState& state) {
        state.AdvanceFrame(frameTimeMs);
        CIvsOverlayPainter(*painter, QRectF(painter->window())).Paint(state);
        return true;
    });
}

}  // namespace IVS_DRAWER
