#include "Main/DeleteDecision.h"

#include <boost/make_shared.hpp>

bool IsDeleteSetInUse(const DeleteUsage& u)
{
    return HasCommonGroupFiles(u.checked, u.playing) ||
           (HasCommonGroupFiles(u.checked, u.watermark) && u.watermarkChecking) ||
           (u.exporting && HasCommonGroupFiles(u.checked, u.exportChecked)) ||
           HasCommonGroupFiles(u.checked, u.exportPlaying) || HasCommonGroupFiles(u.checked, u.preview);
}

DeleteStops FindUsesToStop(const DeleteUsage& u)
{
    DeleteStops stops;
    stops.closeMainWindows = HasCommonGroupFiles(u.checked, u.playing);
    stops.stopWatermark = HasCommonGroupFiles(u.checked, u.watermark) && u.watermarkChecking;
    // The export page's player stops too when it plays one of the items.
    stops.closeExport = (HasCommonGroupFiles(u.checked, u.exportChecked) && u.exporting) ||
                        HasCommonGroupFiles(u.checked, u.exportPlaying);
    stops.stopPreview = HasCommonGroupFiles(u.checked, u.preview);
    return stops;
}

GroupFileListPtr MakeFreeDeleteSet(const DeleteUsage& u)
{
    GroupFileListPtr set = SplitGroupFileList(u.checked, u.playing, 0);
    set = SplitGroupFileList(set, u.watermark, 0);
    set = SplitGroupFileList(set, u.preview, 0);
    return SplitGroupFileList(set, u.exporting ? u.exportChecked : u.exportPlaying, 0);
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> ToItemList(const GroupFileListPtr& items)
{
    auto list = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    if (items)
        *list = *items;
    return list;
}
