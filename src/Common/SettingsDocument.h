#pragma once

#include "Common/ConfigItem.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The settings file's text, laid out as the XML printer lays it out: the
// root "Setting", an element per group, in it an element per setting with
// its value and limits as attributes, four spaces to a level. Counted or
// written in one pass into text sized once, without copying any value on
// the way: the folder list is tens of MB.
class CSettingsDocument {
public:
    // Text values are stored escaped (EscapeSettingText); the item whose
    // value is storedList holds its stored form already.
    CSettingsDocument(const std::vector<std::unique_ptr<ConfigItem>>& items, const std::wstring* storedList);

    std::size_t Size() const;
    std::string Text() const;
    // The bytes a stored text takes as an attribute value.
    static std::size_t ValueSize(std::wstring_view stored);

private:
    class Sink;
    void WriteTo(Sink& sink) const;
    void WriteItem(Sink& sink, const ConfigItem& item) const;

    const std::vector<std::unique_ptr<ConfigItem>>& m_items;
    const std::wstring* m_storedList;
};
