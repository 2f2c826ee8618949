#pragma once

#include <cstdint>
#include <string>

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
    // Replaces the document with the parsed text (ignored when null).
    virtual void LoadXml(const char* xml) = 0;
    // True when the store's file is there but could not be read; every
    // setting then reads as its default.
    virtual bool FileUnreadable() const { return false; }
};
