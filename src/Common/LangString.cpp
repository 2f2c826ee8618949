#include "Common/LangString.h"

#include "Common/AppDir.h"
#include "Common/LangStringTable.h"

#include <atomic>
#include <filesystem>
#include <string>

namespace {

std::atomic<int> g_language{1};

constexpr int kEnglish = 1;

std::string LanguageFile(int language)
{
    return SFGetAppDirUtf8() + "/Lang_" + std::to_string(language) + ".xml";
}

CLangStringTable& Table()
{
    static CLangStringTable table;
    return table;
}

}  // namespace

void SetLanguageNumber(int language)
{
    g_language = language;
}

int GetLanguageNumber()
{
    return g_language;
}

int ChooseLanguageNumber(int wanted)
{
    std::error_code error;
    return std::filesystem::is_regular_file(LanguageFile(wanted), error) ? wanted : kEnglish;
}

const wchar_t* GetLangString(const wchar_t* key)
{
    return Table().Translate(key, LanguageFile(g_language.load()), LanguageFile(kEnglish));
}
