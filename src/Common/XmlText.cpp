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

}  // namespace

bool LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
    document.Clear();
    // Not blocking on a FIFO; the parser reads the same open file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    if (!ReadRegularFile(fd, text) || NestsTooDeep(text) || ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return false;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return false;
    }
    // The parser's own file loading keeps its line-end handling.
    const bool loaded = document.LoadFile(file);
    std::fclose(file);
    if (!loaded)
        document.Clear();
    return loaded;
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text)
{
    document.Clear();
    if (NestsTooDeep(text))
        return false;
    document.Parse(text.c_str());
    if (document.Error()) {
        document.Clear();
        return false;
    }
    return true;
}
