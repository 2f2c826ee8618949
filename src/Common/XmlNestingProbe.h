#pragma once

#include <tinyxml.h>

// Walks a text as TiXmlDocument::Parse reads it, without recursion, to find
// how deep its elements nest before the parser would stop. The flat nodes
// (text, CDATA, comments, declarations, unknown nodes, attributes) are read
// by the parser's own node classes, so every '<' counts exactly as the
// parser counts it.
class CXmlNestingProbe : private TiXmlBase {
public:
    // True when the parser would descend more than maxDepth elements deep.
    static bool NestsDeeperThan(const char* text, int maxDepth);

private:
    enum class NodeKind { None, Declaration, Comment, CData, Unknown, Element };

    static NodeKind Identify(const char* p, TiXmlEncoding encoding);
    // Reads the start tag of an element; sets hasContent when a '>' opens
    // its content. Null when the parser fails on it.
    static const char* ReadStartTag(const char* p, TiXmlEncoding encoding, TIXML_STRING& endTag,
                                    bool& hasContent);
    // Reads the end tag that closes the content; null when it is not there.
    static const char* ReadEndTag(const char* p, TiXmlEncoding encoding, const TIXML_STRING& endTag);
    // Reads a node that holds no elements; a declaration at the top level
    // sets the encoding when none is known yet.
    static const char* ReadFlatNode(NodeKind kind, const char* p, TiXmlEncoding& encoding, bool topLevel);
};
