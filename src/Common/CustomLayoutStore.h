#pragma once

#include <list>
#include <string>

// The user's custom grid layouts, kept in the protected file
// "<program folder>/CustomLayout.dat".
std::string GetCustomLayoutFilePath();

// Writes each text followed by "\r\n" and protects the file. False for an
// empty list (the file is left alone) and when the file was not written.
bool SaveCustomLayouts(const std::list<std::string>& layouts);
bool SaveCustomLayoutsTo(const std::string& path, const std::list<std::string>& layouts);

// Fills layouts with the non-empty lines (trimmed) of the protected file.
// The file stays on disk. False when the file is missing, damaged or holds
// no layout; the list is then empty.
bool LoadCustomLayouts(std::list<std::string>& layouts);
bool LoadCustomLayoutsFrom(const std::string& path, std::list<std::string>& layouts);
