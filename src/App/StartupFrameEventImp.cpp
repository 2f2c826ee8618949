#include "StartupFrameEventImp.h"

#include "Widgets/SFWidgetFactory.h"
#include "Widgets/StandardFrameStyle.h"

namespace {

// The standard frame, with minimize and maximize beside the close button.
DialogStyle MainFrameStyle()
{
    DialogStyle s = SFStandardFrameStyle();
    s.str1 = L"bg_monitor.png";
    s.str3 = L"1f232a";
    s.str31 = L"11,79,23,14";  // minimize
    s.str32 = L"41,79,23,14";
    s.str33 = L"71,79,23,14";
    s.str34 = L"11,60,23,14";  // maximize
    s.str35 = L"41,60,23,14";
    s.str36 = L"71,60,23,14";
    s.str42 = L"-84,7,23,14";
    s.str43 = L"-56,7,23,14";
    s.str56 = L"4,4";
    s.str57 = L"1180,760";
    return s;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CStartupFrameEventImp)
SF_END_MESSAGE_MAP()

CStartupFrameEventImp::CStartupFrameEventImp() = default;

CStartupFrameEventImp::~CStartupFrameEventImp()
{
    SFDestroyMainWindow(m_pWindow);
}

void CStartupFrameEventImp::Create(const wchar_t* title)
{
    m_pWindow = SFCreateMainWindow(this, nullptr);
    if (!m_pWindow)
        return;
    m_pWindow->Create(title, nullptr);
    DialogStyle style = MainFrameStyle();
    m_pWindow->SetSkin(&style);
    m_pWindow->ShowWindow(1);
}
