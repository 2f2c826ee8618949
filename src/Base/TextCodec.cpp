#include "Base/TextCodec.h"

#include <cstdint>

namespace SF_SOFT_BASE {
namespace {

constexpr char32_t kEscapeBase = 0xDC00;
constexpr char32_t kReplacement = 0xFFFD;

// Length of the sequence a lead byte starts, 0 for a byte that cannot lead.
int SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Decodes one well-formed sequence at text[i] of length n, or returns -1.
long DecodeSequence(std::string_view text, std::size_t i, int n)
{
    if (i + n > text.size())
        return -1;
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    char32_t cp = n == 2 ? (byte(0) & 0x1F) : n == 3 ? (byte(0) & 0x0F) : (byte(0) & 0x07);
    for (int k = 1; k < n; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    return static_cast<long>(cp);
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        int n = SequenceLength(lead);
        long cp = n == 1 ? lead : n > 1 ? DecodeSequence(text, i, n) : -1;
        if (cp < 0) {
            out += static_cast<wchar_t>(kEscapeBase + lead);
            ++i;
        } else {
            out += static_cast<wchar_t>(cp);
            i += n;
        }
    }
    return out;
}

int HeldByte(wchar_t c)
{
    const auto cp = static_cast<char32_t>(static_cast<std::uint32_t>(c));
    return cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF ? static_cast<int>(cp - kEscapeBase) : -1;
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<char32_t>(static_cast<std::uint32_t>(wc));
        if (const int byte = HeldByte(wc); byte >= 0)
            out += static_cast<char>(byte);
        else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            AppendUtf8(out, kReplacement);
        else
            AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace SF_SOFT_BASE
