#pragma once

#include <list>
#include <map>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Common/GroupItems.h"
#include "FileIndex/FileIndexTypes.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CSFRadioBox;
class CSFTreeCtrl;
class CSFView;
class IFileListOwner;

using GroupFileListP = boost::shared_ptr<std::list<_GROUP_FILE_INFO>>;
using SingleFileListP = boost::shared_ptr<std::list<_SINGLE_FILE_INFO>>;

// The file-list panel of the main page: recorder groups, their days and
// channel streams, then single files, as a tree with check boxes (selection)
// and highlights (playing). A double-click asks the main frame's file logic
// to play an item.
//
// Item data: a single file its file id, a date its day key, a channel its
// channel key, a group 0.
class CFileListEventImp : public ISFViewEvent,
                          public ISFTreeCtrlEvent,
                          public ISFRadioBoxEvent,
                          public boost::enable_shared_from_this<CFileListEventImp> {
public:
    static constexpr unsigned kViewId = 106;
    static constexpr unsigned kTreeId = 143;
    static constexpr unsigned kRadioId = 144;

    static boost::shared_ptr<CFileListEventImp> Create(const boost::shared_ptr<IFileListOwner>& owner);
    ~CFileListEventImp() override;
    CFileListEventImp(const CFileListEventImp&) = delete;
    CFileListEventImp& operator=(const CFileListEventImp&) = delete;

    void CreateView();
    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnItemDbClick(void* item, tagPOINT& point) override;

    CSFView* GetView() const { return m_view; }
    CSFTreeCtrl* GetTreeCtrl() const { return m_tree; }
    CSFRadioBox* GetContractRadio() const { return m_radio; }

    void AddSingleFiles(SingleFileListP singles);
    void AddGroupFiles(GroupFileListP groups);
    // Removes the groups, days, channels and single files that the lists
    // (the whole index) no longer hold.
    void RemoveItemsNotIn(const std::list<_GROUP_FILE_INFO>& groups, const std::list<_SINGLE_FILE_INFO>& singles);
    // The channel or single-file item of a file to play, or null.
    void* FindFileItem(_QUERY_FILE_INFO file);
    int DeleteFileItems(GroupFileListP& items);
    int SetFilesHilight(GroupFileListP& items, int highlight);
    GroupFileListP GetCheckedFileList();
    GroupFileListP GetHilightFileList();

    // Opens the next (direction 1) or previous file leaf after item, or in
    // day mode (1) the adjacent date; false when the walk runs off the tree.
    bool PlayAdjacentFile(void* item, int direction, int dayMode, int window);

private:
    explicit CFileListEventImp(const boost::shared_ptr<IFileListOwner>& owner);

    enum class ItemKind { None, Group, Date, Channel, Single };
    ItemKind KindOf(void* item) const;
    std::wstring TextOf(void* item) const;
    // The recorder's own name of a group item, kept with the item.
    std::wstring GroupNameOf(void* item) const;
    void* FindGroupItem(const std::wstring& name) const;
    void* FindSingleItem(int fileId) const;
    void* FindDateItem(void* group, int dayKey) const;
    void* FindChannelItem(void* date, int channelKey) const;
    void* InsertGroupItem(const std::wstring& name);
    void* InsertDateItem(void* group, int dayKey);
    void InsertChannelItem(void* date, int channelKey);
    // Deletes an item with its children, and forgets a root.
    void DeleteItem(void* item);
    void DeleteDateChannels(void* group, void* date, const std::map<int, void*>& channels);
    void HighlightDay(const _GROUP_FILE_INFO& item, int highlight);
    GroupFileListP CollectMarked(bool highlighted);

    void* FirstChild(void* item) const;
    void* LastChild(void* item) const;
    void* NextFileLeaf(void* item, bool forward) const;
    void* NextDate(void* date, bool forward) const;
    void* FirstLeafOfRoot(void* root, bool forward) const;
    void PostPlayRequest(QUERY_FILEPATH_TYPE type, unsigned key, const std::wstring& group,
                         boost::shared_ptr<std::map<int, void*>> channels, int window);

    CSFView* m_view = nullptr;
    boost::weak_ptr<IFileListOwner> m_owner;
    CSFTreeCtrl* m_tree = nullptr;
    CSFRadioBox* m_radio = nullptr;
    // The root items by group name and by file id.
    CGroupItems m_groupItems;
    std::map<int, void*> m_singleItems;
};
