#pragma once

#include <list>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"

class CMainPageEventImp;

// The main page's calls into its file list; each does nothing while the page
// or its file list is gone.
namespace MainPageFileList {

void SetFilesHilight(const boost::shared_ptr<CMainPageEventImp>& page,
                     boost::shared_ptr<std::list<_GROUP_FILE_INFO>> items, int on);
void* FindFileItem(const boost::shared_ptr<CMainPageEventImp>& page, const _QUERY_FILE_INFO& entry);
int PlayAdjacentFile(const boost::shared_ptr<CMainPageEventImp>& page, void* item, int direction, int dayMode,
                     int window);

}  // namespace MainPageFileList
