#pragma once

#include <string>

class TiXmlDocument;

// The XML parser descends once per nested element: a hostile file nesting
// elements thousands deep would overflow the stack. These refuse such text
// before the parser sees it.

// Loads the file into the document; false (the document then empty) when
// the file cannot be read or parsed or nests too deep.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path);
// The same for text in memory.
bool ParseXmlText(TiXmlDocument& document, const std::string& text);
