#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

// Translated UI texts keyed by their English text, from a language file
// of elements carrying "name" and "value" (UTF-8). Returned pointers stay
// valid for the table's lifetime and the table may be used from any thread.
class CLangStringTable {
public:
    static constexpr std::size_t kMaxTextLength = 1023;

    // The text of key: its translation from the language file, else its
    // entry in the fallback file (the English one), otherwise the key itself
    // (cut to kMaxTextLength). The files are read on the first call only,
    // loaded or not: the language does not change during a run.
    const wchar_t* Translate(const wchar_t* key, const std::string& languageFile,
                             const std::string& fallbackFile = std::string());
    // Whether the language file itself was read.
    bool IsLoaded() const;

private:
    bool LoadLocked(const std::string& file);
    const wchar_t* InternLocked(std::wstring text);

    mutable std::mutex m_mutex;
    bool m_tried = false;
    bool m_loaded = false;
    std::unordered_map<std::wstring, std::wstring> m_texts;
    std::unordered_set<std::wstring> m_keys;
};
