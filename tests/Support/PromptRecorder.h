#pragma once

#include <string>
#include <vector>

#include "Common/UserMessages.h"

// Stands in for the prompt dialog: records the texts and confirms each.
class PromptRecorder : public IPromptDialog {
public:
    int ShowMsg(const wchar_t* text, const wchar_t*, int) override
    {
        texts.emplace_back(text ? text : L"");
        return 1;
    }
    std::vector<std::wstring> texts;
};
