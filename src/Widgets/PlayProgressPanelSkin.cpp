#include "Widgets/PlayProgressPanelSkin.h"

#include <iterator>

PlayProgressPanelImages SFPlayProgressPanelImages()
{
    PlayProgressPanelImages images;
    for (std::wstring& name : images.rowUp)
        name = L"channel_up.png";
    for (std::wstring& name : images.rowDown)
        name = L"channel_down.png";
    images.record = L"videorecord.png";
    images.otherRecord = L"RozeridaRecord.png";
    images.backwardDisabled = L"BackwardDisable.png";
    images.backwardEnabled = L"BackwardEnable.png";
    images.forwardDisabled = L"ForwardDisable.png";
    images.forwardEnabled = L"ForwardEnable.png";
    images.sliderBackground = L"ZoomBg.png";
    return images;
}

PlayProgressPanelLayout SFFirstPlayProgressPanelLayout()
{
    PlayProgressPanelLayout layout;
    const wchar_t* const texts[] = {
        L"156,0,800,70",  L"2,10,138,60", L"140,25,15,30", L"957,25,15,30", L"0,10,975,70",
        L"8,78,129,21",   L"slider_speedoutput.png",       L"0,0,120,20",   L"120,0,120,20",
        L"240,0,20,20",   L"260,0,20,20", L"280,0,20,20",  L"300,0,20,20",  L"28,78,90,21"};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        layout[i] = texts[i];
    layout[26] = L"974,22,21,28";
    layout[27] = L"974,50,21,28";
    return layout;
}

void SFSkinPagePlayProgressPanel(CSFPlayProgressPanel* panel)
{
    panel->SetSkin(L"bg_timeline.png");
    const PlayProgressPanelLayout layout = SFFirstPlayProgressPanelLayout();
    panel->ApplyLayout(&layout, 0);
    const PlayProgressPanelImages images = SFPlayProgressPanelImages();
    panel->SetSkinImages(&images);
}
