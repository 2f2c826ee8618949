#include "Common/UserMessages.h"

#include "Base/FileSystemHelpers.h"
#include "Common/LangString.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace {

std::atomic<IPromptDialog*> g_promptDialog{nullptr};
std::mutex g_notifyMutex;
std::shared_ptr<NotifyMessageHandler> g_notifyHandler;

}  // namespace

void SetPromptDialog(IPromptDialog* dialog)
{
    g_promptDialog = dialog;
}

int ShowMessageBox(const wchar_t* text, const wchar_t* title, int buttonStyle)
{
    IPromptDialog* dialog = g_promptDialog;
    if (!dialog)
        return -1;
    return dialog->ShowMsg(text, title ? title : GetLangString(L"Prompt"), buttonStyle);
}

void SetNotifyMessageHandler(NotifyMessageHandler handler)
{
    auto shared = handler ? std::make_shared<NotifyMessageHandler>(std::move(handler)) : nullptr;
    std::lock_guard<std::mutex> lock(g_notifyMutex);
    g_notifyHandler = std::move(shared);
}

void ShowNotifyMessage(const std::wstring& text, bool show)
{
    std::shared_ptr<NotifyMessageHandler> handler;
    {
        std::lock_guard<std::mutex> lock(g_notifyMutex);
        handler = g_notifyHandler;
    }
    if (handler)
        (*handler)(text, show);
    else
        SF_SOFT_BASE::DebugLogWide(L"Notify: " + text);
}
