#include "Common/LangString.h"

#include "Common/AppDir.h"
#include "Common/LangStringTable.h"

#include <atomic>
#include <string>

namespace {

std::atomic<int> g_language{1};

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

const wchar_t* GetLangString(const wchar_t* key)
{
    std::string file = SFGetAppDirUtf8() + "/Lang_" + std::to_string(g_language.load()) + ".xml";
    return Table().Translate(key, file);
}
