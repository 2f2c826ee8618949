#pragma once

#include <QLoggingCategory>

// FFmpeg's own messages. Damaged recordings make the demuxers and decoders
// talk a lot, and every refusal is already a result of its call, so they stay
// out of standard error; switch them on with
// QT_LOGGING_RULES="lumivex.ffmpeg.info=true" (or .debug for all of them).
Q_DECLARE_LOGGING_CATEGORY(lcFFmpeg)

namespace PLAY_MODULE {

// Sends FFmpeg's messages to lcFFmpeg: panics and fatal errors as warnings,
// errors and warnings as info, the rest as debug. Safe to call repeatedly.
void RouteFFmpegMessages();

}  // namespace PLAY_MODULE
