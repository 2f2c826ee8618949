#include "Widgets/StandardFrameStyle.h"

DialogStyle SFStandardFrameStyle()
{
    DialogStyle s;
    s.str0 = L"Frame.png";
    s.str1 = L"bg_monitor.png";
    s.str2 = L"tile";
    s.str3 = L"000000";
    s.str4 = L"0,0,10,27";
    s.str5 = L"tile";
    s.str6 = L"30,0,1,27";
    s.str7 = L"stretch";
    s.str8 = L"138,0,10,27";
    s.str10 = L"0,27,1,80";
    s.str12 = s.str14 = L"0,110,1,20";
    s.str16 = L"0,130,10,10";
    s.str18 = L"10,130,1,10";
    s.str20 = L"138,130,10,10";
    s.str22 = s.str24 = L"147,110,1,20";
    s.str26 = L"147,27,1,80";
    s.str37 = L"11,41,23,14";  // close
    s.str38 = L"41,41,23,14";
    s.str39 = L"71,41,23,14";
    s.str44 = L"-28,7,23,14";
    s.str45 = L"Tahoma";
    s.str46 = L"11";
    s.str47 = L"normal";
    s.str48 = L"333333";
    s.str49 = L"999999";
    s.str53 = L"left";
    s.str54 = L"10,0,1000,27";
    s.nReserved = 1;
    s.str55 = L"0,0,-1,-1";
    return s;
}
