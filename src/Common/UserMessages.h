#pragma once

#include <functional>
#include <string>

// The program-wide prompt dialog; the main window creates it and registers
// it here. ShowMsg returns the pressed button (1 confirms).
class IPromptDialog {
public:
    virtual int ShowMsg(const wchar_t* text, const wchar_t* title, int buttonStyle) = 0;

protected:
    ~IPromptDialog() = default;
};

// Registers (or, with null, withdraws) the prompt dialog.
void SetPromptDialog(IPromptDialog* dialog);

// Runs the prompt dialog: style 1 two buttons, otherwise one; a null title
// gives the translated "Prompt". -1 while no prompt dialog exists.
int ShowMessageBox(const wchar_t* text, const wchar_t* title, int buttonStyle);

// Receives the lines of the notification pop-up; the main window sets it.
using NotifyMessageHandler = std::function<void(const std::wstring& text, bool show)>;
void SetNotifyMessageHandler(NotifyMessageHandler handler);

// Appends a line to the notification pop-up (and brings it up when show is
// set); goes to the debug log while no notifier exists.
void ShowNotifyMessage(const std::wstring& text, bool show);
