#include "host/tsql/error_context.h"

namespace orva::tsql {

// Where in the batch an error happened: the line number and the text from
// there on, blanks collapsed, cut to a readable length.
std::string ErrorContext(std::string_view sql, std::size_t pos) {
    if (pos == std::string::npos || pos > sql.size())
        return {};
    int line = 1;
    for (std::size_t i = 0; i < pos; ++i) {
        if (sql[i] == '\n')
            ++line;
    }
    std::string text;
    bool blank = false;
    for (std::size_t i = pos; i < sql.size() && text.size() < 160; ++i) {
        char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !text.empty())
            text.push_back(' ');
        blank = false;
        text.push_back(c);
    }
    // Do not cut a UTF-8 sequence in two.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) {
        std::size_t k = text.size();
        while (k > 0 && (static_cast<unsigned char>(text[k - 1]) & 0xC0) == 0x80) --k;
        if (k == 0)
            break;
        unsigned char lead = static_cast<unsigned char>(text[k - 1]);
        std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (text.size() - (k - 1) >= need)
            break;
        text.resize(k - 1);
    }
    return " (line " + std::to_string(line) + ": " + text + ")";
}

}  // namespace orva::tsql
