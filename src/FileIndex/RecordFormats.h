#pragma once

#include <list>
#include <string>

namespace FileIndexFormats {

// The record extensions used when the settings give none.
constexpr const wchar_t* kDefaultRecordFormats = L".kvx;.kvx_;.avi;.mp4;.ps;.ts;";

// Splits an extension list at ";" (empty pieces are dropped).
std::list<std::wstring> SplitRecordFormats(const std::wstring& formats);

// SplitRecordFormats of the default list.
std::list<std::wstring> GetDefaultRecordFormats();

}  // namespace FileIndexFormats
