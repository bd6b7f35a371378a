// Recursive-descent parser for the T-SQL batches the module sends: statements
// need no separator (a statement ends where the next token cannot continue
// it), IF/ELSE/WHILE take one statement or a BEGIN ... END block.
#pragma once

#include <string_view>
#include <vector>

#include "host/tsql/ast.h"
#include "host/tsql/tokenizer.h"

namespace orva::tsql {

// Throws TsqlError: "Incorrect syntax near 'x'." for text that is not T-SQL,
// or a message naming the construct the layer does not support on `engine`
// (the dialect's Engine(), named in that message).
Batch ParseBatch(std::string_view sql, std::string_view engine = "SQLite");

// The same for a text already split by Tokenize (the End token last). Number
// and string expressions carry their ordinal among the text's bindable
// literals (literals.h).
Batch ParseBatch(std::vector<Token> tokens, std::string_view engine = "SQLite");

}  // namespace orva::tsql
