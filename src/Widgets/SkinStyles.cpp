#include "Widgets/SkinStyles.h"

#include <array>
#include <cstddef>

namespace {

template <typename Style>
std::array<std::wstring Style::*, 70> DialogFieldTable()
{
    return {{
        &Style::str0,
        &Style::str1,
        &Style::str2,
        &Style::str3,
        &Style::str4,
        &Style::str5,
        &Style::str6,
        &Style::str7,
        &Style::str8,
        &Style::str9,
        &Style::str10,
        &Style::str11,
        &Style::str12,
        &Style::str13,
        &Style::str14,
        &Style::str15,
        &Style::str16,
        &Style::str17,
        &Style::str18,
        &Style::str19,
        &Style::str20,
        &Style::str21,
        &Style::str22,
        &Style::str23,
        &Style::str24,
        &Style::str25,
        &Style::str26,
        &Style::str27,
        &Style::str28,
        &Style::str29,
        &Style::str30,
        &Style::str31,
        &Style::str32,
        &Style::str33,
        &Style::str34,
        &Style::str35,
        &Style::str36,
        &Style::str37,
        &Style::str38,
        &Style::str39,
        &Style::str40,
        &Style::str41,
        &Style::str42,
        &Style::str43,
        &Style::str44,
        &Style::str45,
        &Style::str46,
        &Style::str47,
        &Style::str48,
        &Style::str49,
        &Style::str50,
        &Style::str51,
        &Style::str52,
        &Style::str53,
        &Style::str54,
        &Style::str55,
        &Style::str56,
        &Style::str57,
        &Style::str58,
        &Style::str59,
        &Style::str60,
        &Style::str61,
        &Style::str62,
        &Style::str63,
        &Style::str64,
        &Style::str65,
        &Style::str66,
        &Style::str67,
        &Style::str68,
        &Style::str69
    }};
}

const auto& DialogFields()
{
    static const auto table = DialogFieldTable<DialogStyle>();
    return table;
}

}  // namespace

const std::wstring* DialogStyle::Field(int index) const
{
    if (index < 0 || index >= static_cast<int>(DialogFields().size()))
        return nullptr;
    return &(this->*DialogFields()[static_cast<std::size_t>(index)]);
}

std::wstring* DialogStyle::Field(int index)
{
    if (index < 0 || index >= static_cast<int>(DialogFields().size()))
        return nullptr;
    return &(this->*DialogFields()[static_cast<std::size_t>(index)]);
}
