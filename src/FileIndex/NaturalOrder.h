#pragma once

#include <string>

// File names as a file manager orders them: runs of digits by their value
// ("clip_2" before "clip_10"), other characters without regard to case;
// names equal so are ordered by their characters.
bool NaturalLess(const std::wstring& a, const std::wstring& b);
