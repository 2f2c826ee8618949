#pragma once

#include <tinyxml.h>

// Walks a text as TiXmlDocument::Parse reads it, without recursion, to find
// whether it goes beyond what the parser reads safely and quickly: how deep
// its elements nest, how many nodes it holds and how many attributes one
// element carries (the parser checks each attribute against all earlier
// ones of its element), up to where the parser would stop. The flat nodes
// (text, CDATA, comments, declarations, unknown nodes, attributes) are read
// by the parser's own node classes, so every '<' counts exactly as the
// parser counts it.
class CXmlNestingProbe : private TiXmlBase {
public:
    struct Limits {
        int maxDepth;
        int maxNodes;
        int maxAttributes;  // of one element
    };
    // True when the parser would descend more than maxDepth elements deep,
    // make more than maxNodes nodes or read an element with more than
    // maxAttributes attributes.
    static bool Exceeds(const char* text, const Limits& limits);

private:
    enum class NodeKind { None, Declaration, Comment, CData, Unknown, Element };

    static NodeKind Identify(const char* p, TiXmlEncoding encoding);
    // Reads the start tag of an element; sets hasContent when a '>' opens
    // its content, tooManyAttributes when it has more than maxAttributes.
    // Null when the parser fails on it or there are too many.
    static const char* ReadStartTag(const char* p, TiXmlEncoding encoding, TIXML_STRING& endTag,
                                    bool& hasContent, int maxAttributes, bool& tooManyAttributes);
    // Reads the end tag that closes the content; null when it is not there.
    static const char* ReadEndTag(const char* p, TiXmlEncoding encoding, const TIXML_STRING& endTag);
    // Reads a node that holds no elements; a declaration at the top level
    // sets the encoding when none is known yet.
    static const char* ReadFlatNode(NodeKind kind, const char* p, TiXmlEncoding& encoding, bool topLevel);
};
