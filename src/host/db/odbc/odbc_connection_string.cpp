#include "host/db/odbc/odbc_connection_string.h"

#include "host/base/text_util.h"

namespace orva {

namespace {
// End (exclusive) of the value starting at pos: a braced value runs to its
// closing brace ("}}" stands for one brace inside it), a plain one to ';'.
std::size_t ValueEnd(std::string_view s, std::size_t pos) {
    std::size_t i = pos;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i < s.size() && s[i] == '{') {
        for (++i; i < s.size(); ++i) {
            if (s[i] != '}')
                continue;
            if (i + 1 < s.size() && s[i + 1] == '}') {
                ++i;
                continue;
            }
            ++i;
            break;
        }
    }
    std::size_t semi = s.find(';', i);
    return semi == std::string_view::npos ? s.size() : semi;
}
}  // namespace

std::string RedactConnectionString(std::string_view s) {
    std::string out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t eq = s.find('=', pos);
        std::size_t semi = s.find(';', pos);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            // An attribute without a value: keep it as it stands.
            std::size_t end = semi == std::string_view::npos ? s.size() : semi + 1;
            out.append(s.substr(pos, end - pos));
            pos = end;
            continue;
        }
        std::string_view key = Trim(s.substr(pos, eq - pos));
        std::size_t end = ValueEnd(s, eq + 1);
        out.append(s.substr(pos, eq + 1 - pos));
        if (EqualsNoCase(key, "PWD") || EqualsNoCase(key, "PASSWORD")) {
            out += "***";
        } else {
            out.append(s.substr(eq + 1, end - eq - 1));
        }
        if (end < s.size())
            out += ';';
        pos = end + 1;
    }
    return out;
}

}  // namespace orva
