#include "Search/SearchControls.h"

ImageButtonStyle MakeSearchButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed)
{
    ImageButtonStyle style;
    style.str0 = normal;
    style.str1 = hover;
    style.str2 = pressed;
    return style;
}

ImageRadioBox MakeSearchRadioSkin(const wchar_t* const (&images)[8])
{
    ImageRadioBox style;
    std::wstring* fields[8] = {&style.str0, &style.str1, &style.str2, &style.str3,
                               &style.str4, &style.str5, &style.str6, &style.str7};
    for (int i = 0; i < 8; ++i)
        *fields[i] = images[i];
    return style;
}
