#include "Base/SFStreamConvert.h"

#include "Base/TextCodec.h"

namespace SF_SOFT_BASE {

CSFStreamConvert::CSFStreamConvert(const wchar_t* text, unsigned codePage)
{
    ToMultiByte(text, codePage);
}

CSFStreamConvert::CSFStreamConvert(const char* text, unsigned codePage)
{
    ToWideChar(text, codePage);
}

const char* CSFStreamConvert::ToMultiByte(const wchar_t* text, unsigned /*codePage*/)
{
    Free();
    m_wide = text ? text : L"";
    m_multiByte = WideToUtf8(m_wide);
    m_hasText = true;
    return m_multiByte.c_str();
}

const wchar_t* CSFStreamConvert::ToWideChar(const char* text, unsigned /*codePage*/)
{
    Free();
    m_multiByte = text ? text : "";
    m_wide = Utf8ToWide(m_multiByte);
    m_hasText = true;
    return m_wide.c_str();
}

void CSFStreamConvert::Free()
{
    m_multiByte.clear();
    m_wide.clear();
    m_hasText = false;
}

}  // namespace SF_SOFT_BASE
