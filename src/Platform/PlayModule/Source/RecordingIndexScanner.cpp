#include "Platform/PlayModule/Source/RecordingIndexScanner.h"

#include "Platform/PlayModule/Source/AvIndexScanner.h"
#include "Platform/PlayModule/Format/KvxContentProbe.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"

namespace PLAY_MODULE {

bool ScanRecordingIndex(const std::string& path, CKeyFrameIndex& out,
                        const std::atomic<bool>* cancel)
{
    if (FileLooksLikeKvx(path)) return CKvxIndexScanner::Index(path, out, cancel);
    return CAvIndexScanner::Scan(path, out, cancel);
}

}  // namespace PLAY_MODULE
