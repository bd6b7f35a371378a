// Small text helpers shared by the platform layer and the module.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orva {

std::string_view Trim(std::string_view s);  // blanks, tabs, CR, LF
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);  // ASCII letters
// Case-insensitive find (ASCII letters), npos when absent.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
std::vector<std::string> Split(std::string_view s, std::string_view sep);  // keeps empty parts
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

}  // namespace orva
