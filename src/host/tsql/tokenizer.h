// Splits a T-SQL text into tokens: identifiers ([bracketed] and "quoted"
// too), @variables, @@system variables, #temp names, numbers, 'strings'
// (N'...' included, '' unescaped) and symbols. Comments and blanks vanish.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orva::tsql {

enum class TokKind {
    End,
    Ident,
    QuotedIdent,
    Variable,
    SysVariable,
    TempName,
    Number,
    String,
    Symbol
};

struct Token {
    TokKind kind = TokKind::End;
    std::string text;  // identifier without brackets, string value unescaped, symbol text
    std::size_t pos = 0;
    bool isInteger = false;  // Number: digits only

    // Case-insensitive keyword test for a bare identifier.
    bool Is(std::string_view keyword) const;
    bool IsSymbol(std::string_view s) const { return kind == TokKind::Symbol && text == s; }
};

// Throws TsqlError for an unterminated string, identifier or comment, or a
// character the language does not know.
std::vector<Token> Tokenize(std::string_view sql);

}  // namespace orva::tsql
