#include "PlayManager/RenderSetup.h"

#include "Platform/DDraw/DDrawRender.h"
#include "Platform/IvsDrawer/IvsDrawer.h"

int InitRender()
{
    // The renderer draws a window's overlays through the overlay drawer.
    CDDrawRender::SetOverlayDrawer(&IVS_DRAWER::IvsDrawer_Draw);
    return IVS_DRAWER::IvsDrawer_Init();
}
