#pragma once

// Skin records: wide texts (image names, rectangles "x,y,w,h", "tile" or
// "stretch", RRGGBB colours, fonts) that event objects fill and hand to
// SetSkin. Fields keep their declaration order; the widget that reads a
// record says what each field means.

#include <cstdint>
#include <string>

// Frame skin of dialogs and the main window; strings counted 0..69.
struct DialogStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
    std::wstring str13;
    std::wstring str14;
    std::wstring str15;
    std::wstring str16;
    std::wstring str17;
    std::wstring str18;
    std::wstring str19;
    std::wstring str20;
    std::wstring str21;
    std::wstring str22;
    std::wstring str23;
    std::wstring str24;
    std::wstring str25;
    std::wstring str26;
    std::wstring str27;
    std::wstring str28;
    std::wstring str29;
    std::wstring str30;
    std::wstring str31;
    std::wstring str32;
    std::wstring str33;
    std::wstring str34;
    std::wstring str35;
    std::wstring str36;
    std::wstring str37;
    std::wstring str38;
    std::wstring str39;
    std::wstring str40;
    std::wstring str41;
    std::wstring str42;
    std::wstring str43;
    std::wstring str44;
    std::wstring str45;
    std::wstring str46;
    std::wstring str47;
    std::wstring str48;
    std::wstring str49;
    std::wstring str50;
    std::wstring str51;
    std::wstring str52;
    std::wstring str53;
    std::wstring str54;
    std::int32_t nReserved = 0;
    std::wstring str55;
    std::wstring str56;
    std::wstring str57;
    std::wstring str58;
    std::wstring str59;
    std::wstring str60;
    std::wstring str61;
    std::wstring str62;
    std::wstring str63;
    std::wstring str64;
    std::wstring str65;
    std::wstring str66;
    std::wstring str67;
    std::wstring str68;
    std::wstring str69;

    // String field by its position 0..69; null outside.
    const std::wstring* Field(int index) const;
    std::wstring* Field(int index);
};

// Push button: normal, hover, pressed, disabled image, then four unused.
struct ImageButtonStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
};
// Radio box images.
struct ImageRadioBox {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
};
// Check box images.
struct ImageCheckBox {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
};
// Combo box look.
struct ImageComboBoxStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
    std::wstring str13;
    std::wstring str14;
};
// Slider look.
struct ImageSliderStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
};
// Progress bar look.
struct ImageProgressCtrlStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
};
// List control look.
struct ListCtrlStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
    std::wstring str13;
    std::wstring str14;
    std::wstring str15;
    std::wstring str16;
    std::wstring str17;
    std::wstring str18;
    std::wstring str19;
    std::wstring str20;
    std::wstring str21;
    std::wstring str22;
    std::wstring str23;
    std::wstring str24;
    std::wstring str25;
    std::wstring str26;
    std::wstring str27;
    std::wstring str28;
    std::wstring str29;
    std::wstring str30;
    std::wstring str31;
    std::wstring str32;
    std::wstring str33;
    std::wstring str34;
    std::wstring str35;
    std::wstring str36;
    std::wstring str37;
    std::wstring str38;
    std::wstring str39;
    std::wstring str40;
    std::wstring str41;
    std::wstring str42;
    std::wstring str43;
    std::wstring str44;
    std::wstring str45;
    std::int32_t n0 = 0;
    std::int32_t n1 = 0;
    std::int32_t n2 = 0;
    std::int32_t n3 = 0;
};
// Tree control look.
struct UITreeCtrlStyle {
    std::int32_t n0 = 0;
    std::int32_t n1 = 0;
    std::int32_t n2 = 0;
    std::int32_t n3 = 0;
    std::int32_t n4 = 0;
    std::int32_t n5 = 0;
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
};
// Date-time control look.
struct ImageDateTimeStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
};
// Number spinner look.
struct ImageNumSpinerStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
};
// Video grid look: 21 strings, two integers, 2 strings.
struct ImageVideoWindowStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
    std::wstring str13;
    std::wstring str14;
    std::wstring str15;
    std::wstring str16;
    std::wstring str17;
    std::wstring str18;
    std::wstring str19;
    std::wstring str20;
    std::int32_t n0 = 0;
    std::int32_t n1 = 0;
    std::wstring str21;
    std::wstring str22;
};

// Image panel look: item height, item width, horizontal and vertical
// margin, gap.
struct UIImagePanelStyle {
    std::wstring str0;
    std::wstring str1;
    std::wstring str2;
    std::wstring str3;
    std::wstring str4;
    std::wstring str5;
    std::wstring str6;
    std::wstring str7;
    std::wstring str8;
    std::wstring str9;
    std::wstring str10;
    std::wstring str11;
    std::wstring str12;
    std::wstring str13;
    std::wstring str14;
    std::wstring str15;
    std::int32_t n0 = 0;
    std::int32_t n1 = 0;
    std::int32_t n2 = 0;
    std::int32_t n3 = 0;
    std::int32_t n4 = 0;
};
// Month calendar look (the calendar has no Qt form).
struct ImageMonthCalStyle {};
