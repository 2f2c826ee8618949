#include "Platform/PlayModule/FFmpegLog.h"

#include <cstdarg>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

Q_LOGGING_CATEGORY(lcFFmpeg, "lumivex.ffmpeg", QtWarningMsg)

namespace PLAY_MODULE {
namespace {

void OnFFmpegMessage(void* context, int level, const char* format, va_list args)
{
    if (level > av_log_get_level())
        return;
    char line[1024];
    int printPrefix = 1;
    av_log_format_line2(context, level, format, args, line, sizeof line, &printPrefix);
    std::size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        line[--length] = '\0';
    if (length == 0)
        return;
    if (level <= AV_LOG_FATAL)
        qCWarning(lcFFmpeg, "%s", line);
    else if (level <= AV_LOG_WARNING)
        qCInfo(lcFFmpeg, "%s", line);
    else
        qCDebug(lcFFmpeg, "%s", line);
}

}  // namespace

void RouteFFmpegMessages()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(&OnFFmpegMessage); });
}

}  // namespace PLAY_MODULE
