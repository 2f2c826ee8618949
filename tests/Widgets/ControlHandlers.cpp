#include "ControlHandlers.h"

SF_BEGIN_MESSAGE_MAP(ControlOwnerEvent)
    SF_ON_COMMAND(ControlOwnerEvent::kRadioId, OnRadio)
    SF_ON_COMMAND(ControlOwnerEvent::kCheckId, OnCheck)
    SF_ON_COMMAND(SF_LIST_ROW_BUTTON_CONFIG, OnConfig)
    SF_ON_COMMAND(SF_LIST_ROW_BUTTON_LOGIN, OnLogin)
    SF_ON_NOTIFY(SF_LCN_ITEM_DBLCLICK, ControlOwnerEvent::kListId, OnListDblClick)
    SF_ON_NOTIFY(SF_LCN_ROWBUTTON_CLICK, ControlOwnerEvent::kListId, OnListRowButton)
SF_END_MESSAGE_MAP()
