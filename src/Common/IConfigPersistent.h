#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads typed settings addressed by group and key; every read gives its
// default when the setting is missing or does not parse.
class IConfigPersistent {
public:
    virtual ~IConfigPersistent() = default;

    virtual double ReadDouble(const wchar_t* group, const wchar_t* key, double defaultValue,
                              int unused) = 0;
    virtual std::int32_t ReadLong(const wchar_t* group, const wchar_t* key,
                                  std::int32_t defaultValue, int unused) = 0;
    virtual bool ReadBool(const wchar_t* group, const wchar_t* key, bool defaultValue,
                          int unused) = 0;
    virtual std::int32_t ReadInt(const wchar_t* group, const wchar_t* key,
                                 std::int32_t defaultValue, int unused) = 0;
    virtual std::wstring ReadString(const wchar_t* group, const wchar_t* key,
                                    const std::wstring& defaultValue) = 0;
    // The stored UTF-8 text ReadString decodes (empty when missing); valid
    // while the store lives and loads nothing else.
    virtual std::string_view ReadUtf8(const wchar_t* group, const wchar_t* key) = 0;
    // Replaces the document with the parsed text (ignored when null).
    virtual void LoadXml(const char* xml) = 0;
    // True when the store's file is there but could not be read; every
    // setting then reads as its default.
    virtual bool FileUnreadable() const { return false; }
};
