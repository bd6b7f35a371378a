#include "host/tsql/literals.h"
#include "host/base/pass_over.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace orva::tsql {
namespace {

bool FitsInteger(const std::string& digits, std::int64_t& value) {
    const char* end = digits.data() + digits.size();
    auto [p, ec] = std::from_chars(digits.data(), end, value);
    return ec == std::errc() && p == end;
}

}  // namespace

bool IsBindableLiteral(const Token& t) {
    if (t.kind == TokKind::String)
        return true;
    if (t.kind != TokKind::Number)
        return false;
    std::int64_t v = 0;
    return !t.isInteger || FitsInteger(t.text, v);
}

TextShape ShapeOf(const std::vector<Token>& tokens) {
    TextShape shape;
    shape.key.reserve(tokens.size() * 8);
    for (const Token& t : tokens) {
        if (t.kind == TokKind::End)
            break;
        if (IsBindableLiteral(t)) {
            shape.key.push_back('\x01');
            if (t.kind == TokKind::String) {
                shape.key.push_back('s');
                shape.values.emplace_back(t.text);
            } else if (std::int64_t v = 0; t.isInteger && FitsInteger(t.text, v)) {
                shape.key.push_back('i');
                shape.values.emplace_back(v);
            } else {
                shape.key.push_back('d');
                shape.values.emplace_back(std::strtod(t.text.c_str(), nullptr));
            }
            shape.texts.push_back(t.text);
            continue;
        }
        // Kind, length (7 bits a byte) and text: no two token lists give the
        // same key.
        shape.key.push_back(static_cast<char>('A' + static_cast<int>(t.kind)));
        std::size_t size = t.text.size();
        do {
            shape.key.push_back(static_cast<char>((size & 0x7F) | (size > 0x7F ? 0x80 : 0)));
            size >>= 7;
        } while (size > 0);
        shape.key.append(t.text);
    }
    return shape;
}

std::size_t MovePosition(std::string_view from, std::string_view to, std::size_t pos) {
    if (pos == std::string::npos || from == to)
        return pos;
    // A text that does not tokenize keeps the position.
    return PassOver(
        [&] {
            const std::vector<Token> a = Tokenize(from);
            auto it = std::lower_bound(a.begin(), a.end(), pos,
                                       [](const Token& t, std::size_t p) { return t.pos < p; });
            if (it == a.end() || it->pos != pos)
                return pos;
            const std::vector<Token> b = Tokenize(to);
            const auto index = static_cast<std::size_t>(it - a.begin());
            return index < b.size() ? b[index].pos : pos;
        },
        pos);
}

}  // namespace orva::tsql
