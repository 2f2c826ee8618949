#include "PageServices/FileManagerQuery.h"

IFileManagerQuery::~IFileManagerQuery() = default;

void IFileManagerQuery::Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files)
{
    files.reset();
}
