// The literals of a T-SQL text and the text's shape. The texts the module
// sends again and again differ mostly in their numbers and strings (IDs,
// codes, prices, dates); the shape is the text's tokens with those literals
// left out, so every text of one shape can run one translation whose
// statements take the literals as parameters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/tsql/tokenizer.h"
#include "orvasaleprice/variant.h"

namespace orva::tsql {

// A number or string whose value can be bound in place of the written
// literal: every string, and every number except an integer beyond 64 bits
// (SQLite reads such a one as a real number, but its negation as the
// smallest integer, which a bound value would not reproduce).
bool IsBindableLiteral(const Token& t);

struct TextShape {
    std::string key;                 // the tokens, bindable literals by kind only
    std::vector<Variant> values;     // the bindable literals' values, in order
    std::vector<std::string> texts;  // the same as written (strings unescaped)
};

TextShape ShapeOf(const std::vector<Token>& tokens);

// The position in `to` of the token found at `pos` in `from`, two texts of
// one shape (a statement's start in the text a program was compiled from,
// moved into another text it runs for). npos stays npos; a position that is
// no token's start is returned as it is.
std::size_t MovePosition(std::string_view from, std::string_view to, std::size_t pos);

}  // namespace orva::tsql
