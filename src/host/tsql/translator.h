// Turns a parsed T-SQL batch into statements of one database engine (its
// Dialect) with SQL Server's results: variables become numbered parameters
// (1 is @@ROWCOUNT, n+1 the variable of slot n), TOP n becomes LIMIT n, #temp
// tables become temporary tables of the connection, T-SQL functions map to
// the layer's functions, text comparisons between expressions get the
// case-insensitive collation, and '/' raises the database's divide-by-zero
// error.
#pragma once

#include <string_view>
#include <vector>

#include "host/tsql/ast.h"
#include "host/tsql/dialect.h"
#include "host/tsql/program.h"
#include "host/tsql/tokenizer.h"

namespace orva::tsql {

// Throws TsqlError for what SQL Server would refuse (SELECT DISTINCT with an
// ORDER BY item outside the select list) or a construct the layer cannot
// translate, naming it.
Program Translate(Batch batch, std::string_view source, const Dialect& dialect);

// Parses and translates.
Program Compile(std::string_view source, const Dialect& dialect);

// Parses and translates the text's tokens (as Tokenize gives them) so that its
// bindable literals (literals.h) are parameters of the statements wherever
// the translation does not depend on their values. The program runs for
// every text of the same shape whose pinned literals are the same; the
// interpreter binds the others from the text being run.
Program CompileBindingLiterals(std::string_view source, std::vector<Token> tokens,
                               const Dialect& dialect);

}  // namespace orva::tsql
