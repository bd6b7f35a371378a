#include "host/session_string.h"

#include "host/base/text_util.h"

namespace orva {

std::vector<std::pair<std::string, std::string>> ParseSessionString(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::string_view rest = text;
    for (;;) {
        std::string_view key;
        auto eq = rest.find('=');
        if (eq == std::string_view::npos) {
            key = rest;
            rest = {};
        } else {
            key = rest.substr(0, eq);
            rest = rest.substr(eq + 1);
        }
        key = Trim(key);
        rest = Trim(rest);
        std::string_view value;
        if (!rest.empty() && rest.front() == '{') {
            rest.remove_prefix(1);
            auto close = rest.find('}');
            value = rest.substr(0, close);
            if (close == std::string_view::npos) {
                rest = {};
            } else {
                rest = rest.substr(close + 1);
                auto semi = rest.find(';');
                rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
            }
        } else {
            auto semi = rest.find(';');
            value = rest.substr(0, semi);
            rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
        }
        if (key.empty())
            break;
        out.emplace_back(std::string(key), std::string(Trim(value)));
    }
    return out;
}

std::string MakeSessionString(std::string_view dbConnection, int userID, std::string_view subID,
                              std::string_view language) {
    std::string text = "DBConnection={";
    text += dbConnection;
    text += "};UserID=" + std::to_string(userID) + ";SubID=";
    text += subID;
    text += ";LANGUAGE=";
    text += language;
    return text;
}

std::string SessionValue(std::string_view text, std::string_view key) {
    for (auto& [k, v] : ParseSessionString(text)) {
        if (EqualsNoCase(k, key))
            return v;
    }
    return {};
}

}  // namespace orva
