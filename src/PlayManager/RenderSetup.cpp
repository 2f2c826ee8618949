#include "PlayManager/RenderSetup.h"

#include "Common/YuvToRgb.h"
#include "Platform/IvsDrawer/IvsDrawer.h"

int InitRender()
{
    InitYuvToRgbTables();
    return IVS_DRAWER::IvsDrawer_Init();
}
