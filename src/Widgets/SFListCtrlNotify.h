#pragma once

// Notification record of the list control. The list sends it with
// WM_NOTIFY: wParam holds the record's address, lParam the list's control
// id. The record lives only for the duration of the call.

#include "Platform/Win32/Win32Types.h"

// Codes of the list's notifications.
constexpr UINT SF_LCN_ROWBUTTON_CLICK = 2;  // a row button was clicked
constexpr UINT SF_LCN_ITEM_DBLCLICK = 3;    // a cell was double-clicked

// Ids of the two row buttons, sent as WM_COMMAND after a row-button notice.
constexpr UINT SF_LIST_ROW_BUTTON_CONFIG = 2134;
constexpr UINT SF_LIST_ROW_BUTTON_LOGIN = 2135;

struct SF_LISTCTRL_NOTIFY {
    tagNMHDR hdr;         // the list widget, its control id, the code
    int iItem = -1;       // row; -1 when the cell belongs to no list
    int iSubItem = -1;    // column; -1 likewise
    DWORD dwItemData = 0;  // user data of the row
};
