#pragma once

namespace LumivexBase {

// Ids of the program's message loops.
enum MessageLoopId {
    ML_MAIN = 1,       // the GUI thread
    ML_HELPER = 2,     // file list and file logic
    ML_PLAY = 3,       // all play logic
    ML_WATERMARK = 4,  // watermark checking
    ML_TEST = 5,       // name only
    ML_EXPORT = 6,     // the export engine
};

}  // namespace LumivexBase
