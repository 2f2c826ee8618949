#include "Common/LangStringTable.h"

#include "Base/TextCodec.h"
#include "Common/XmlText.h"

#include <tinyxml.h>

namespace {

std::wstring Cut(std::wstring text)
{
    if (text.size() > CLangStringTable::kMaxTextLength)
        text.resize(CLangStringTable::kMaxTextLength);
    return text;
}

}  // namespace

const wchar_t* CLangStringTable::Translate(const wchar_t* key, const std::string& languageFile,
                                          const std::string& fallbackFile)
{
    if (!key)
        return L"";
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_tried) {
        m_tried = true;
        // The language's entries go over the fallback's.
        if (fallbackFile != languageFile)
            LoadLocked(fallbackFile);
        m_loaded = LoadLocked(languageFile);
    }
    auto found = m_texts.find(key);
    if (found != m_texts.end())
        return found->second.c_str();
    return InternLocked(Cut(key));
}

bool CLangStringTable::IsLoaded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_loaded;
}

bool CLangStringTable::LoadLocked(const std::string& file)
{
    TiXmlDocument document;
    if (file.empty() || !LoadXmlFile(document, file))
        return false;
    const TiXmlElement* root = document.RootElement();
    for (const TiXmlElement* item = root ? root->FirstChildElement() : nullptr; item;
         item = item->NextSiblingElement()) {
        const char* name = item->Attribute("name");
        const char* value = item->Attribute("value");
        if (!name || !value)
            continue;
        m_texts[SF_SOFT_BASE::Utf8ToWide(name)] = Cut(SF_SOFT_BASE::Utf8ToWide(value));
    }
    return true;
}

const wchar_t* CLangStringTable::InternLocked(std::wstring text)
{
    return m_keys.insert(std::move(text)).first->c_str();
}
