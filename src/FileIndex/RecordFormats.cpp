#include "FileIndex/RecordFormats.h"

namespace FileIndexFormats {

std::list<std::wstring> SplitRecordFormats(const std::wstring& formats)
{
    std::list<std::wstring> result;
    std::size_t begin = 0;
    while (begin <= formats.size()) {
        std::size_t end = formats.find(L';', begin);
        if (end == std::wstring::npos)
            end = formats.size();
        if (end > begin)
            result.push_back(formats.substr(begin, end - begin));
        begin = end + 1;
    }
    return result;
}

std::list<std::wstring> GetDefaultRecordFormats() { return SplitRecordFormats(kDefaultRecordFormats); }

}  // namespace FileIndexFormats
