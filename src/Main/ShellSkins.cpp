#include "Main/ShellSkins.h"

#include "Widgets/SFWidgetFactory.h"
#include "Widgets/StandardFrameStyle.h"

namespace {

// The frame parts shared by the main frame, the prompt and the pop-up bar:
// corners and edges of "Frame.png"/"FrameMain.png", font and colours.
void FillFrameCommon(DialogStyle& s, const wchar_t* image, const wchar_t* corner)
{
    s.str0 = image;
    s.str2 = L"tile";
    s.str3 = L"000000";
    s.str4 = corner;
    s.str5 = L"tile";
    s.str7 = L"stretch";
    s.str10 = s.str12 = s.str14 = L"0,37,1,30";
    s.str22 = s.str24 = s.str26 = L"147,37,1,30";
    s.str45 = L"Tahoma";
    s.str46 = L"11";
    s.str48 = L"333333";
    s.str49 = L"999999";
    s.str53 = L"left";
    s.str55 = L"0,0,-1,-1";
}

}  // namespace

DialogStyle MakeMainFrameStyle()
{
    DialogStyle s;
    FillFrameCommon(s, L"FrameMain.png", L"0,0,10,8");
    s.str1 = L"bg_monitor.png";
    s.str6 = L"30,0,1,8";
    s.str8 = L"138,0,10,8";
    s.str16 = L"0,132,10,8";
    s.str18 = L"10,132,30,8";
    s.str20 = L"138,132,10,8";
    s.str54 = L"0,0,1000,62";
    s.nReserved = 0;
    s.str57 = L"1000,730";
    return s;
}

DialogStyle MakeMsgDlgStyle()
{
    DialogStyle s;
    FillFrameCommon(s, L"Frame.png", L"0,0,10,27");
    s.str1 = L"bg_monitor.png";
    s.str6 = L"30,0,1,27";
    s.str8 = L"138,0,10,27";
    s.str16 = L"0,130,10,10";
    s.str18 = L"10,130,30,10";
    s.str20 = L"138,130,10,10";
    s.str47 = L"normal";
    s.str54 = L"10,0,1000,27";
    s.nReserved = 1;
    return s;
}

DialogStyle MakeInfoDlgStyle()
{
    return SFStandardFrameStyle();
}

DialogStyle MakeTopPopStyle()
{
    DialogStyle s;
    FillFrameCommon(s, L"Frame.png", L"0,0,10,1");
    s.str1 = L"bg_toolbar.png";
    s.str2 = L"stretch";
    s.str6 = L"30,0,1,1";
    s.str8 = L"138,0,10,1";
    s.str16 = L"0,139,10,1";
    s.str18 = L"10,139,30,1";
    s.str20 = L"138,139,10,1";
    s.nReserved = 0;
    return s;
}

ImageButtonStyle MakeButtonStyle(std::initializer_list<const wchar_t*> images)
{
    ImageButtonStyle s;
    std::wstring* fields[] = {&s.str0, &s.str1, &s.str2, &s.str3};
    int i = 0;
    for (const wchar_t* image : images)
        if (i < 4)
            *fields[i++] = image;
    return s;
}

ImageRadioBox MakeRadioStyle(std::initializer_list<const wchar_t*> images)
{
    ImageRadioBox s;
    std::wstring* fields[] = {&s.str0, &s.str1, &s.str2, &s.str3, &s.str4, &s.str5, &s.str6, &s.str7};
    int i = 0;
    for (const wchar_t* image : images)
        if (i < 8)
            *fields[i++] = image;
    return s;
}

ImageRadioBox MakeCheckBoxStyle()
{
    return MakeRadioStyle({L"Checkbox.png", L"Checkbox.png", L"Checkbox.png", L"Uncheckbox.png", L"Uncheckbox.png",
                           L"Uncheckbox.png", L"Checkbox.png", L"Uncheckbox.png"});
}

ImageRadioBox MakeZoomRadioStyle()
{
    return MakeRadioStyle({L"btn_frameselectdown.png", L"btn_frameselectover.png", L"btn_frameselectdown.png",
                           L"btn_frameselectnor.png", L"btn_frameselectover.png", L"btn_frameselectnor.png",
                           L"btn_frameselectdis.png", L"btn_frameselectdis.png"});
}

ImageRadioBox MakeDragRadioStyle()
{
    return MakeRadioStyle({L"btn_selectnor.png", L"btn_selectover.png", L"btn_selectdown.png", L"btn_dragnor.png",
                           L"btn_dragover.png", L"btn_dragdown.png", L"btn_selectdis.png", L"btn_dragdis.png"});
}

ImageButtonStyle MakeFullScreenButtonStyle()
{
    return MakeButtonStyle({L"btn_fullscreennor.png", L"btn_fullscreenover.png", L"btn_fullscreendown.png",
                            L"btn_fullscreendis.png"});
}

CSFDialog* CreateShellDialog(ISFDialogEvent* handler, void* parent, DialogStyle style, const wchar_t* name,
                             const wchar_t* title, int w, int h)
{
    CSFDialog* dialog = SFCreateDialog(handler, parent);
    if (!dialog)
        return nullptr;
    dialog->SetSkin(&style);
    dialog->Create(name, nullptr);
    dialog->SetWindowTextW(title);
    dialog->MoveWindow(0, 0, w, h);
    dialog->CenterWindow(nullptr);
    dialog->SetDrawBackGround(1);
    dialog->ShowWindow(0);
    return dialog;
}
