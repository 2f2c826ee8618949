#include "KvxWriter/RecordingName.h"

#include <cstdio>
#include <ctime>
#include <string_view>

namespace KVX_WRITER {

namespace {

std::string LocalStamp(std::int64_t utcSeconds)
{
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

bool IsValidRecorderName(const std::string& name)
{
    if (name.empty()) return false;
    for (unsigned char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c >= 0x80 || std::string_view("$().+[]^{}#@%!,~&'*-:;`=").find(char(c)) != std::string_view::npos;
        if (!ok || c == '_') return false;
    }
    return true;
}

std::string RecordingFileName(const std::string& recorderName, int channel, int stream,
                              std::int64_t startUtcMs, std::int64_t endUtcMs,
                              const std::string& extension)
{
    const std::int64_t start = startUtcMs / 1000;
    std::int64_t end = (endUtcMs + 999) / 1000;
    if (end <= start) end = start + 1;
    std::string name = recorderName + "_ch" + std::to_string(channel) + "_";
    if (stream == 0) name += "main_";
    else if (stream > 0) name += "extra" + std::to_string(stream) + "_";
    return name + LocalStamp(start) + "_" + LocalStamp(end) + extension;
}

}  // namespace KVX_WRITER
