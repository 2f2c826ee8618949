#include "Widgets/SkinParser.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "Base/TextCodec.h"

namespace {

std::int64_t ClampToInt(std::int64_t value)
{
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return value < lo ? lo : (value > hi ? hi : value);
}

// Reads up to four comma-separated decimal numbers from the start of the
// text, as "%d,%d,%d,%d" would; numbers not read stay 0.
std::array<std::int64_t, 4> ReadFourNumbers(const char* text)
{
    std::array<std::int64_t, 4> values{};
    const char* cursor = text;
    for (std::size_t i = 0; i < values.size() && cursor; ++i) {
        char* end = nullptr;
        const long long value = std::strtoll(cursor, &end, 10);
        if (end == cursor)
            break;
        values[i] = ClampToInt(value);
        cursor = (*end == ',') ? end + 1 : nullptr;
    }
    return values;
}

LONG ToLong(std::int64_t value)
{
    return static_cast<LONG>(ClampToInt(value));
}

std::string Narrow(const wchar_t* text)
{
    return text ? SF_SOFT_BASE::WideToUtf8(text) : std::string();
}

int HexPair(const char* pair)
{
    int value = 0;
    for (int i = 0; i < 2 && std::isxdigit(static_cast<unsigned char>(pair[i])); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pair[i])));
        value = value * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return value;
}

}  // namespace

tagRECT SFQTParseSkinRect(const char* text)
{
    if (!text || !*text)
        return tagRECT{0, 0, 0, 0};
    const auto v = ReadFourNumbers(text);
    return tagRECT{ToLong(v[0]), ToLong(v[1]), ToLong(v[0] + v[2]), ToLong(v[1] + v[3])};
}

tagRECT SFQTParseSkinRectW(const wchar_t* text)
{
    return SFQTParseSkinRect(Narrow(text).c_str());
}

tagRECT SFQTParseSkinRectInclusive(const char* text)
{
    if (!text || !*text)
        return tagRECT{0, 0, -1, -1};
    const auto v = ReadFourNumbers(text);
    return tagRECT{ToLong(v[0]), ToLong(v[1]), ToLong(v[0] + v[2] - 1), ToLong(v[1] + v[3] - 1)};
}

tagRECT SFQTParseSkinRectInclusiveW(const wchar_t* text)
{
    return SFQTParseSkinRectInclusive(Narrow(text).c_str());
}

tagPOINT SFQTParseSkinPoint(const char* text)
{
    const QStringList parts = QString::fromUtf8(text ? text : "").trimmed().split(QLatin1Char(','));
    if (parts.size() != 2)
        return tagPOINT{0, 0};
    return tagPOINT{parts[0].toInt(), parts[1].toInt()};
}

tagPOINT SFQTParseSkinPointW(const wchar_t* text)
{
    return SFQTParseSkinPoint(Narrow(text).c_str());
}

QColor SFQTParseSkinColor(const char* text)
{
    if (!text || std::char_traits<char>::length(text) != 6)
        return QColor(0, 0, 0);
    return QColor(HexPair(text), HexPair(text + 2), HexPair(text + 4));
}

QColor SFQTParseSkinColorW(const wchar_t* text)
{
    return SFQTParseSkinColor(Narrow(text).c_str());
}

QColor SFQTColorFromColorRef(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

void SFQTCopyRect(tagRECT& destination, const tagRECT& source)
{
    destination = source;
}

tagRECT* SFQTCopyRect(tagRECT* destination, const tagRECT* source)
{
    if (destination && source)
        *destination = *source;
    return destination;
}

QString SFQTStringFromWide(const wchar_t* text)
{
    return text ? QString::fromStdString(SF_SOFT_BASE::WideToUtf8(text)) : QString();
}

int SFQTLimitSkinValue(long value)
{
    return static_cast<int>(std::clamp(value, -kSFQTSkinValueLimit, kSFQTSkinValueLimit));
}
