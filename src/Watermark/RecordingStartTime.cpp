#include "Watermark/RecordingStartTime.h"

#include <sys/stat.h>

#include "Base/TextCodec.h"
#include "FileIndex/NamingRuleParser.h"

long RecordingStartTime(const std::wstring& path)
{
    const auto slash = path.rfind(L'/');
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    CNamingRuleParser parser;
    if (parser.Parse(name.c_str()))
        return long(parser.StartKey());
    struct stat status {};
    if (::stat(SF_SOFT_BASE::WideToUtf8(path).c_str(), &status) == 0)
        return long(status.st_mtime);
    return -1;
}
