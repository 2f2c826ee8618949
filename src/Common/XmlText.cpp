#include "Common/XmlText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string_view>
#include <tinyxml.h>

namespace {

constexpr int kMaxDepth = 256;

// Where the construct opened at `at` ends (just past `close`), or npos.
std::size_t PastClose(std::string_view text, std::size_t at, std::string_view close)
{
    const std::size_t end = text.find(close, at);
    return end == std::string_view::npos ? end : end + close.size();
}

// Where the tag opened at `at` ends (just past its '>'), quoted attribute
// values skipped; npos when it never ends.
std::size_t PastTag(std::string_view text, std::size_t at)
{
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '"' || text[i] == '\'') {
            i = text.find(text[i], i + 1);
            if (i == std::string_view::npos)
                return i;
        } else if (text[i] == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// Counts nesting as the parser reads it: comments, CDATA, declarations and
// quoted attribute values do not nest, and whatever they hold is no tag.
bool NestsTooDeep(std::string_view text)
{
    int depth = 0;
    std::size_t at = text.find('<');
    while (at != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        std::size_t next;
        if (rest.starts_with("<!--")) {
            next = PastClose(text, at + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            next = PastClose(text, at + 9, "]]>");
        } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
            next = PastClose(text, at, ">");
        } else if (rest.starts_with("</")) {
            depth = depth > 0 ? depth - 1 : 0;
            next = PastClose(text, at, ">");
        } else {
            next = PastTag(text, at);
            const bool empty = next != std::string_view::npos && text[next - 2] == '/';
            if (!empty && ++depth > kMaxDepth)
                return true;
        }
        if (next == std::string_view::npos)
            return false;
        at = text.find('<', next);
    }
    return false;
}

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
    return read && !NestsTooDeep(text) && ParsePadded(document, WithUnixLineEnds(text));
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text)
{
    document.Clear();
    return !NestsTooDeep(text) && ParsePadded(document, text);
}
