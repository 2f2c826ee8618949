#include "Platform/PlayModule/RecordingIndexScanner.h"

#include "Platform/PlayModule/AvIndexScanner.h"
#include "Platform/PlayModule/KvxContentProbe.h"
#include "Platform/PlayModule/KvxIndexScanner.h"

namespace PLAY_MODULE {

bool ScanRecordingIndex(const std::string& path, CKeyFrameIndex& out,
                        const std::atomic<bool>* cancel)
{
    if (FileLooksLikeKvx(path)) return CKvxIndexScanner::Scan(path, out, cancel);
    return CAvIndexScanner::Scan(path, out, cancel);
}

}  // namespace PLAY_MODULE
