#pragma once

#include <string>

// Receives the export engine's reports, as tasks on the GUI loop.
class IExportObjectListener {
public:
    virtual ~IExportObjectListener() = default;
    virtual void OnExportEnd() = 0;
    virtual void OnExportProgress(int percent) = 0;
    virtual void OnExportStop() = 0;
    virtual void OnExportFailed(int code) = 0;
    // A job's clip cut short by a stop or a failure: kept under keptPath (a
    // name of its own that says so), or removed (keptPath empty). target is
    // the clip's own name, which it never replaces.
    virtual void OnExportClipCut(std::string /*target*/, std::string /*keptPath*/) {}
    // A complete clip found its name target taken and was placed under the
    // next free name, placedPath ("<name>(n)<extension>").
    virtual void OnExportClipRenamed(std::string /*target*/, std::string /*placedPath*/) {}
    // count pictures of the series in folder found their names taken and
    // were written under the next free names ("<time>(n).jpg").
    virtual void OnExportPicturesRenamed(std::string /*folder*/, int /*count*/) {}
    // A job failed because nothing in its span of the recording at source
    // decoded: it wrote no clip and no picture. OnExportFailed follows.
    virtual void OnExportNothingPlayable(std::string /*source*/) {}
};
