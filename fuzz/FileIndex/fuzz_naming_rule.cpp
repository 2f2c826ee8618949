// Feeds arbitrary bytes to the file-name rule (both matchers), the date-folder rule and the
// extension test as a file name would reach them.
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

#include "Base/TextCodec.h"
#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/NamingRule.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/RecordFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::list<std::wstring> formats = FileIndexFormats::GetDefaultRecordFormats();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring name = SF_SOFT_BASE::Utf8ToWide(bytes);

    // The direct matcher decides exactly as the rule's regular expression.
    if (NamingRule::Matches(name) != NamingRule::MatchesPattern(name))
        __builtin_trap();

    CNamingRuleParser parser(&formats);
    if (parser.Parse(name.c_str())) {
        // A parsed name always gives a usable key and a real time span.
        if (parser.channel < 0 || FileIndexKeys::GetChannelNumber(parser.channel) == 0)
            __builtin_trap();
        if (parser.start.ToTime() >= parser.end.ToTime())
            __builtin_trap();
        if (parser.name.empty() || parser.name.find(L'_') != std::wstring::npos)
            __builtin_trap();
        if (GetDayKey(parser.start) == 0)
            __builtin_trap();
    }
    parser.ParseDateFolder(name.c_str());
    parser.IsSupportedExtension(name.c_str());
    return 0;
}
