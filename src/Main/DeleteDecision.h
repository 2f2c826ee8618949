#pragma once

#include <boost/shared_ptr.hpp>

#include "Common/GroupFileLists.h"

// What the pages use of the items checked for deletion in the file list.
struct DeleteUsage {
    GroupFileListPtr checked;        // the items to delete
    GroupFileListPtr playing;        // highlighted in the main file list
    GroupFileListPtr watermark;      // checked on the watermark page
    GroupFileListPtr exportChecked;  // checked on the export page
    GroupFileListPtr exportPlaying;  // checked and playing on the export page
    GroupFileListPtr preview;        // the preview's current item
    int watermarkChecking = 0;
    int exporting = 0;
};

// The operations to stop before every checked item may go.
struct DeleteStops {
    bool closeMainWindows = false;  // close the main-page windows of the common items
    bool stopWatermark = false;
    bool closeExport = false;
    bool stopPreview = false;
};

// True when a page uses one of the checked items.
bool IsDeleteSetInUse(const DeleteUsage& usage);
// What to stop when the user confirms deleting items in use.
DeleteStops FindUsesToStop(const DeleteUsage& usage);
// The checked items nobody uses (the user declined to stop the others).
GroupFileListPtr MakeFreeDeleteSet(const DeleteUsage& usage);
// A copy of items (empty when there are none) as the pages and the helper logic take it.
boost::shared_ptr<std::list<_GROUP_FILE_INFO>> ToItemList(const GroupFileListPtr& items);
