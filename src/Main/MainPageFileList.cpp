#include "Main/MainPageFileList.h"

#include "Main/MainPageEventImp.h"

namespace MainPageFileList {

void SetFilesHilight(const boost::shared_ptr<CMainPageEventImp>&, boost::shared_ptr<std::list<_GROUP_FILE_INFO>>,
                     int)
{
}

void* FindFileItem(const boost::shared_ptr<CMainPageEventImp>&, const _QUERY_FILE_INFO&)
{
    return nullptr;
}

int PlayAdjacentFile(const boost::shared_ptr<CMainPageEventImp>&, void*, int, int, int)
{
    return 0;
}

}  // namespace MainPageFileList
