#include "Common/ConfigXMLPersistImp.h"

#include "Base/TextCodec.h"
#include "Common/SettingText.h"
#include "Common/XmlText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool IsBlank(const char* text)
{
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    return *text == '\0';
}

bool ParseInt(const char* text, std::int32_t* value)
{
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || !IsBlank(end) || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX)
        return false;
    *value = static_cast<std::int32_t>(parsed);
    return true;
}

}  // namespace

CConfigXMLPersistImp::CConfigXMLPersistImp(const std::string& /*unused*/)
{
    if (!LoadXmlFile(m_document, kSettingsPath, kMaxSettingsBytes))
        m_fileUnreadable = IsThere(kSettingsPath);
}

bool CConfigXMLPersistImp::IsThere(const char* path)
{
    // A link to a file not made yet (settings kept with the user's other
    // files) is not there: the first save makes the file through it.
    struct stat entry {};
    return ::lstat(path, &entry) == 0 && (::stat(path, &entry) == 0 || errno != ENOENT);
}

const char* CConfigXMLPersistImp::FindValue(const wchar_t* group, const wchar_t* key) const
{
    if (!group || !key)
        return nullptr;
    const TiXmlElement* root = m_document.RootElement();
    const TiXmlElement* groupElement =
        root ? root->FirstChildElement(SF_SOFT_BASE::WideToUtf8(group).c_str()) : nullptr;
    const TiXmlElement* item =
        groupElement ? groupElement->FirstChildElement(SF_SOFT_BASE::WideToUtf8(key).c_str())
                     : nullptr;
    return item ? item->Attribute("value") : nullptr;
}

double CConfigXMLPersistImp::ReadDouble(const wchar_t* group, const wchar_t* key,
                                        double defaultValue, int)
{
    const char* text = FindValue(group, key);
    if (!text)
        return defaultValue;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    return end == text || !IsBlank(end) ? defaultValue : value;
}

std::int32_t CConfigXMLPersistImp::ReadLong(const wchar_t* group, const wchar_t* key,
                                            std::int32_t defaultValue, int unused)
{
    return ReadInt(group, key, defaultValue, unused);
}

bool CConfigXMLPersistImp::ReadBool(const wchar_t* group, const wchar_t* key, bool defaultValue,
                                    int)
{
    const char* text = FindValue(group, key);
    if (!text)
        return defaultValue;
    for (const char* yes : {"true", "yes", "1"})
        if (strcasecmp(text, yes) == 0)
            return true;
    for (const char* no : {"false", "no", "0"})
        if (strcasecmp(text, no) == 0)
            return false;
    return defaultValue;
}

std::int32_t CConfigXMLPersistImp::ReadInt(const wchar_t* group, const wchar_t* key,
                                           std::int32_t defaultValue, int)
{
    const char* text = FindValue(group, key);
    std::int32_t value = defaultValue;
    return text && ParseInt(text, &value) ? value : defaultValue;
}

std::wstring CConfigXMLPersistImp::ReadString(const wchar_t* group, const wchar_t* key,
                                              const std::wstring& defaultValue)
{
    const char* text = FindValue(group, key);
    return text ? UnescapeSettingText(text) : defaultValue;
}

std::string_view CConfigXMLPersistImp::ReadUtf8(const wchar_t* group, const wchar_t* key)
{
    const char* text = FindValue(group, key);
    return text ? std::string_view(text) : std::string_view();
}

void CConfigXMLPersistImp::LoadXml(const char* xml)
{
    if (!xml)
        return;
    ParseXmlText(m_document, xml);
}
