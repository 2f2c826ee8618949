#include "Platform/PlayModule/Support/FooterEdits.h"

#include <algorithm>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"

using namespace PLAY_MODULE;

namespace PLAY_MODULE_TEST {

namespace {

constexpr std::int64_t kHourMs = 3600000;
constexpr std::size_t kTrailer = CKvxIndexFooter::kTrailerSize;
constexpr std::size_t kEntry = CKvxIndexFooter::kEntrySize;

std::uint8_t* TrailerOf(std::vector<std::uint8_t>& bytes)
{
    return bytes.data() + bytes.size() - kTrailer;
}

std::size_t TableAt(const std::vector<std::uint8_t>& bytes)
{
    const std::uint32_t count = LoadU32(bytes.data() + bytes.size() - kTrailer + 8);
    return bytes.size() - kTrailer - std::size_t(count) * kEntry;
}

void AddToU64(std::uint8_t* at, std::int64_t delta)
{
    StoreU64(at, LoadU64(at) + std::uint64_t(delta));
}

// The records of bytes followed by a footer of count entries made by fill.
template <typename Fill>
std::vector<std::uint8_t> WithTable(const std::vector<std::uint8_t>& bytes, std::uint32_t count, Fill fill)
{
    const std::size_t recordsEnd = TableAt(bytes);
    std::vector<std::uint8_t> out(bytes.begin(), bytes.begin() + std::ptrdiff_t(recordsEnd));
    out.resize(recordsEnd + count * kEntry);
    for (std::uint32_t i = 0; i < count; ++i)
        fill(i, out.data() + recordsEnd + i * kEntry);
    out.insert(out.end(), bytes.end() - kTrailer, bytes.end());
    StoreU32(TrailerOf(out) + 8, count);
    return out;
}

}  // namespace

void ResealFooter(std::vector<std::uint8_t>& bytes)
{
    const std::uint8_t* trailer = TrailerOf(bytes);
    const std::span<const std::uint8_t> table(bytes.data() + TableAt(bytes), trailer);
    StoreU32(TrailerOf(bytes) + 32, CKvxIndexFooter::Checksum(table, {trailer, kTrailer}));
}

std::vector<std::uint8_t> WithFooterEdit(std::vector<std::uint8_t> bytes, FooterEdit edit,
                                         std::span<const std::uint8_t> other)
{
    const std::size_t table = TableAt(bytes);
    const std::size_t count = (bytes.size() - kTrailer - table) / kEntry;
    switch (edit) {
    case FooterEdit::FromOtherRecording: {
        const std::vector<std::uint8_t> theirs(other.begin(), other.end());
        bytes.resize(table);
        bytes.insert(bytes.end(), theirs.begin() + std::ptrdiff_t(TableAt(theirs)), theirs.end());
        StoreU64(TrailerOf(bytes), table);
        break;
    }
    case FooterEdit::TableMovedToo:
        AddToU64(TrailerOf(bytes), 48);
        [[fallthrough]];
    case FooterEdit::PositionsMoved:
        for (std::size_t i = 0; i < count; ++i)
            AddToU64(bytes.data() + table + i * kEntry + 8, 48);
        break;
    case FooterEdit::TimesMoved:
        AddToU64(TrailerOf(bytes) + 16, -kHourMs);
        AddToU64(TrailerOf(bytes) + 24, kHourMs);
        break;
    case FooterEdit::ReservedSet:
        TrailerOf(bytes)[12] = 1;
        TrailerOf(bytes)[36] = 1;
        break;
    case FooterEdit::FirstLeftOut: {
        const std::vector<std::uint8_t> whole = bytes;
        bytes = WithTable(whole, std::uint32_t(count - 1), [&](std::uint32_t i, std::uint8_t* entry) {
            std::copy_n(whole.data() + table + (i + 1) * kEntry, kEntry, entry);
        });
        break;
    }
    case FooterEdit::MadeUpTable: {
        const std::int64_t start = std::int64_t(LoadU64(TrailerOf(bytes) + 16));
        bytes = WithTable(bytes, 10, [start](std::uint32_t i, std::uint8_t* entry) {
            StoreU64(entry, std::uint64_t(start + i * 100));
            StoreU64(entry + 8, i * 64);
        });
        break;
    }
    }
    ResealFooter(bytes);
    return bytes;
}

std::vector<std::uint8_t> WithClaimedFrontCut(const std::vector<std::uint8_t>& bytes, std::uint64_t shift,
                                              std::uint64_t cutOff,
                                              const std::vector<std::pair<std::int64_t, std::uint64_t>>& invented)
{
    const std::size_t table = TableAt(bytes);
    std::vector<std::pair<std::int64_t, std::uint64_t>> entries = invented;
    for (std::size_t at = table; at + kTrailer < bytes.size(); at += kEntry) {
        const std::uint64_t position = LoadU64(bytes.data() + at + 8) + shift;
        if (position >= cutOff) entries.emplace_back(std::int64_t(LoadU64(bytes.data() + at)), position);
    }
    auto out = WithTable(bytes, std::uint32_t(entries.size()), [&](std::uint32_t i, std::uint8_t* entry) {
        StoreU64(entry, std::uint64_t(entries[i].first));
        StoreU64(entry + 8, entries[i].second);
    });
    AddToU64(TrailerOf(out), std::int64_t(shift));
    StoreU64(TrailerOf(out) + 16, std::uint64_t(entries.front().first));
    ResealFooter(out);
    return out;
}

std::vector<std::uint8_t> WithOwnFooter(std::span<const std::uint8_t> records)
{
    CKvxIndexFooter footer;
    footer.NoteRecords(records, 0);
    std::vector<std::uint8_t> out(records.begin(), records.end());
    const auto bytes = footer.Encode(records.size());
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

}  // namespace PLAY_MODULE_TEST
