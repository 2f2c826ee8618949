#include "Widgets/PlayerSkins.h"

ImageVideoWindowStyle SFVideoWindowStyle(const std::wstring& loadingText)
{
    ImageVideoWindowStyle s;
    s.str0 = L"NoVideo.png";
    s.str1 = s.str2 = L"btn_videoclose.png";
    s.str3 = L"btn_videoclosedown.png";
    s.str4 = s.str5 = L"btn_videosnap.png";
    s.str6 = L"btn_videosnapdown.png";
    s.str7 = s.str9 = L"btn_propertynor.png";
    s.str8 = L"btn_propertydown.png";
    s.str10 = L"btn_videorecordcheck.png";
    s.str11 = L"btn_videorecord.png";
    s.str12 = L"16,16";
    s.str13 = L"8f8f8f";
    s.str14 = L"353b48";
    s.str15 = L"fa0000";
    s.str16 = L"586f1b";
    s.str17 = L"00fa00";
    s.str18 = L"38b6ff";
    s.str19 = s.str20 = L"2";
    s.str21 = loadingText;
    return s;
}

ImageRadioBox SFPlayToggleStyle()
{
    return ImageRadioBox{L"btn_parsenor.png",         L"btn_parsenor.png",
                         L"btn_parseover.png",        L"btn_playunchchecknor.png",
                         L"btn_playunchchecknor.png", L"btn_playuncheckover.png",
                         L"btn_parsenor.png",         L"btn_playuncheckover.png"};
}

ImageProgressCtrlStyle SFProgressBarStyle()
{
    return ImageProgressCtrlStyle{L"progress_active.png", L"progress_bg.png", L"progress_maskleft.png",
                                  L"progress_maskright.png"};
}

ImageSliderStyle SFSpeedSliderStyle()
{
    ImageSliderStyle s;
    s.str0 = L"slider_speedoutput.png";
    s.str1 = L"0,0,120,20";
    s.str2 = L"120,0,120,20";
    s.str3 = L"240,0,20,20";
    s.str4 = L"260,0,20,20";
    s.str5 = L"280,0,20,20";
    s.str6 = L"300,0,20,20";
    s.str7 = s.str8 = s.str9 = s.str10 = s.str11 = s.str12 = L"tile";
    return s;
}
