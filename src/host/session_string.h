// Parsing of the host session string: "key=value" pairs separated by ";",
// a value may be wrapped in braces and then hold ";" and "=".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orva {

// Pairs in the order written; keys trimmed as written, values trimmed. A key
// that occurs twice is returned twice: the caller's collection decides.
std::vector<std::pair<std::string, std::string>> ParseSessionString(std::string_view text);

// The first value whose key equals `key` without regard to case, or "".
std::string SessionValue(std::string_view text, std::string_view key);

}  // namespace orva
