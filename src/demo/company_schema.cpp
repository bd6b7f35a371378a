#include "demo/company_schema.h"

#include <cctype>
#include <exception>

#include "demo/sqlite_writer.h"
#include "host/db/sqlite/sqlite_functions.h"

// The schema text is assembled into the library so that a program creating a
// company needs no file beside it. ORVA_SCHEMA_FILE is the absolute path of
// data/schema.sql, set by the build.
__asm__(
    ".pushsection .rodata.orva_company_schema, \"a\"\n"
    ".globl orva_company_schema_begin\n"
    ".hidden orva_company_schema_begin\n"
    ".globl orva_company_schema_end\n"
    ".hidden orva_company_schema_end\n"
    "orva_company_schema_begin:\n"
    ".incbin \"" ORVA_SCHEMA_FILE
    "\"\n"
    "orva_company_schema_end:\n"
    ".byte 0\n"
    ".popsection\n");

extern "C" const char orva_company_schema_begin[];
extern "C" const char orva_company_schema_end[];

namespace orva::demo {

std::string_view SchemaSql() {
    return std::string_view(
        orva_company_schema_begin,
        static_cast<std::size_t>(orva_company_schema_end - orva_company_schema_begin));
}

namespace {

std::string Trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace

std::vector<std::string> SplitSqlStatements(std::string_view script) {
    std::vector<std::string> out;
    std::string current;
    auto flush = [&] {
        std::string s = Trim(current);
        if (!s.empty())
            out.push_back(std::move(s));
        current.clear();
    };
    std::size_t i = 0;
    const std::size_t n = script.size();
    while (i < n) {
        char c = script[i];
        if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            while (i < n && script[i] != '\n') ++i;
            current += ' ';
        } else if (c == '/' && i + 1 < n && script[i + 1] == '*') {
            std::size_t end = script.find("*/", i + 2);
            i = end == std::string_view::npos ? n : end + 2;
            current += ' ';
        } else if (c == '\'' || c == '"' || c == '[') {
            // A quoted text or name runs to its closing quote; a doubled
            // quote inside it is part of it.
            char close = c == '[' ? ']' : c;
            current += c;
            ++i;
            while (i < n) {
                current += script[i];
                if (script[i] == close) {
                    if (i + 1 < n && script[i + 1] == close) {
                        current += script[++i];
                    } else {
                        ++i;
                        break;
                    }
                }
                ++i;
            }
        } else if (c == ';') {
            flush();
            ++i;
        } else {
            current += c;
            ++i;
        }
    }
    flush();
    return out;
}

bool IsIndexStatement(std::string_view statement) {
    std::string words;
    for (char c : statement) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!words.empty() && words.back() != ' ')
                words += ' ';
        } else {
            words += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (words.size() >= 20)
            break;
    }
    return words.starts_with("CREATE INDEX ") || words.starts_with("CREATE UNIQUE INDEX ");
}

void ApplySchema(sqlite3* db, SchemaPart part) {
    for (const std::string& statement : SplitSqlStatements(SchemaSql())) {
        bool index = IsIndexStatement(statement);
        if ((part == SchemaPart::kTables && index) || (part == SchemaPart::kIndexes && !index)) {
            continue;
        }
        char* error = nullptr;
        if (sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : sqlite3_errmsg(db);
            sqlite3_free(error);
            throw GeneratorError("Company schema statement failed: " + message +
                                 " (in: " + statement.substr(0, 120) + ")");
        }
    }
}

void RegisterCompanyCollation(sqlite3* db) {
    try {
        RegisterSqlServerCompat(db);
    } catch (const std::runtime_error& e) {
        throw GeneratorError(std::string("Cannot register the company collation: ") + e.what());
    }
}

}  // namespace orva::demo
