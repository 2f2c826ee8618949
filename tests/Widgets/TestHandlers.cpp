#include "TestHandlers.h"

SF_BEGIN_MESSAGE_MAP(RecordingDialogEvent)
    SF_ON_COMMAND(1, OnOkCommand)
    SF_ON_COMMAND(7, OnButton7)
    SF_ON_UI_MESSAGE(2001, OnInfo)
SF_END_MESSAGE_MAP()

SF_BEGIN_MESSAGE_MAP(RecordingViewEvent)
    SF_ON_COMMAND(3, OnButton3)
    SF_ON_UI_MESSAGE(2002, OnInfo)
SF_END_MESSAGE_MAP()
