#pragma once

#include <string_view>

// The recorders' file-naming rule as a whole-name test:
//   <name>_ch<channel>_[main_|extra<N>_]<date-time>_<date-time>[tail]
// MatchesPattern runs the rule's regular expression on the UTF-8 form;
// Matches decides the same language directly on wide text, without
// allocating, and is what the parser uses.
namespace NamingRule {

bool MatchesPattern(std::wstring_view name);
bool Matches(std::wstring_view name);
// "yyyy-M-d" folder names, by the folder rule's regular expression.
bool MatchesDateFolder(std::wstring_view name);

}  // namespace NamingRule
