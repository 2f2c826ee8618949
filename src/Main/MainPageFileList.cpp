#include "Main/MainPageFileList.h"

#include "Main/FileListEventImp.h"
#include "Main/MainPageEventImp.h"

namespace MainPageFileList {

namespace {

boost::shared_ptr<CFileListEventImp> FileListOf(const boost::shared_ptr<CMainPageEventImp>& page)
{
    return page ? page->GetFileList() : nullptr;
}

}  // namespace

void SetFilesHilight(const boost::shared_ptr<CMainPageEventImp>& page,
                     boost::shared_ptr<std::list<_GROUP_FILE_INFO>> items, int on)
{
    if (boost::shared_ptr<CFileListEventImp> fileList = FileListOf(page))
        fileList->SetFilesHilight(items, on);
}

void* FindFileItem(const boost::shared_ptr<CMainPageEventImp>& page, const _QUERY_FILE_INFO& entry)
{
    boost::shared_ptr<CFileListEventImp> fileList = FileListOf(page);
    return fileList ? fileList->FindFileItem(entry) : nullptr;
}

int PlayAdjacentFile(const boost::shared_ptr<CMainPageEventImp>& page, void* item, int direction, int dayMode,
                     int window)
{
    boost::shared_ptr<CFileListEventImp> fileList = FileListOf(page);
    return fileList && item && fileList->PlayAdjacentFile(item, direction, dayMode, window) ? 1 : 0;
}

}  // namespace MainPageFileList
