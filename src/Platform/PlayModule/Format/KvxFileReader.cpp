#include "Platform/PlayModule/Format/KvxFileReader.h"

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/ReadAt.h"

namespace PLAY_MODULE {

namespace {
constexpr std::size_t kChunkSize = 256u << 10;
}

CKvxFileReader::~CKvxFileReader() { Close(); }

bool CKvxFileReader::Open(const std::string& path)
{
    Close();
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    m_sizeSeen = m_recordsEnd = 0;
    Seek(0);
    return m_fd >= 0;
}

void CKvxFileReader::Close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void CKvxFileReader::Seek(std::uint64_t offset)
{
    m_readPos = offset;
    m_parser.Reset(offset);
    m_parser.SetGapBound(true);
}

std::uint64_t CKvxFileReader::FileSize() const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t CKvxFileReader::RecordsEnd()
{
    const std::uint64_t size = FileSize();
    if (size != m_sizeSeen) {
        m_sizeSeen = size;
        const auto footer = CKvxIndexFooter::ReadFrom(m_fd, size);
        m_recordsEnd = footer ? footer->trailer.tableOffset : size;
        m_footerLastKey.reset();
        if (footer && !CKvxIndexFooter::MaySpanRecordsEnd(*footer))
            m_footerLastKey = footer->keyFrames.back().position;
    }
    return m_recordsEnd;
}

std::optional<std::uint64_t> CKvxFileReader::PendingRecordEnd() const
{
    return m_parser.PendingRecordEnd();
}

std::optional<std::uint64_t> CKvxFileReader::FooterLastKeyFrame()
{
    RecordsEnd();
    return m_footerLastKey;
}

bool CKvxFileReader::ReadHeaderAt(std::uint64_t pos, KvxRecordHeader& out) const
{
    std::uint8_t bytes[kvx::kHeaderSize];
    return m_fd >= 0 && ReadFullyAt(m_fd, bytes, sizeof bytes, pos) && out.Decode(bytes);
}

bool CKvxFileReader::ReadMore()
{
    const std::uint64_t end = std::min(RecordsEnd(), m_readLimit);
    if (m_readPos >= end) return false;
    m_chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, end - m_readPos)));
    const ssize_t n = ReadAt(m_fd, m_chunk.data(), m_chunk.size(), m_readPos);
    if (n <= 0) return false;
    m_readPos += static_cast<std::uint64_t>(n);
    m_parser.Feed({m_chunk.data(), static_cast<std::size_t>(n)});
    m_parser.SetMoreComing(true);
    return true;
}

bool CKvxFileReader::ReadNext(KvxRecord& out)
{
    if (m_fd < 0) return false;
    for (;;) {
        if (m_parser.Next(out) == CKvxRecordParser::Status::Record) return true;
        // Far past the last record without another: the records ended.
        if (m_parser.GapExceeded()) return false;
        if (ReadMore()) continue;
        if (m_parser.MoreComing()) {
            m_parser.SetMoreComing(false);
            continue;
        }
        // At the end for now: an unfinished record with sound records
        // inside it was cut off; otherwise wait for the file to grow.
        if (!m_parser.SkipCutOffRecord()) return false;
    }
}

}  // namespace PLAY_MODULE
