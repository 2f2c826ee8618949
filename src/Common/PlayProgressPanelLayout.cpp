#include "Common/PlayProgressPanelLayout.h"

PlayProgressPanelLayout MakePlayProgressPanelLayout(int width)
{
    auto n = [](int value) { return std::to_wstring(value); };
    PlayProgressPanelLayout layout;
    layout[0] = L"156,0," + n(width - 198) + L",70";
    layout[1] = L"2,10,138,60";
    layout[2] = L"140,25,15,30";
    layout[3] = n(width - 41) + L",25,15,30";
    layout[4] = L"0,10," + n(width - 25) + L",70";
    layout[5] = L"8,78,129,21";
    layout[6] = L"slider_speedoutput.png";
    layout[7] = L"0,0,120,20";
    layout[8] = L"120,0,120,20";
    layout[9] = L"240,0,20,20";
    layout[10] = L"260,0,20,20";
    layout[11] = L"280,0,20,20";
    layout[12] = L"300,0,20,20";
    layout[13] = L"28,78,90,21";
    layout[26] = n(width - 25) + L",22,21,28";
    layout[27] = n(width - 25) + L",50,21,28";
    return layout;
}
