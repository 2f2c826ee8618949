#include "Export/ExportViewExportLogic.h"

#include <boost/make_shared.hpp>

#include "Base/SFStreamConvert.h"
#include "Export/ExportObject.h"
#include "Export/IExportObjectListener.h"

CExportViewExportLogic::CExportViewExportLogic() : exportObject(boost::make_shared<ExportObject>()) {}

CExportViewExportLogic::~CExportViewExportLogic() = default;

void CExportViewExportLogic::SetListener(const boost::shared_ptr<IExportObjectListener>& target)
{
    listener = target;
    exportObject->SetListener(target);
}

void CExportViewExportLogic::Task_Clear()
{
    exportObject->ClearFiles();
}

void CExportViewExportLogic::Task_AddFile(int type, std::wstring srcPath, std::wstring dstPath,
                                          std::uint64_t startOffset, std::uint64_t endOffset,
                                          int snapshotInterval, unsigned startTime, unsigned endTime,
                                          unsigned fileStartTime)
{
    SF_SOFT_BASE::CSFStreamConvert source(srcPath.c_str(), 0);
    SF_SOFT_BASE::CSFStreamConvert target(dstPath.c_str(), 0);
    exportObject->AddFile(type, source.GetMultiByteString(), target.GetMultiByteString(), startOffset,
                          endOffset, snapshotInterval, startTime, endTime, fileStartTime);
}

void CExportViewExportLogic::Task_StartExport()
{
    exportObject->Export();
}

void CExportViewExportLogic::Task_StopExport()
{
    exportObject->StopConvert();
}
