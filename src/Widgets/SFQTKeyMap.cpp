#include "Widgets/SFQTKeyMap.h"

#include "Platform/Win32/Win32Types.h"

unsigned SFQTModifierCode(Qt::KeyboardModifiers modifiers)
{
    unsigned code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= VK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        code |= VK_CONTROL;
    if (modifiers & Qt::AltModifier)
        code |= VK_MENU;
    return code;
}

unsigned SFQTDialogKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_F1: return VK_F1;
    default: return static_cast<unsigned>(qtKey);
    }
}

unsigned SFQTMainWindowKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_F1: return VK_F1;
    case Qt::Key_F4: return VK_F4;
    default: return static_cast<unsigned>(qtKey);
    }
}
