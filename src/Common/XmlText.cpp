#include "Common/XmlText.h"

#include "Common/XmlNestingProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <tinyxml.h>

namespace {

constexpr int kMaxDepth = 256;

// The text of a regular file that can be read; false for anything else
// (a folder, a FIFO, a device), which is never read.
bool ReadRegularFile(int fd, std::string& text)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text.append(buffer, std::size_t(got));
    }
}

// The parser steps over a multi-byte UTF-8 character whole, also one cut
// off by the end of the text, and then reads on past the terminator: the
// text is followed by enough terminators that it stops inside the buffer.
bool ParsePadded(TiXmlDocument& document, std::string text)
{
    text.append(8, '\0');
    if (CXmlNestingProbe::NestsDeeperThan(text.c_str(), kMaxDepth))
        return false;
    document.Parse(text.c_str());
    if (document.Error()) {
        document.Clear();
        return false;
    }
    return true;
}

// Line ends as the parser's own file loading makes them: "\r\n" and a
// lone "\r" become "\n".
std::string WithUnixLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            out += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            out += '\n';
    }
    return out;
}

}  // namespace

bool LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
    document.Clear();
    // Not blocking on a FIFO.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    const bool read = ReadRegularFile(fd, text);
    ::close(fd);
    return read && ParsePadded(document, WithUnixLineEnds(text));
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text)
{
    document.Clear();
    return ParsePadded(document, text);
}
