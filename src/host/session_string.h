// The host session string: "key=value" pairs separated by ";", a value may
// be wrapped in braces and then hold ";" and "=". Built here for a log-on and
// parsed here for every reader.
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

// The session string of a log-on:
// "DBConnection={<connection>};UserID=<user>;SubID=<module>;LANGUAGE=<language>".
// The connection is braced, so it may hold ";" and "=" (a path, a URI).
std::string MakeSessionString(std::string_view dbConnection, int userID,
                              std::string_view subID = "ic", std::string_view language = "CHS");

}  // namespace orva
