#include "Common/XmlNestingProbe.h"

#include <cstddef>
#include <set>
#include <vector>

namespace {

bool StartsWithUtf8Mark(const char* text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    return bytes[0] == 0xefU && bytes[1] == 0xbbU && bytes[2] == 0xbfU;
}

}  // namespace

bool CXmlNestingProbe::Exceeds(const char* p, const Limits& limits)
{
    if (!p || !*p)
        return false;
    TiXmlEncoding encoding = StartsWithUtf8Mark(p) ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_UNKNOWN;
    p = SkipWhiteSpace(p, encoding);
    std::vector<TIXML_STRING> open;  // end tags of the elements whose content is being read
    const char* withWhiteSpace = p;
    int nodes = 0;
    while (p && *p) {
        const bool topLevel = open.empty();
        const bool closing = !topLevel && StringEqual(p, "</", false, encoding);
        if (!closing && ++nodes > limits.maxNodes)
            return true;
        if (!topLevel && *p != '<') {
            TiXmlText text("");
            p = text.Parse(IsWhiteSpaceCondensed() ? p : withWhiteSpace, nullptr, encoding);
        } else if (closing) {
            p = ReadEndTag(p, encoding, open.back());
            open.pop_back();
        } else {
            const NodeKind kind = Identify(p, encoding);
            if (kind == NodeKind::None)
                return false;
            if (kind != NodeKind::Element) {
                p = ReadFlatNode(kind, p, encoding, topLevel);
            } else {
                TIXML_STRING endTag;
                bool hasContent = false;
                bool tooManyAttributes = false;
                p = ReadStartTag(p, encoding, endTag, hasContent, limits.maxAttributes, tooManyAttributes);
                if (tooManyAttributes)
                    return true;
                if (p && hasContent) {
                    open.push_back(endTag);
                    if (open.size() > static_cast<std::size_t>(limits.maxDepth))
                        return true;
                }
            }
        }
        // Between the nodes of a content the parser keeps the white space
        // it may hand to a text node; the document level just skips it.
        withWhiteSpace = p;
        if (open.empty() || IsWhiteSpaceCondensed())
            p = SkipWhiteSpace(p, encoding);
    }
    return false;
}

CXmlNestingProbe::NodeKind CXmlNestingProbe::Identify(const char* p, TiXmlEncoding encoding)
{
    p = SkipWhiteSpace(p, encoding);
    if (!p || *p != '<')
        return NodeKind::None;
    if (StringEqual(p, "<?xml", true, encoding))
        return NodeKind::Declaration;
    if (StringEqual(p, "<!--", false, encoding))
        return NodeKind::Comment;
    if (StringEqual(p, "<![CDATA[", false, encoding))
        return NodeKind::CData;
    if (StringEqual(p, "<!", false, encoding))
        return NodeKind::Unknown;
    if (IsAlpha(static_cast<unsigned char>(p[1]), encoding) || p[1] == '_')
        return NodeKind::Element;
    return NodeKind::Unknown;
}

const char* CXmlNestingProbe::ReadStartTag(const char* p, TiXmlEncoding encoding, TIXML_STRING& endTag,
                                           bool& hasContent, int maxAttributes, bool& tooManyAttributes)
{
    hasContent = false;
    tooManyAttributes = false;
    p = SkipWhiteSpace(p, encoding);
    if (!p || *p != '<')
        return nullptr;
    TIXML_STRING name;
    p = ReadName(SkipWhiteSpace(p + 1, encoding), &name, encoding);
    if (!p || !*p)
        return nullptr;
    endTag = "</" + name;
    std::set<TIXML_STRING> attributeNames;
    for (;;) {
        p = SkipWhiteSpace(p, encoding);
        if (!p || !*p)
            return nullptr;
        if (*p == '/')
            return p[1] == '>' ? p + 2 : nullptr;
        if (*p == '>') {
            hasContent = true;
            return p + 1;
        }
        if (attributeNames.size() >= static_cast<std::size_t>(maxAttributes)) {
            tooManyAttributes = true;
            return nullptr;
        }
        TiXmlAttribute attribute;
        p = attribute.Parse(p, nullptr, encoding);
        if (!p || !*p || !attributeNames.insert(attribute.NameTStr()).second)
            return nullptr;
    }
}

const char* CXmlNestingProbe::ReadEndTag(const char* p, TiXmlEncoding encoding, const TIXML_STRING& endTag)
{
    if (!StringEqual(p, endTag.c_str(), false, encoding))
        return nullptr;
    p = SkipWhiteSpace(p + endTag.length(), encoding);
    return p && *p == '>' ? p + 1 : nullptr;
}

const char* CXmlNestingProbe::ReadFlatNode(NodeKind kind, const char* p, TiXmlEncoding& encoding, bool topLevel)
{
    switch (kind) {
    case NodeKind::Declaration: {
        TiXmlDeclaration declaration;
        p = declaration.Parse(p, nullptr, encoding);
        if (topLevel && encoding == TIXML_ENCODING_UNKNOWN) {
            const char* named = declaration.Encoding();
            const bool utf8 = !*named || StringEqual(named, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
                              StringEqual(named, "UTF8", true, TIXML_ENCODING_UNKNOWN);
            encoding = utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
        }
        return p;
    }
    case NodeKind::Comment: {
        TiXmlComment comment;
        return comment.Parse(p, nullptr, encoding);
    }
    case NodeKind::CData: {
        TiXmlText text("");
        text.SetCDATA(true);
        return text.Parse(p, nullptr, encoding);
    }
    default: {
        TiXmlUnknown unknown;
        return unknown.Parse(p, nullptr, encoding);
    }
    }
}
