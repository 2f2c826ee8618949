// Shows the search page in a main window of the program's start size, for
// screenshots: search_page_demo [seconds [style sheet]]. The window closes
// after the given time (0 or none: stays open); the style sheet defaults to
// the program's.
#include <QApplication>
#include <QTimer>

#include <boost/enable_shared_from_this.hpp>
#include <boost/make_shared.hpp>

#include "PageServices/PageHost.h"
#include "Search/SeachViewEventImp.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/StandardFrameStyle.h"

namespace {

// A main window holding only the search page, laid out as the main frame
// lays out its pages.
class CDemoFrame : public ISFDialogEvent, public IPageHost, public boost::enable_shared_from_this<CDemoFrame> {
public:
    ~CDemoFrame() override { SFDestroyMainWindow(m_pWindow); }

    void Show()
    {
        DialogStyle style = SFStandardFrameStyle();
        style.str1 = L"bg_monitor.png";
        m_pWindow = SFCreateMainWindow(this, nullptr);
        m_pWindow->SetSkin(&style);
        m_pWindow->Create(L"Lumivex Player", nullptr);
        m_pWindow->MoveWindow(0, 0, 1000, 730);
        m_pWindow->ShowWindow(1);
    }
    void Dlg_OnInitDialog(int) override
    {
        m_page = CSeachViewEventImp::Create(shared_from_this(), GetUIWnd());
        m_page->GetView()->ShowWindow(1);
    }
    void OnDlgSize(UINT, int& cx, int& cy) override
    {
        if (!m_page)
            return;
        tagRECT pageRect{1, 94, cx - 2, cy - 2};
        m_page->GetView()->MoveWindow(&pageRect);
    }

    void Task_OnCloseSuccess(int) override {}
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return 0; }

private:
    CSFDialog* m_pWindow = nullptr;
    boost::shared_ptr<CSeachViewEventImp> m_page;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SFSetApplication(&app);
    SFQTSetSkinPath(QStringLiteral(SKIN_DIR));
    SFLoadStyleSheet(argc > 2 ? QString(argv[2]).toStdWString() : std::wstring(STYLE_SHEET));
    auto frame = boost::make_shared<CDemoFrame>();
    frame->Show();
    if (argc > 1 && QString(argv[1]).toInt() > 0)
        QTimer::singleShot(QString(argv[1]).toInt() * 1000, &app, &QApplication::quit);
    return app.exec();
}
