#pragma once

#include <string>

// The last part of a '/'-separated path.
std::wstring FileNameOf(const std::wstring& path);
// The last part of a '/'-separated path without its extension.
std::wstring FileNameWithoutExtension(const std::wstring& path);
