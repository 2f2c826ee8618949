#include "FileIndex/NamingRule.h"

#include <cstdint>
#include <exception>
#include <string>

#include <boost/regex.hpp>

#include "Base/TextCodec.h"

namespace NamingRule {
namespace {

// Pieces of the naming rule, matched against the UTF-8 bytes of a name.
// Bytes 0x80-0xff in the name piece admit non-ASCII names.
constexpr const char* kNamePiece = R"(([A-Za-z0-9\x80-\xff\$\(\)\.\+\[\]\^\{\}#@%!,~&-;`=']+))";
constexpr const char* kChannelPiece = R"(([1-9]\d*))";
constexpr const char* kStreamPiece = R"((main_|extra([1-9]\d*)_)?)";
constexpr const char* kDateTimePiece =
    R"((([12][0-9]{3})(0?[1-9]|1[012])(0?[1-9]|[12][0-9]|3[01])([01][0-9]|2[0-3])([0-5][0-9])([0-5][0-9])))";
// The tail admits nothing, or a non-digit followed by anything. Written
// without nested repetition so that a failing match stays linear.
constexpr const char* kTailPiece = R"((\D[\s\S]*)?)";
constexpr const char* kDateFolderRule = R"(^([12][0-9]{3})-(0?[1-9]|1[012])-(0?[1-9]|[12][0-9]|3[01])$)";

const boost::regex& NamingPattern()
{
    static const boost::regex rule(std::string("^") + kNamePiece + "_ch" + kChannelPiece + "_" + kStreamPiece +
                                       kDateTimePiece + "_" + kDateTimePiece + kTailPiece + "$",
                                   boost::regex::perl | boost::regex::nosubs);
    return rule;
}

const boost::regex& DateFolderPattern()
{
    static const boost::regex rule(kDateFolderRule, boost::regex::perl | boost::regex::nosubs);
    return rule;
}

// Whole-string match; a matcher error counts as no match.
bool MatchesWhole(std::wstring_view text, const boost::regex& rule)
{
    try {
        return boost::regex_match(SF_SOFT_BASE::WideToUtf8(text), rule);
    } catch (const std::exception&) {
        return false;
    }
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Characters of the name piece. Every character from U+0080 on, and every
// character that is no code point, is written with bytes 0x80-0xff only.
bool IsNameCharacter(wchar_t c)
{
    const auto code = static_cast<std::uint32_t>(c);
    if (code >= 0x80)
        return true;
    if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || IsDigit(c))
        return true;
    if (c >= L'&' && c <= L';')  // & ' ( ) * + , - . / 0-9 : ;
        return true;
    return std::wstring_view(L"$()+.[]^{}#@%!,~`='").find(c) != std::wstring_view::npos;
}

// Reads a number without leading zero at pos.
bool SkipNumber(std::wstring_view text, std::size_t& pos)
{
    if (pos >= text.size() || text[pos] < L'1' || text[pos] > L'9')
        return false;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return true;
}

bool InRange(wchar_t c, wchar_t low, wchar_t high) { return c >= low && c <= high; }

// Month "0?[1-9]|1[012]" of the given width at the start of text.
bool IsMonth(std::wstring_view t, std::size_t width)
{
    if (width == 1)
        return InRange(t[0], L'1', L'9');
    return (t[0] == L'0' && InRange(t[1], L'1', L'9')) || (t[0] == L'1' && InRange(t[1], L'0', L'2'));
}

// Day "0?[1-9]|[12][0-9]|3[01]" of the given width.
bool IsDay(std::wstring_view t, std::size_t width)
{
    if (width == 1)
        return InRange(t[0], L'1', L'9');
    return (t[0] == L'0' && InRange(t[1], L'1', L'9')) || (InRange(t[0], L'1', L'2') && IsDigit(t[1])) ||
           (t[0] == L'3' && InRange(t[1], L'0', L'1'));
}

// Hour, minute, second: "([01][0-9]|2[0-3])([0-5][0-9])([0-5][0-9])".
bool IsClock(std::wstring_view t)
{
    const bool hour = (InRange(t[0], L'0', L'1') && IsDigit(t[1])) || (t[0] == L'2' && InRange(t[1], L'0', L'3'));
    return hour && InRange(t[2], L'0', L'5') && IsDigit(t[3]) && InRange(t[4], L'0', L'5') && IsDigit(t[5]);
}

// A whole run of digits as the date-time piece: the year, a month and a
// day of one or two digits each, then six clock digits.
bool IsDateTime(std::wstring_view digits)
{
    if (digits.size() < 12 || digits.size() > 14 || !InRange(digits[0], L'1', L'2'))
        return false;
    for (std::size_t monthWidth : {1u, 2u}) {
        for (std::size_t dayWidth : {1u, 2u}) {
            if (4 + monthWidth + dayWidth + 6 != digits.size())
                continue;
            if (IsMonth(digits.substr(4), monthWidth) && IsDay(digits.substr(4 + monthWidth), dayWidth) &&
                IsClock(digits.substr(4 + monthWidth + dayWidth)))
                return true;
        }
    }
    return false;
}

// The digit run at pos; a date-time piece is always a whole run, as the
// character after it is "_" or the tail's non-digit.
std::wstring_view DigitRun(std::wstring_view text, std::size_t& pos)
{
    const std::size_t begin = pos;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return text.substr(begin, pos - begin);
}

bool SkipLiteral(std::wstring_view text, std::size_t& pos, std::wstring_view literal)
{
    if (text.substr(pos, literal.size()) != literal)
        return false;
    pos += literal.size();
    return true;
}

bool SkipStream(std::wstring_view text, std::size_t& pos)
{
    if (SkipLiteral(text, pos, L"main_"))
        return true;
    std::size_t at = pos;
    if (SkipLiteral(text, at, L"extra") && SkipNumber(text, at) && SkipLiteral(text, at, L"_")) {
        pos = at;
        return true;
    }
    return pos < text.size() && IsDigit(text[pos]);  // no stream part
}

}  // namespace

bool MatchesPattern(std::wstring_view name) { return MatchesWhole(name, NamingPattern()); }

bool Matches(std::wstring_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] != L'_') {
        if (!IsNameCharacter(text[pos]))
            return false;
        ++pos;
    }
    if (pos == 0 || !SkipLiteral(text, pos, L"_ch") || !SkipNumber(text, pos) || !SkipLiteral(text, pos, L"_"))
        return false;
    if (!SkipStream(text, pos) || !IsDateTime(DigitRun(text, pos)) || !SkipLiteral(text, pos, L"_"))
        return false;
    if (!IsDateTime(DigitRun(text, pos)))
        return false;
    return pos == text.size() || !IsDigit(text[pos]);  // the tail
}

bool MatchesDateFolder(std::wstring_view name) { return MatchesWhole(name, DateFolderPattern()); }

}  // namespace NamingRule
