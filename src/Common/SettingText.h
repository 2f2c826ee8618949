#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text values as the settings file stores them: valid UTF-8 whatever bytes
// a folder name holds. A byte that is not UTF-8 (held in wide text as
// U+DC80..U+DCFF) is stored "\xHH" (two lower-case hex digits) and "\" is
// stored "\\"; a list stores each entry followed by ";", an entry's own ";"
// as "\;". Read back, any other "\" is itself and "\x" stands for a byte
// only before 80..ff, so text stored before these escapes reads as it did
// unless it holds "\\" or "\x80".."\xff".

// Appends the stored form of text; as a list entry when listEntry.
void AppendSettingText(std::wstring_view text, std::wstring& stored, bool listEntry);
// The length AppendSettingText adds.
std::size_t StoredSettingTextLength(std::wstring_view text, bool listEntry);
std::wstring EscapeSettingText(std::wstring_view text);
// The text a stored value stands for.
std::wstring UnescapeSettingText(std::string_view stored);
// The entries of a stored list; a rest after the last ";" is not taken.
std::vector<std::wstring> SplitSettingList(std::string_view stored);
