#include "Common/XmlText.h"

#include "Common/XmlNestingProbe.h"

#include "Base/FileSystemHelpers.h"

#include <cstdio>
#include <tinyxml.h>

namespace {

// Short of where the parser takes long: it checks each attribute against
// all earlier ones of its element.
constexpr CXmlNestingProbe::Limits kLimits{256, 100000, 64};

bool IsBlank(const char* text)
{
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    return *text == '\0';
}

// A document has one element at its top; the parser also takes more, and
// a reader would then see only the first.
bool HasOneRoot(const TiXmlDocument& document)
{
    const TiXmlElement* root = document.RootElement();
    return root && !root->NextSiblingElement();
}

// The parser steps over a multi-byte UTF-8 character whole, also one cut
// off by the end of the text, and then reads on past the terminator: the
// text is followed by enough terminators that it stops inside the buffer.
bool ParsePadded(TiXmlDocument& document, std::string text)
{
    text.append(8, '\0');
    if (CXmlNestingProbe::Exceeds(text.c_str(), kLimits))
        return false;
    const char* end = document.Parse(text.c_str());
    // The parser stops without an error where it meets what it cannot
    // take (the "]" after a DOCTYPE's internal subset, say), and answers
    // null when it read to the end.
    const bool whole = !end || IsBlank(end);
    if (document.Error() || !whole || !HasOneRoot(document)) {
        document.Clear();
        return false;
    }
    return true;
}

// Line ends as the parser's own file loading makes them: "\r\n" and a
// lone "\r" become "\n".
std::string WithUnixLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            out += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            out += '\n';
    }
    return out;
}

}  // namespace

bool LoadXmlFile(TiXmlDocument& document, const std::string& path, std::size_t maxBytes)
{
    document.Clear();
    std::string text;
    return SF_SOFT_BASE::ReadRegularFile(path, text, maxBytes) && ParsePadded(document, WithUnixLineEnds(text));
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text)
{
    document.Clear();
    return text.size() <= kMaxXmlBytes && ParsePadded(document, text);
}
