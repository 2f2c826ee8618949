// Shows the watermark page with a folder of the test recordings checked, then
// the detail dialog of one "falsified" row; takes a screenshot of the screen
// at each stage with ImageMagick's import (run it under Xvfb).
#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "Watermark/Support/FakePageHost.h"
#include "Watermark/Support/WatermarkFixtures.h"
#include "Watermark/WaterMarkDetailEventImp.h"
#include "Watermark/WatermarkEventImp.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFListCtrlNotify.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

using namespace WATERMARK_TEST;

namespace {

void Shoot(const std::string& path)
{
    ProcessUntil([] { return false; }, 500);
    if (std::system(("import -window root '" + path + "'").c_str()) != 0)
        std::cerr << "no screenshot " << path << "\n";
}

void CheckAll(CSFTreeCtrl* tree, void* parent)
{
    for (void* item = tree->GetChildItem(parent); item; item = tree->GetNextSiblingItem(item)) {
        tree->SetCheck(item, 1);
        CheckAll(tree, item);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string out = argc > 1 ? argv[1] : ".";
    if (argc > 2) {  // the resources folder: skin images and style sheet
        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(std::string(argv[2]) + "/Skin/"));
        QFile style(QString::fromUtf8(argv[2]) + "/Lumivex_Style.css");
        if (style.open(QIODevice::ReadOnly))
            app.setStyleSheet(QString::fromUtf8(style.readAll()));
    }
    TempFolder folder;
    const CWatermarkFixtures fixtures(folder.Path());
    if (!fixtures.Ok())
        return 1;

    LumivexBase::RegisterGuiLoop();
    LumivexBase::StartWorkerLoop(LumivexBase::ML_HELPER);
    auto host = boost::make_shared<CFakePageHost>();
    host->StartHelpLogic();
    host->window->setGeometry(0, 0, 1280, 1000);
    host->window->show();
    auto page = CWatermarkEventImp::Create(host);
    page->GetView()->MoveWindow(0, 0, 1280, 1000);
    page->GetView()->ShowWindow(1);

    SF_POST_TASK(LumivexBase::ML_HELPER, &CMainFrameHelpLogic::Task_BuildFileList, host->helpLogic,
                 boost::make_shared<std::wstring>(SF_SOFT_BASE::Utf8ToWide(folder.Path())));
    ProcessUntil([&] { return host->fileLists > 0; });
    page->AddGroupFiles(host->groups);
    page->AddSingleFiles(host->singles);
    std::filesystem::remove(fixtures.Path(Fixture::Deleted));
    CheckAll(page->GetTree(), SF_TVI_ROOT);
    page->OnStartCheck();
    ProcessUntil([&] { return !page->IsChecking(); }, 120000);
    Shoot(out + "/watermark-page.png");

    // The detail dialogs of rows with a record missing, changed header or
    // footer bytes (a front cut claimed or kept among them), no watermark,
    // and a ".ts" with junk in front.
    const std::pair<Fixture, const char*> details[] = {
        {Fixture::Removed, "watermark-detail.png"},           {Fixture::Unsigned, "watermark-detail-unsigned.png"},
        {Fixture::ReservedSet, "watermark-detail-reserved.png"}, {Fixture::ForeignFooter, "watermark-detail-foreign.png"},
        {Fixture::FooterMoved, "watermark-detail-moved.png"}, {Fixture::FooterTimes, "watermark-detail-times.png"},
        {Fixture::FooterMadeUp, "watermark-detail-madeup.png"}, {Fixture::TsJunk, "watermark-detail-ts.png"},
        {Fixture::FooterFrontClaimed, "watermark-detail-front-claimed.png"},
        {Fixture::FrontCutFooterKept, "watermark-detail-front-cut.png"}};
    for (const auto& [fixture, name] : details) {
        int row = 0;
        while (row < int(page->GetRecords().size()) &&
               page->GetRecords()[std::size_t(row)].path != SF_SOFT_BASE::Utf8ToWide(fixtures.Path(fixture)))
            ++row;
        SF_LISTCTRL_NOTIFY notify{};
        notify.iItem = row;
        const std::string shot = out + "/" + name;
        QTimer::singleShot(300, [&page, shot] {
            Shoot(shot);
            page->GetDetailDialog()->OnDlgKeyDown(0, 27);
        });
        page->OnResultDblClick(&notify.hdr, nullptr);
    }

    host->window.reset();
    page.reset();
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return 0;
}
