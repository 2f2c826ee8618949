#pragma once

// Receives the export engine's reports, as tasks on the GUI loop.
class IExportObjectListener {
public:
    virtual ~IExportObjectListener() = default;
    virtual void OnExportEnd() = 0;
    virtual void OnExportProgress(int percent) = 0;
    virtual void OnExportStop() = 0;
    virtual void OnExportFailed(int code) = 0;
};
