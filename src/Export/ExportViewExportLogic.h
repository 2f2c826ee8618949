#pragma once

#include <cstdint>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

class ExportObject;
class IExportObjectListener;

// The export page's logic on the export loop: turns the UI logic's tasks
// into calls on the export engine it owns.
class CExportViewExportLogic : public boost::enable_shared_from_this<CExportViewExportLogic> {
public:
    CExportViewExportLogic();
    ~CExportViewExportLogic();

    void SetListener(const boost::shared_ptr<IExportObjectListener>& target);
    boost::shared_ptr<ExportObject> GetExportObject() const { return exportObject; }

    void Task_Clear();
    // Paths are taken by value: the task owns its copies.
    void Task_AddFile(int type, std::wstring srcPath, std::wstring dstPath, std::uint64_t startOffset,
                      std::uint64_t endOffset, int snapshotInterval, unsigned startTime, unsigned endTime,
                      unsigned fileStartTime);
    void Task_StartExport();
    void Task_StopExport();

private:
    boost::weak_ptr<IExportObjectListener> listener;
    boost::shared_ptr<ExportObject> exportObject;
};
