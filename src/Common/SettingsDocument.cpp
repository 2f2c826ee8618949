#include "Common/SettingsDocument.h"

#include "Base/TextCodec.h"
#include "Common/SettingText.h"

#include <cstdio>

// Appends to a text, or only counts what it would append.
class CSettingsDocument::Sink {
public:
    explicit Sink(std::string* text) : m_text(text) {}

    void Put(std::string_view piece)
    {
        m_size += piece.size();
        if (m_text)
            m_text->append(piece);
    }
    // A text value in UTF-8 with the characters XML gives a meaning
    // written as references.
    void PutValue(std::wstring_view value)
    {
        constexpr std::size_t kSlice = 4096;
        for (std::size_t at = 0; at < value.size(); at += kSlice)
            PutEscaped(SF_SOFT_BASE::WideToUtf8(value.substr(at, kSlice)));
    }
    std::size_t Size() const { return m_size; }

private:
    void PutEscaped(std::string_view utf8)
    {
        std::size_t plain = 0;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c >= 32 && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'')
                continue;
            Put(utf8.substr(plain, i - plain));
            Put(Reference(c));
            plain = i + 1;
        }
        Put(utf8.substr(plain));
    }
    static std::string Reference(unsigned char c)
    {
        switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '"': return "&quot;";
        case '\'': return "&apos;";
        default: break;
        }
        char reference[8];
        std::snprintf(reference, sizeof reference, "&#x%02X;", c);
        return reference;
    }

    std::string* m_text;
    std::size_t m_size = 0;
};

namespace {

constexpr std::string_view kIndent = "    ";

std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

CSettingsDocument::CSettingsDocument(const std::vector<std::unique_ptr<ConfigItem>>& items,
                                     const std::wstring* storedList)
    : m_items(items), m_storedList(storedList)
{
}

std::size_t CSettingsDocument::Size() const
{
    Sink counter(nullptr);
    WriteTo(counter);
    return counter.Size();
}

std::string CSettingsDocument::Text() const
{
    std::string text;
    text.reserve(Size());
    Sink writer(&text);
    WriteTo(writer);
    return text;
}

std::size_t CSettingsDocument::ValueSize(std::wstring_view stored)
{
    Sink counter(nullptr);
    counter.PutValue(stored);
    return counter.Size();
}

void CSettingsDocument::WriteTo(Sink& sink) const
{
    sink.Put("<Setting>\n");
    const std::wstring* group = nullptr;
    for (const auto& item : m_items) {
        if (!group || *group != item->group) {
            if (group)
                sink.Put(std::string(kIndent) + "</" + SF_SOFT_BASE::WideToUtf8(*group) + ">\n");
            group = &item->group;
            sink.Put(std::string(kIndent) + "<" + SF_SOFT_BASE::WideToUtf8(*group) + ">\n");
        }
        WriteItem(sink, *item);
    }
    if (group)
        sink.Put(std::string(kIndent) + "</" + SF_SOFT_BASE::WideToUtf8(*group) + ">\n");
    sink.Put("</Setting>\n");
}

void CSettingsDocument::WriteItem(Sink& sink, const ConfigItem& item) const
{
    sink.Put(std::string(kIndent) + std::string(kIndent) + "<" + SF_SOFT_BASE::WideToUtf8(item.key));
    auto attribute = [&](const char* name, const std::string& value) {
        sink.Put(std::string(" ") + name + "=\"" + value + "\"");
    };
    auto text = [&](const char* name, const std::wstring& value, bool stored) {
        sink.Put(std::string(" ") + name + "=\"");
        if (stored)
            sink.PutValue(value);  // the folder list: never copied
        else
            sink.PutValue(EscapeSettingText(value));
        sink.Put("\"");
    };
    if (item.boolValue) {
        attribute("value", *item.boolValue ? "1" : "0");
        attribute("Default", item.boolDefault ? "1" : "0");
        attribute("Min", "0");
        attribute("Max", "1");
    } else if (item.intValue) {
        attribute("value", std::to_string(*item.intValue));
        attribute("Default", std::to_string(item.intDefault));
        attribute("Min", std::to_string(item.min));
        attribute("Max", std::to_string(item.max));
        attribute("Scale", std::to_string(item.scale));
    } else if (item.doubleValue) {
        attribute("value", Number(*item.doubleValue));
        attribute("Default", Number(item.doubleDefault));
    } else if (item.stringValue) {
        text("value", *item.stringValue, item.stringValue == m_storedList);
        text("Default", item.stringDefault, false);
    }
    sink.Put(" />\n");
}
