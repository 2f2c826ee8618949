#pragma once

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

class CSFVideoWindow;
class IExportTimeLine;

// The export page as its UI logic calls it. Tree items are named by group,
// day key (channel item) or file id (single file), channel key and kind
// (1 channel, 2 single file).
// Why a recording cannot be exported in the chosen format.
enum class ExportRefusal {
    WholeFileContainer,  // a raw cut of an ".avi" or ".mp4" does not play
    UncutVideo,          // video that the export cannot cut to a span
};

class IExportView {
public:
    virtual ~IExportView() = default;

    // The small player's window; null while there is none.
    virtual CSFVideoWindow* GetVideoWindow() = 0;
    virtual boost::shared_ptr<IExportTimeLine> GetTimeLineView() = 0;
    virtual void SetTreeCheckable(int checkable) = 0;
    virtual void SetTreeItemCheck(const std::wstring& group, int key, int channelKey, int kind, int check) = 0;
    virtual void SetTreeItemHilight(const std::wstring& group, int key, int channelKey, int kind,
                                    int hilight) = 0;
    // which: 0 the start mark and pickers, 1 the end.
    virtual void SetCutTime(unsigned int time, int which) = 0;
    virtual void ShowPlaying(int lineId) = 0;
    virtual void ResetPlayButton() = 0;
    // The page's close or leave completes.
    virtual void ResetAfterExport() = 0;

    virtual void PostNoExportFile() = 0;
    virtual void PostFileTooLarge() = 0;
    // The chosen format cannot be made from these recordings: said before any work.
    virtual void PostCannotExport(const std::vector<std::wstring>& fileNames, ExportRefusal reason) = 0;
    // The export into the folder failed; a folder that cannot be written to is named with why.
    virtual void PostExportFailed(const std::wstring& folder) = 0;
    // The export failed as nothing in the span of this recording plays.
    virtual void PostNothingPlayable(const std::wstring& fileName) = 0;
    virtual void OnExportStarted() = 0;
    virtual void OnExportFinished() = 0;
    virtual void OnExportStopped() = 0;
    virtual void SetExportProgress(int percent) = 0;
    // How much of the span's recordings is prepared (their key frames found)
    // before the export writes.
    virtual void SetPrepareProgress(int percent) = 0;
    virtual void DisableExportButton() = 0;
};
