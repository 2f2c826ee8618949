#pragma once

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QWidget>

#include <fstream>

#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Support/ProcessUntil.h"
#include "Watermark/Support/FakePageHost.h"
#include "Watermark/WaterMarkDetailEventImp.h"
#include "Watermark/WaterMarkUILogic.h"
#include "Watermark/WatermarkEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

// A watermark page in a host window with the GUI, helper and watermark loops
// running; the page is 1024 x 700.
class WatermarkPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LumivexBase::RegisterGuiLoop();
        ASSERT_TRUE(LumivexBase::StartWorkerLoop(LumivexBase::ML_HELPER));
        host = boost::make_shared<WATERMARK_TEST::CFakePageHost>();
        host->StartHelpLogic();
        host->window->resize(1100, 760);
        host->window->show();
        page = CWatermarkEventImp::Create(host);
        ASSERT_NE(page->GetView(), nullptr);
        page->GetView()->MoveWindow(0, 0, 1024, 700);
        page->GetView()->ShowWindow(1);
    }
    void TearDown() override
    {
        if (page && page->IsChecking()) {
            page->StopCheck();
            ProcessUntil([&] { return !page->IsChecking(); }, 30000);
        }
        host->window.reset();
        page.reset();
        LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
        host.reset();
    }

    // Lists what the help logic finds in the folder, as the file logic does.
    bool LoadFolder(const std::string& folder)
    {
        const int before = host->fileLists;
        SF_POST_TASK(LumivexBase::ML_HELPER, &CMainFrameHelpLogic::Task_BuildFileList, host->helpLogic,
                     boost::make_shared<std::wstring>(SF_SOFT_BASE::Utf8ToWide(folder)));
        if (!ProcessUntil([&] { return host->fileLists > before; }))
            return false;
        page->AddGroupFiles(host->groups);
        page->AddSingleFiles(host->singles);
        return true;
    }

    // Items of the tree, depth first.
    std::vector<void*> Items(void* parent = SF_TVI_ROOT) const
    {
        std::vector<void*> items;
        CSFTreeCtrl* tree = page->GetTree();
        for (void* item = tree->GetChildItem(parent); item; item = tree->GetNextSiblingItem(item)) {
            items.push_back(item);
            for (void* child : Items(item))
                items.push_back(child);
        }
        return items;
    }
    std::wstring Text(void* item) const
    {
        wchar_t text[600] = {};
        page->GetTree()->GetTreeItemText(item, text, 599);
        return text;
    }
    void CheckAll()
    {
        for (void* item : Items())
            page->GetTree()->SetCheck(item, 1);
    }
    std::wstring Cell(int row, int column) const
    {
        wchar_t text[600] = {};
        page->GetResultList()->GetItemText(row, column, text, 599);
        return text;
    }
    int Rows() const { return page->GetResultList()->GetItemCount(); }
    static bool Enabled(CSFButton* button) { return dynamic_cast<QWidget*>(button)->isEnabled(); }

    // Presses "Start Check" and waits until the run has ended.
    bool RunCheck(int ms = 120000)
    {
        page->OnStartCheck();
        return ProcessUntil([&] { return !page->IsChecking(); }, ms);
    }

    boost::shared_ptr<WATERMARK_TEST::CFakePageHost> host;
    boost::shared_ptr<CWatermarkEventImp> page;
};
