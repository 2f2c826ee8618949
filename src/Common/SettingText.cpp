#include "Common/SettingText.h"

#include "Base/TextCodec.h"

namespace {

constexpr char kEscape = '\\';
constexpr char kListEnd = ';';

// How many characters c takes when stored.
std::size_t StoredLength(wchar_t c, bool listEntry)
{
    if (SF_SOFT_BASE::HeldByte(c) >= 0)
        return 4;
    return c == L'\\' || (listEntry && c == L';') ? 2 : 1;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the escape at stored[i], a "\", into bytes and moves i past it;
// false when that "\" is itself.
bool TakeEscape(std::string_view stored, std::size_t& i, std::string& bytes, bool inList)
{
    const char next = i + 1 < stored.size() ? stored[i + 1] : '\0';
    if (next == kEscape || (inList && next == kListEnd)) {
        bytes += next;
        i += 2;
        return true;
    }
    if (next != 'x' || i + 3 >= stored.size())
        return false;
    const int high = HexDigit(stored[i + 2]);
    const int low = HexDigit(stored[i + 3]);
    if (high < 8 || low < 0)
        return false;
    bytes += static_cast<char>(high * 16 + low);
    i += 4;
    return true;
}

}  // namespace

void AppendSettingText(std::wstring_view text, std::wstring& stored, bool listEntry)
{
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    for (wchar_t c : text) {
        const int byte = SF_SOFT_BASE::HeldByte(c);
        if (byte >= 0) {
            stored += L"\\x";
            stored += kHex[byte >> 4];
            stored += kHex[byte & 0xf];
            continue;
        }
        if (StoredLength(c, listEntry) == 2)
            stored += L'\\';
        stored += c;
    }
    if (listEntry)
        stored += L';';
}

std::size_t StoredSettingTextLength(std::wstring_view text, bool listEntry)
{
    std::size_t length = listEntry ? 1 : 0;
    for (wchar_t c : text)
        length += StoredLength(c, listEntry);
    return length;
}

std::wstring EscapeSettingText(std::wstring_view text)
{
    std::wstring stored;
    stored.reserve(StoredSettingTextLength(text, false));
    AppendSettingText(text, stored, false);
    return stored;
}

std::wstring UnescapeSettingText(std::string_view stored)
{
    std::string bytes;
    bytes.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size();)
        if (stored[i] != kEscape || !TakeEscape(stored, i, bytes, false))
            bytes += stored[i++];
    return SF_SOFT_BASE::Utf8ToWide(bytes);
}

// Split from the stored UTF-8 text, so that the list is never also held as
// one wide string. The escapes are ASCII, which no multi-byte character
// holds, so each entry decodes as it does within the whole text.
std::vector<std::wstring> SplitSettingList(std::string_view stored)
{
    std::vector<std::wstring> entries;
    std::string entry;
    for (std::size_t i = 0; i < stored.size();) {
        if (stored[i] == kListEnd) {
            entries.push_back(SF_SOFT_BASE::Utf8ToWide(entry));
            entries.back().shrink_to_fit();
            entry.clear();
            ++i;
        } else if (stored[i] != kEscape || !TakeEscape(stored, i, entry, true)) {
            entry += stored[i++];
        }
    }
    return entries;
}
