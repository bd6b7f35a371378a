#include "host/tsql/tokenizer.h"

#include "host/base/text_util.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {

bool Token::Is(std::string_view keyword) const {
    return kind == TokKind::Ident && EqualsNoCase(text, keyword);
}

namespace {

bool IsIdentStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

bool IsIdentChar(unsigned char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '@' || c == '$' || c == '#';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a block comment starting at i; the position after it. Block
// comments nest in T-SQL.
std::size_t SkipBlockComment(std::string_view s, std::size_t i) {
    const std::size_t n = s.size();
    const std::size_t start = i;
    int depth = 0;
    do {
        if (i + 1 < n && s[i] == '/' && s[i + 1] == '*') {
            ++depth;
            i += 2;
        } else if (i + 1 < n && s[i] == '*' && s[i + 1] == '/') {
            --depth;
            i += 2;
        } else if (i >= n) {
            throw TsqlError("Missing end comment mark '*/'.", start);
        } else {
            ++i;
        }
    } while (depth > 0);
    return i;
}

// Reads the string literal ('...' or N'...') at i into t; the position after it.
std::size_t ReadString(std::string_view s, std::size_t i, Token& t) {
    const std::size_t n = s.size();
    std::size_t k = i + (s[i] == '\'' ? 1 : 2);
    t.kind = TokKind::String;
    for (;;) {
        std::size_t quote = s.find('\'', k);
        if (quote == std::string_view::npos) {
            t.text.append(s.substr(k));
            throw TsqlError("Unclosed quotation mark after the character string '" + t.text + "'.",
                            i);
        }
        t.text.append(s.substr(k, quote - k));
        if (quote + 1 < n && s[quote + 1] == '\'') {
            t.text.push_back('\'');
            k = quote + 2;
            continue;
        }
        return quote + 1;
    }
}

// Reads the quoted identifier ([...] or "...") at i into t; the position
// after it.
std::size_t ReadQuotedIdent(std::string_view s, std::size_t i, Token& t) {
    const std::size_t n = s.size();
    const char close = s[i] == '[' ? ']' : '"';
    std::size_t k = i + 1;
    t.kind = TokKind::QuotedIdent;
    for (;;) {
        if (k >= n)
            throw TsqlError("Unclosed quoted identifier.", i);
        if (s[k] == close) {
            if (k + 1 < n && s[k + 1] == close) {
                t.text.push_back(close);
                k += 2;
                continue;
            }
            return k + 1;
        }
        t.text.push_back(s[k++]);
    }
}

// Reads the number at i (digits, a fraction, an exponent) into t; the
// position after it.
std::size_t ReadNumber(std::string_view s, std::size_t i, Token& t) {
    const std::size_t n = s.size();
    std::size_t k = i;
    while (k < n && IsDigit(s[k])) ++k;
    t.isInteger = true;
    if (k < n && s[k] == '.') {
        t.isInteger = false;
        ++k;
        while (k < n && IsDigit(s[k])) ++k;
    }
    if (k < n && (s[k] == 'e' || s[k] == 'E')) {
        std::size_t e = k + 1;
        if (e < n && (s[e] == '+' || s[e] == '-'))
            ++e;
        if (e < n && IsDigit(s[e])) {
            while (e < n && IsDigit(s[e])) ++e;
            k = e;
            t.isInteger = false;
        }
    }
    t.kind = TokKind::Number;
    t.text = std::string(s.substr(i, k - i));
    return k;
}

// Reads the operator or punctuation at i into t; the position after it.
// Two-character operators: <> != <= >= !< !> and the compound assignments
// += -= *= /= %= &= |= ^=.
std::size_t ReadSymbol(std::string_view s, std::size_t i, Token& t) {
    const char c = s[i];
    t.kind = TokKind::Symbol;
    if (i + 1 < s.size()) {
        const char d = s[i + 1];
        const bool two =
            (c == '<' && (d == '>' || d == '=')) || (c == '>' && d == '=') ||
            (c == '!' && (d == '=' || d == '<' || d == '>')) ||
            (d == '=' && std::string_view("+-*/%&|^").find(c) != std::string_view::npos);
        if (two)
            t.text = std::string(s.substr(i, 2));
    }
    if (t.text.empty()) {
        if (std::string_view("(),.;*/%+-=<>~&|^:").find(c) == std::string_view::npos) {
            throw TsqlError("Incorrect syntax near '" + std::string(1, c) + "'.", i);
        }
        t.text = std::string(1, c);
    }
    return i + t.text.size();
}

}  // namespace

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    out.reserve(s.size() / 4 + 2);
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto identEnd = [&](std::size_t k) {
        while (k < n && IsIdentChar(static_cast<unsigned char>(s[k]))) ++k;
        return k;
    };
    while (i < n) {
        char c = s[i];
        unsigned char uc = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            i = SkipBlockComment(s, i);
            continue;
        }
        Token t;
        t.pos = i;
        if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'')) {
            i = ReadString(s, i, t);
        } else if (c == '[' || c == '"') {
            i = ReadQuotedIdent(s, i, t);
        } else if (c == '@') {
            bool sys = i + 1 < n && s[i + 1] == '@';
            std::size_t start = i + (sys ? 2 : 1);
            std::size_t k = identEnd(start);
            if (k == start)
                throw TsqlError("Incorrect syntax near '@'.", i);
            t.kind = sys ? TokKind::SysVariable : TokKind::Variable;
            t.text = std::string(s.substr(i, k - i));
            i = k;
        } else if (c == '#') {
            std::size_t k = i + 1;
            if (k < n && s[k] == '#')
                ++k;
            std::size_t end = identEnd(k);
            if (end == k)
                throw TsqlError("Incorrect syntax near '#'.", i);
            t.kind = TokKind::TempName;
            t.text = std::string(s.substr(i, end - i));
            i = end;
        } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(s[i + 1]))) {
            i = ReadNumber(s, i, t);
        } else if (IsIdentStart(uc)) {
            std::size_t k = identEnd(i + 1);
            t.kind = TokKind::Ident;
            t.text = std::string(s.substr(i, k - i));
            i = k;
        } else {
            i = ReadSymbol(s, i, t);
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.pos = n;
    out.push_back(std::move(end));
    return out;
}

}  // namespace orva::tsql
