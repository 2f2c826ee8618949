#pragma once

#include <list>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"

// Reply target of a file-path request: receives the files to play on the
// GUI loop.
class IFileManagerQuery {
public:
    virtual ~IFileManagerQuery();
    // The default releases the list.
    virtual void Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files);
};
