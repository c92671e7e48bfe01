// Small text helpers of the request paths: ASCII case-insensitive search and trimming,
// and the URL normalisation both request paths share.
#pragma once

#include <string>
#include <string_view>

namespace qovra::web {

std::size_t findNoCase(std::string_view text, std::string_view part, std::size_t from = 0);
bool containsNoCase(std::string_view text, std::string_view part);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
// Spaces trimmed at both ends (spaces only, as the box trims).
std::string_view trimSpaces(std::string_view text);
// Cut just before the first "#".
std::string_view withoutFragment(std::string_view url);
// "http://" put in front unless the URL starts, ignoring case, with "http://" or "https://".
std::string withScheme(std::string_view url);

}  // namespace qovra::web
