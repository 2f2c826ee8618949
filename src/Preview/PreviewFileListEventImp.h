#pragma once

#include <list>
#include <map>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CPreviewPageEventImp;
class CSFTreeCtrl;
class CSFView;

using PreviewGroupFileListPtr = boost::shared_ptr<std::list<_GROUP_FILE_INFO>>;

// The "Files" panel of the preview page: one check-box item per ".kvx"
// recording. Checking an item previews it; the checked item (the current
// one) cannot be unchecked by the user.
class CPreviewFileListEventImp : public ISFViewEvent,
                                 public ISFTreeCtrlEvent,
                                 public ISFRadioBoxEvent,
                                 public boost::enable_shared_from_this<CPreviewFileListEventImp> {
public:
    static boost::shared_ptr<CPreviewFileListEventImp> Create(
        const boost::shared_ptr<CPreviewPageEventImp>& page);
    explicit CPreviewFileListEventImp(const boost::shared_ptr<CPreviewPageEventImp>& page);
    ~CPreviewFileListEventImp() override;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void OnItemDbClick(void* item, tagPOINT& point) override;
    void OnItemCheckStateChanged(void* item, int checked) override;

    CSFView* GetView() const { return m_view; }
    CSFTreeCtrl* GetTree() const { return m_tree; }
    void* GetCurrentItem() const { return m_currentItem; }

    void AddSingleFiles(const std::list<_SINGLE_FILE_INFO>& files);
    void AddFiles(const std::vector<std::wstring>& paths);
    void ClearCurrentItem();
    // The recording the preview holds, as the tab bar's delete names files.
    PreviewGroupFileListPtr LoadFileItems();
    int DeleteFileItems(PreviewGroupFileListPtr items);

private:
    void CreateView();
    bool IsPlayerBusy() const;
    void OpenItem(void* item);
    std::wstring ItemText(void* item) const;
    std::wstring PathOf(void* item) const;
    void DeleteGroupItems(const _GROUP_FILE_INFO& group);
    void DeleteSingleFileItem(int fileId);

    CSFView* m_view = nullptr;
    boost::weak_ptr<CPreviewPageEventImp> m_page;
    CSFTreeCtrl* m_tree = nullptr;
    std::map<void*, std::wstring> m_itemPaths;  // single files; their item data is the file id
    std::map<std::wstring, void*> m_pathItems;
    void* m_currentItem = nullptr;
};
