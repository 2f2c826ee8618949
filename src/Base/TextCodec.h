#pragma once

#include <string>
#include <string_view>

namespace SF_SOFT_BASE {

// UTF-8 <-> wide text. Bytes that are not valid UTF-8 (file names need not
// be) decode to U+DC80..U+DCFF and encode back to the same byte, so any
// byte string survives a round trip through wide text.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// The byte a wide character holds that is not UTF-8 (U+DC80..U+DCFF), or -1.
int HeldByte(wchar_t c);

}  // namespace SF_SOFT_BASE
