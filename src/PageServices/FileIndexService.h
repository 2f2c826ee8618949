#pragma once

#include <map>
#include <string>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"

class IFileManagerQuery;

// The file index as the pages reach it: each operation is posted as a task
// to the helper loop (ML_HELPER) and answers on the GUI loop. The main
// frame's help logic implements it.
class IFileIndexService {
public:
    virtual ~IFileIndexService() = default;
    // Looks up the files of a single-file id, or of a group day limited to the
    // channels of a non-empty filter; answers the reply target when any
    // were found.
    virtual void Task_GetFilePath(QUERY_FILEPATH_TYPE type, unsigned int key, std::wstring group,
                                  boost::shared_ptr<std::map<int, void*>> channelFilter,
                                  boost::shared_ptr<IFileManagerQuery> replyTarget, int window) = 0;
    // Hands the shared file manager to the main frame, which passes it on to
    // the pages that read the index.
    virtual void Task_GetFileManager() = 0;
};
