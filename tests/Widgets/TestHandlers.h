#pragma once

// Recording event objects shared by the widget tests.

#include <string>
#include <utility>
#include <vector>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SFViewEvent.h"

class RecordingDialogEvent : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    void Dlg_OnInitDialog(int modeless) override { calls.push_back("init:" + std::to_string(modeless)); }
    void Dlg_OnOK() override { calls.push_back("ok"); }
    void Dlg_OnCancel() override { calls.push_back("cancel"); }
    void OnDlgSize(UINT, int& cx, int& cy) override { sizes.emplace_back(cx, cy); }
    int Dlg_Close() override { calls.push_back("close"); return keepOpen; }
    void Dlg_Destroy() override { calls.push_back("destroy"); }
    void OnDlgFileDrop(const wchar_t* path) override { drops.emplace_back(path); }
    void OnDlgTimer(UINT id) override { timers.push_back(id); }
    void OnDlgKeyDown(UINT key, UINT flags) override { keys.emplace_back(key, flags); }
    void OnMsgScreenLock(int locked) override { locks.push_back(locked); }
    void OnDlgShowWindow(int show, UINT) override { calls.push_back("show:" + std::to_string(show)); }

    void OnOkCommand() { calls.push_back("cmd:1"); }
    void OnButton7() { calls.push_back("cmd:7"); }
    void OnInfo(WPARAM w, LPARAM l) { calls.push_back("ui:" + std::to_string(w) + ":" + std::to_string(l)); }

    std::vector<std::string> calls;
    std::vector<std::pair<int, int>> sizes;
    std::vector<std::wstring> drops;
    std::vector<UINT> timers;
    std::vector<std::pair<UINT, UINT>> keys;
    std::vector<int> locks;
    int keepOpen = 0;
};

class RecordingViewEvent : public ISFViewEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    int OnCreate() override { calls.push_back("create"); return 0; }
    void OnDestroy() override { calls.push_back("destroy"); }
    void OnSize(UINT, int cx, int cy) override { sizes.emplace_back(cx, cy); }
    void OnLButtonDown(UINT, tagPOINT p) override { presses.emplace_back(p.x, p.y); }
    void OnLButtonDblClk(UINT, tagPOINT p) override { doubleClicks.emplace_back(p.x, p.y); }
    void OnShowWindow(int show) override { calls.push_back("show:" + std::to_string(show)); }

    void OnButton3() { calls.push_back("cmd:3"); }
    void OnInfo(WPARAM w, LPARAM l) { calls.push_back("ui:" + std::to_string(w) + ":" + std::to_string(l)); }

    std::vector<std::string> calls;
    std::vector<std::pair<int, int>> sizes, presses, doubleClicks;
};

class RecordingButtonEvent : public ISFButtonEvent {
public:
    void BTN_OnLButtonDown(int id, UINT, tagPOINT) override { calls.push_back("down:" + std::to_string(id)); }
    void BTN_OnLButtonUp(int id, UINT, tagPOINT) override { calls.push_back("up:" + std::to_string(id)); }
    void BTN_OnMouseMove(int id, UINT, tagPOINT) override { calls.push_back("move:" + std::to_string(id)); }
    void BTN_OnMouseLeave(int id, UINT, long) override { calls.push_back("leave:" + std::to_string(id)); }
    void BTN_OnClicked(int id) override { calls.push_back("clicked:" + std::to_string(id)); }

    std::vector<std::string> calls;
};
