#include "Widgets/PageComboStyle.h"

ImageComboBoxStyle SFPageComboStyle()
{
    ImageComboBoxStyle s;
    s.str0 = L"ComboBox.png";
    s.str1 = s.str2 = L"0,0,100,23";
    s.str3 = L"0,72,100,23";
    s.str4 = L"0,48,100,23";
    s.str5 = L"0,24,100,23";
    s.str6 = L"0,96,100,23";
    s.str7 = L"0,120,100,23";
    s.str8 = s.str9 = s.str10 = s.str11 = s.str12 = s.str13 = s.str14 = L"tile";
    return s;
}
