#pragma once

// Recording event objects of the control tests.

#include <string>
#include <vector>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SFListCtrlNotify.h"

// Owner dialog whose message map takes the controls' commands and the
// list's notifications (list id 703).
class ControlOwnerEvent : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kRadioId = 21;
    static constexpr UINT kCheckId = 22;
    static constexpr UINT kListId = 703;

    struct Notice {
        UINT code;
        int row;
        int column;
        DWORD data;
        bool operator==(const Notice&) const = default;
    };

    void Dlg_OnInitDialog(int) override {}

    void OnRadio() { calls.push_back("cmd:21"); }
    void OnCheck() { calls.push_back("cmd:22"); }
    void OnConfig() { calls.push_back("cmd:2134"); }
    void OnLogin() { calls.push_back("cmd:2135"); }
    void OnListDblClick(tagNMHDR* header, LRESULT*) { Record(header); }
    void OnListRowButton(tagNMHDR* header, LRESULT*) { Record(header); }

    std::vector<std::string> calls;
    std::vector<Notice> notices;

private:
    void Record(tagNMHDR* header)
    {
        const auto* notify = reinterpret_cast<const SF_LISTCTRL_NOTIFY*>(header);
        calls.push_back("notify:" + std::to_string(notify->hdr.code));
        notices.push_back({notify->hdr.code, notify->iItem, notify->iSubItem, notify->dwItemData});
    }
};

class RecordingRadioEvent : public ISFRadioBoxEvent {
public:
    struct Click {
        int checked;
        int id;
        int x;
        int y;
        bool operator==(const Click&) const = default;
    };
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override
    {
        clicks.push_back({checked, id, point.x, point.y});
    }
    std::vector<Click> clicks;
};

class RecordingCheckEvent : public ISFCheckBoxEvent {
public:
    void BTN_OnLButtonDown() override { calls.push_back("down"); }
    void BTN_OnLButtonUp() override { calls.push_back("up"); }
    void BTN_OnMouseMove() override { calls.push_back("move"); }
    std::vector<std::string> calls;
};

class RecordingComboEvent : public ISFComboBoxEvent {
public:
    void SelectChanged(int id, int index) override { changes.emplace_back(id, index); }
    std::vector<std::pair<int, int>> changes;
};

class RecordingEditEvent : public ISFEditCtrlEvent {
public:
    void EDIT_OnTextChange(UINT id, wchar_t* text) override { changes.emplace_back(std::to_wstring(id) + L":" + text); }
    void EDIT_OnEditingFinished(UINT id, wchar_t* text) override
    {
        finished.emplace_back(std::to_wstring(id) + L":" + text);
    }
    std::vector<std::wstring> changes, finished;
};

class RecordingListBoxEvent : public ISFListBoxEvent {
public:
    void OnMouseDown() override { calls.push_back("down"); }
    void OnMouseUp() override { calls.push_back("up"); }
    void OnMouseMove() override { calls.push_back("move"); }
    std::vector<std::string> calls;
};

class RecordingSliderEvent : public ISFSliderCtrlEvent {
public:
    void SF_OnSliderPos(int id, int pos) override { positions.emplace_back(id, pos); }
    std::vector<std::pair<int, int>> positions;
};

class RecordingTreeEvent : public ISFTreeCtrlEvent {
public:
    void OnItemDbClick(void* item, tagPOINT&) override { doubleClicks.push_back(item); }
    int OnItemClick(void* item, UINT) override
    {
        clicks.push_back(item);
        return 1;
    }
    void OnItemCheckStateChanged(void* item, int checked) override { checkChanges.emplace_back(item, checked); }
    void OnItemCheckBoxClick(void* item, UINT userCheckable) override { boxClicks.emplace_back(item, userCheckable); }
    void OnDlgKeyDown(UINT modifiers, UINT key) override { keys.emplace_back(modifiers, key); }

    std::vector<void*> doubleClicks, clicks;
    std::vector<std::pair<void*, int>> checkChanges;
    std::vector<std::pair<void*, UINT>> boxClicks;
    std::vector<std::pair<UINT, UINT>> keys;
};

class RecordingDateTimeEvent : public ISFDateTimeCtrlEvent {
public:
    void DTN_DateTimeChange(UINT id, _SF_SYSTEMTIME time) override
    {
        ids.push_back(id);
        times.push_back(time);
    }
    std::vector<UINT> ids;
    std::vector<_SF_SYSTEMTIME> times;
};

class RecordingImagePanelEvent : public ISFImagePanelEvent {
public:
    void IMGPNL_OnPlayImage(const wchar_t* path) override { played.emplace_back(path); }
    std::vector<std::wstring> played;
};

class RecordingSpinnerEvent : public ISFNumSpinerEvent {
public:
    void OnCurrentNumChanged(UINT id, int value) override { changes.emplace_back(id, value); }
    std::vector<std::pair<UINT, int>> changes;
};

class RecordingFrameEvent : public ISFFrameEvent {
public:
    int OnFrameCreate() override { return 0; }
};

class RecordingChildWndEvent : public ISFChildWndEvent {};
