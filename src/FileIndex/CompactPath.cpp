#include "FileIndex/CompactPath.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kSizeBytes = sizeof(std::uint32_t);

bool IsOneByteCode(wchar_t c) { return static_cast<std::uint32_t>(c) < 0x80; }

std::size_t EncodedSize(std::wstring_view text)
{
    std::size_t size = text.size();
    for (const wchar_t c : text) {
        for (auto value = static_cast<std::uint32_t>(c); value >= 0x80; value >>= 7)
            ++size;
    }
    return size;
}

// Runs of one-byte codes (plain ASCII) are copied as they stand.
void EncodeTo(std::wstring_view text, char* out)
{
    for (auto next = text.begin(); next != text.end();) {
        const auto plainEnd = std::find_if_not(next, text.end(), IsOneByteCode);
        out = std::transform(next, plainEnd, out, [](wchar_t c) { return static_cast<char>(c); });
        if (plainEnd == text.end())
            break;
        auto value = static_cast<std::uint32_t>(*plainEnd);
        for (; value >= 0x80; value >>= 7)
            *out++ = static_cast<char>((value & 0x7F) | 0x80);
        *out++ = static_cast<char>(value);
        next = plainEnd + 1;
    }
}

// Appends the decoded text: at most one character a byte.
void DecodeTo(std::string_view bytes, std::wstring& out)
{
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    wchar_t* next = out.data() + start;
    const auto isOneByte = [](char byte) { return (static_cast<unsigned char>(byte) & 0x80) == 0; };
    for (auto byte = bytes.begin(); byte != bytes.end();) {
        const auto plainEnd = std::find_if_not(byte, bytes.end(), isOneByte);
        next = std::transform(byte, plainEnd, next, [](char c) { return static_cast<wchar_t>(c); });
        std::uint32_t value = 0;
        int shift = 0;
        for (byte = plainEnd; byte != bytes.end(); shift += 7) {
            const auto bits = static_cast<unsigned char>(*byte++);
            value |= std::uint32_t(bits & 0x7F) << shift;
            if ((bits & 0x80) == 0) {
                *next++ = static_cast<wchar_t>(value);
                break;
            }
        }
    }
    out.resize(std::size_t(next - out.data()));
}

std::unique_ptr<char[]> MakeBlock(std::size_t size)
{
    auto block = std::make_unique_for_overwrite<char[]>(kSizeBytes + size);
    const auto stored = static_cast<std::uint32_t>(size);
    std::memcpy(block.get(), &stored, kSizeBytes);
    return block;
}

std::unique_ptr<char[]> CopyBlock(std::string_view bytes)
{
    if (bytes.empty())
        return nullptr;
    auto block = MakeBlock(bytes.size());
    std::memcpy(block.get() + kSizeBytes, bytes.data(), bytes.size());
    return block;
}

// Whether a1 + a2 and b1 + b2 are the same bytes.
bool SameJoined(std::string_view a1, std::string_view a2, std::string_view b1, std::string_view b2)
{
    if (a1.size() + a2.size() != b1.size() + b2.size())
        return false;
    if (a1.size() > b1.size()) {
        std::swap(a1, b1);
        std::swap(a2, b2);
    }
    const std::size_t overlap = b1.size() - a1.size();
    return b1.substr(0, a1.size()) == a1 && b1.substr(a1.size()) == a2.substr(0, overlap) &&
           a2.substr(overlap) == b2;
}

}  // namespace

CCompactPath::Folder CCompactPath::MakeFolder(std::wstring_view folder)
{
    std::string bytes(EncodedSize(folder), '\0');
    EncodeTo(folder, bytes.data());
    return std::make_shared<const std::string>(std::move(bytes));
}

CCompactPath::CCompactPath(const CCompactPath& other)
    : m_folder(other.m_folder), m_rest(CopyBlock(other.RestBytes()))
{
}

CCompactPath& CCompactPath::operator=(const CCompactPath& other)
{
    if (this != &other) {
        m_folder = other.m_folder;
        m_rest = CopyBlock(other.RestBytes());
        m_wide.reset();
    }
    return *this;
}

void CCompactPath::Assign(std::wstring_view path) { Assign(nullptr, path); }

void CCompactPath::Assign(const Folder& folder, std::wstring_view name)
{
    m_folder = folder;
    m_rest.reset();
    if (!name.empty()) {
        const std::size_t size = EncodedSize(name);
        m_rest = MakeBlock(size);
        EncodeTo(name, m_rest.get() + kSizeBytes);
    }
    m_wide.reset();
}

std::string_view CCompactPath::FolderBytes() const
{
    return m_folder ? std::string_view(*m_folder) : std::string_view();
}

std::string_view CCompactPath::RestBytes() const
{
    if (!m_rest)
        return {};
    std::uint32_t size = 0;
    std::memcpy(&size, m_rest.get(), kSizeBytes);
    return {m_rest.get() + kSizeBytes, size};
}

std::wstring CCompactPath::ToWide() const
{
    std::wstring text;
    text.reserve(FolderBytes().size() + RestBytes().size());
    DecodeTo(FolderBytes(), text);
    DecodeTo(RestBytes(), text);
    return text;
}

const wchar_t* CCompactPath::CStr() const
{
    if (!m_wide)
        m_wide = std::make_unique<std::wstring>(ToWide());
    return m_wide->c_str();
}

bool CCompactPath::operator==(const CCompactPath& other) const
{
    return SameJoined(FolderBytes(), RestBytes(), other.FolderBytes(), other.RestBytes());
}
