#pragma once

#include "Common/IConfigPersistent.h"

#include <cstddef>
#include <tinyxml.h>

// Settings read from "Config/config.xml" (relative to the current folder),
// loaded once at construction. A missing or broken file reads as empty, so
// every setting gets its default; a broken one is reported by FileUnreadable.
// Text values are read unescaped (UnescapeSettingText).
class CConfigXMLPersistImp : public IConfigPersistent {
public:
    static constexpr const char* kSettingsPath = "Config/config.xml";
    // The largest settings file read; the program never writes a larger one.
    static constexpr std::size_t kMaxSettingsBytes = std::size_t(64) << 20;

    explicit CConfigXMLPersistImp(const std::string& unused);

    double ReadDouble(const wchar_t* group, const wchar_t* key, double defaultValue,
                      int unused) override;
    std::int32_t ReadLong(const wchar_t* group, const wchar_t* key, std::int32_t defaultValue,
                          int unused) override;
    bool ReadBool(const wchar_t* group, const wchar_t* key, bool defaultValue,
                  int unused) override;
    std::int32_t ReadInt(const wchar_t* group, const wchar_t* key, std::int32_t defaultValue,
                         int unused) override;
    std::wstring ReadString(const wchar_t* group, const wchar_t* key,
                            const std::wstring& defaultValue) override;
    std::string_view ReadUtf8(const wchar_t* group, const wchar_t* key) override;
    void LoadXml(const char* xml) override;
    bool FileUnreadable() const override { return m_fileUnreadable; }

private:
    // Whether the path names anything, a link to nothing yet not counted.
    static bool IsThere(const char* path);
    // The "value" attribute of the setting, or null.
    const char* FindValue(const wchar_t* group, const wchar_t* key) const;

    TiXmlDocument m_document;
    bool m_fileUnreadable = false;
};
