#include "Widgets/FileTreeStyle.h"

UITreeCtrlStyle SFFileTreeStyle()
{
    UITreeCtrlStyle s;
    s.n0 = 24;
    s.n1 = s.n2 = s.n3 = s.n4 = 14;
    s.n5 = 24;
    s.str0 = L"scrollbar.png";
    s.str1 = L"treeCheckbox.png";
    s.str2 = L"treeState.png";
    s.str3 = L"FFFFFF";
    s.str4 = L"5c6576";
    s.str5 = L"FFFFFF";
    s.str6 = L"00FF00";
    return s;
}
