#pragma once

#include <string>

// The program folder with '/' separators and no trailing separator. Worked
// out once on first use and never changed, so any thread may ask.
std::wstring SFGetAppDir();
// The same as UTF-8 bytes, for file calls.
std::string SFGetAppDirUtf8();
