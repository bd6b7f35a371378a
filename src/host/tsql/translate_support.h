// What the translator's classes share about an expression: its type as far
// as the translation needs it, the T-SQL functions the layer knows, and the
// tests that look through parentheses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/tsql/ast.h"
#include "host/tsql/dialect.h"

namespace orva::tsql {

enum class Ty { Unknown, Number, Text, Null };

// A text literal of the statement, its quotes doubled.
std::string QuoteString(std::string_view s);

// The expression inside any parentheses.
const Expr& Unparen(const Expr& e);

bool IsColumn(const Expr& e);

[[noreturn]] void Unsupported(const Dialect& d, const std::string& construct, std::size_t pos);

struct FuncInfo {
    const char* name;
    int minArgs, maxArgs;
    Ty type;  // Unknown: the type of the first argument
};

// A T-SQL function the layer translates, by its upper-case name; nullptr for
// any other.
const FuncInfo* FindTsqlFunction(const std::string& upperName);

bool SameText(const std::string& a, const std::string& b);

// Whether two expressions are the same for SQL Server's "ORDER BY items must
// appear in the select list" test.
bool SameExpr(const Expr& x, const Expr& y);

}  // namespace orva::tsql
