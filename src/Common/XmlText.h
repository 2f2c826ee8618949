#pragma once

#include <cstddef>
#include <string>

class TiXmlDocument;

// The XML parser descends once per nested element and checks each
// attribute against all earlier ones of its element: a hostile file nesting
// elements thousands deep would overflow the stack, one with a huge element
// or node count would take minutes. These refuse such text (and what is no
// regular file) before the parser sees it.

// Text larger than this is refused unless the caller allows more.
constexpr std::size_t kMaxXmlBytes = 2 << 20;

// Loads the file into the document; false (the document then empty) when
// the file cannot be read or parsed, is not read to its end, has no root
// element or another element beside it, or is refused. maxBytes bounds only
// the size: the bounds on nesting, nodes and attributes keep parsing fast
// at any size.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path, std::size_t maxBytes = kMaxXmlBytes);
// The same for text in memory.
bool ParseXmlText(TiXmlDocument& document, const std::string& text);
