#include "Main/PathNames.h"

std::wstring FileNameOf(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FileNameWithoutExtension(const std::wstring& path)
{
    const std::wstring name = FileNameOf(path);
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}
