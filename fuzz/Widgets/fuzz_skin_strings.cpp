// Feeds arbitrary text to the skin-string parsers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Base/TextCodec.h"
#include "Widgets/SkinParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* narrow = text.c_str();
    SFQTParseSkinRect(narrow);
    SFQTParseSkinRectInclusive(narrow);
    SFQTParseSkinPoint(narrow);
    SFQTParseSkinColor(narrow);
    const std::wstring wide = SF_SOFT_BASE::Utf8ToWide(text);
    SFQTParseSkinRectW(wide.c_str());
    SFQTParseSkinRectInclusiveW(wide.c_str());
    SFQTParseSkinPointW(wide.c_str());
    SFQTParseSkinColorW(wide.c_str());
    return 0;
}
