#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PLAY_MODULE_TEST {

// The slow reference for the cut of a kept AVI clip: every RIFF part, every
// list within it taken apart down to its single chunks, in file order. The
// clip keeps what lies before the first chunk that is not whole, provided a
// movie list holds a whole chunk of it; a file that is no AVI is kept whole.
// Lists other than the movie lists are kept or cut as one chunk.
// Header only: the fuzz targets use it too.
class CRiffWalk {
public:
    static std::uint64_t WholeEnd(const std::string& path)
    {
        CRiffWalk walk(path);
        return walk.Run();
    }

private:
    explicit CRiffWalk(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat status {};
        m_size = m_fd >= 0 && ::fstat(m_fd, &status) == 0 ? std::uint64_t(status.st_size) : 0;
    }
    ~CRiffWalk()
    {
        if (m_fd >= 0) ::close(m_fd);
    }

    struct Head {
        char id[4] = {};
        char type[4] = {};
        std::uint64_t end = 0;  // padded end as declared
        std::uint64_t have = 0; // bytes of the head in the file
    };

    Head HeadAt(std::uint64_t at) const
    {
        Head head;
        unsigned char bytes[12] = {};
        const ssize_t got = ::pread(m_fd, bytes, sizeof bytes, off_t(at));
        head.have = got > 0 ? std::uint64_t(got) : 0;
        std::memcpy(head.id, bytes, 4);
        std::memcpy(head.type, bytes + 8, 4);
        const std::uint64_t size = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | std::uint64_t(bytes[7]) << 24;
        head.end = at + 8 + size + (size & 1);
        return head;
    }

    static bool Is(const char* id, const char* text) { return std::memcmp(id, text, 4) == 0; }

    // One chunk that is whole; a part or movie list ends with its last one.
    struct Piece {
        std::uint64_t end = 0;
        int part = 0;
        bool inMovie = false;
    };

    // Lists every whole chunk in file order up to the first that is not.
    void Flatten()
    {
        std::uint64_t at = 0;
        for (int part = 0;; ++part) {
            const Head head = HeadAt(at);
            if (head.have < 12 || !Is(head.id, "RIFF") || !Is(head.type, part == 0 ? "AVI " : "AVIX"))
                return;
            if (!FlattenPart(at + 12, std::min(head.end, m_size), part) || head.end > m_size)
                return;
            m_pieces.push_back({head.end, part, false});
            at = head.end;
        }
    }

    bool FlattenPart(std::uint64_t at, std::uint64_t limit, int part)
    {
        while (at < limit) {
            const Head head = HeadAt(at);
            if (head.have < 8 || at + 8 > limit)
                return false;
            const bool movie = head.have >= 12 && at + 12 <= limit && Is(head.id, "LIST") && Is(head.type, "movi");
            if (movie && !FlattenMovie(at + 12, std::min(head.end, limit), part))
                return false;
            if (head.end > limit)
                return false;
            m_pieces.push_back({head.end, part, false});
            at = head.end;
        }
        return true;
    }

    bool FlattenMovie(std::uint64_t at, std::uint64_t limit, int part)
    {
        for (Head head = HeadAt(at); at < limit; at = head.end, head = HeadAt(at)) {
            if (head.have < 8 || head.end > limit)
                return false;
            m_pieces.push_back({head.end, part, true});
        }
        return true;
    }

    // The end of the last whole chunk of the last part whose movie list
    // holds a whole chunk.
    std::uint64_t Run()
    {
        const Head first = HeadAt(0);
        if (first.have < 12 || !Is(first.id, "RIFF") || !Is(first.type, "AVI "))
            return m_size;
        Flatten();
        int lastPart = -1;
        for (const Piece& piece : m_pieces)
            if (piece.inMovie) lastPart = piece.part;
        std::uint64_t whole = 0;
        for (const Piece& piece : m_pieces)
            if (piece.part <= lastPart) whole = piece.end;
        return whole;
    }

    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::vector<Piece> m_pieces;
};

}  // namespace PLAY_MODULE_TEST
