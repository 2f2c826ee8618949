#include "Common/XmlText.h"

#include <fstream>
#include <iterator>
#include <tinyxml.h>

namespace {

constexpr int kMaxDepth = 256;

// Counts start and end tags; comments and declarations do not nest.
bool NestsTooDeep(const std::string& text)
{
    int depth = 0;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (next == '/') {
            --depth;
            continue;
        }
        if (next == '!' || next == '?')
            continue;
        const std::size_t end = text.find('>', at);
        if (end != std::string::npos && text[end - 1] == '/')
            continue;
        if (++depth > kMaxDepth)
            return true;
    }
    return false;
}

}  // namespace

bool LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
    document.Clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The parser's own file loading keeps its line-end handling.
    if (NestsTooDeep(text) || !document.LoadFile(path.c_str())) {
        document.Clear();
        return false;
    }
    return true;
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text)
{
    document.Clear();
    if (NestsTooDeep(text))
        return false;
    document.Parse(text.c_str());
    if (document.Error()) {
        document.Clear();
        return false;
    }
    return true;
}
