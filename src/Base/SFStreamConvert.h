#pragma once

#include <string>

namespace SF_SOFT_BASE {

// Holds one text in a multibyte and a wide form. Every code page (the
// system's 0 and 65001 alike) is UTF-8 here.
class CSFStreamConvert {
public:
    CSFStreamConvert() = default;
    CSFStreamConvert(const wchar_t* text, unsigned codePage);
    CSFStreamConvert(const char* text, unsigned codePage);
    virtual ~CSFStreamConvert() = default;

    // The returned pointers stay valid until the next conversion.
    const char* ToMultiByte(const wchar_t* text, unsigned codePage);
    const wchar_t* ToWideChar(const char* text, unsigned codePage);

    // Null until a conversion was made.
    const char* GetMultiByte() const { return m_hasText ? m_multiByte.c_str() : nullptr; }
    const wchar_t* GetWideChar() const { return m_hasText ? m_wide.c_str() : nullptr; }
    std::string GetMultiByteString() const { return m_multiByte; }
    std::wstring GetWideString() const { return m_wide; }
    void Free();

private:
    std::string m_multiByte;
    std::wstring m_wide;
    bool m_hasText = false;
};

}  // namespace SF_SOFT_BASE
