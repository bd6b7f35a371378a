// What the translator writes for each engine, read from the case files in
// tests/tsql/cases. A file holds cases of one topic:
//
//   # comment lines, before the first case
//   === what the case shows
//   <T-SQL text, one or more lines>
//   --- sqlite
//   <the steps written for SQLite>
//   --- postgres
//   <the steps written for PostgreSQL>
//
// or, for a text the translator refuses, "--- error" followed by a part of
// its message ("{engine}" in it stands for the engine's name). A step is written as "<kind>:
// <statement>", one line per statement; the steps of a block, IF or WHILE follow indented by two
// blanks (an ELSE branch after a line "else").
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/db/postgres/postgres_dialect.h"
#include "host/db/sqlite/sqlite_dialect.h"
#include "host/tsql/dialect.h"
#include "host/tsql/translator.h"
#include "host/tsql/tsql_error.h"
#include "orva_build_paths.h"

namespace orva::tsql {
namespace {

// The sections of one case by name ("tsql" for the text), and where it starts.
struct Case {
    std::string where;
    std::map<std::string, std::string> sections;
};

const char* KindName(Step::Kind kind) {
    switch (kind) {
        case Step::Kind::Query:
            return "query";
        case Step::Kind::Assign:
            return "assign";
        case Step::Kind::Exec:
            return "exec";
        case Step::Kind::If:
            return "if";
        case Step::Kind::While:
            return "while";
        case Step::Kind::Block:
            return "block";
        case Step::Kind::Break:
            return "break";
        case Step::Kind::Continue:
            return "continue";
        case Step::Kind::Return:
            return "return";
        case Step::Kind::Nop:
            return "nop";
    }
    return "?";
}

void Write(const std::vector<Step>& steps, const std::string& indent, std::string& out) {
    for (const Step& step : steps) {
        const std::string kind = indent + KindName(step.kind);
        if (step.sql.empty())
            out += kind + "\n";
        for (const std::string& sql : step.sql) out += kind + ": " + sql + "\n";
        Write(step.body, indent + "  ", out);
        if (!step.elseBody.empty()) {
            out += indent + "else\n";
            Write(step.elseBody, indent + "  ", out);
        }
    }
}

// The steps written for the engine, or "refused: <message>".
std::string Translated(std::string tsql, const Dialect& dialect) {
    // The text is sent as the module sends it: lines joined by CR LF.
    for (std::size_t at = tsql.find('\n'); at != std::string::npos; at = tsql.find('\n', at + 2))
        tsql.insert(at, "\r");
    std::string out;
    try {
        Write(Compile(tsql, dialect).steps, "", out);
    } catch (const TsqlError& e) {
        out = std::string("refused: ") + e.what() + "\n";
    }
    return out;
}

std::vector<Case> ReadCases() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(ORVA_SOURCE_DIR "/tests/tsql/cases"))
        if (entry.path().extension() == ".cases")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<Case> cases;
    for (const auto& file : files) {
        std::ifstream in(file);
        std::string line, section;
        for (int number = 1; std::getline(in, line); ++number) {
            if (line.rfind("=== ", 0) == 0) {
                cases.push_back({file.filename().string() + ":" + std::to_string(number) + ": " +
                                     line.substr(4),
                                 {}});
                section = "tsql";
            } else if (line.rfind("--- ", 0) == 0) {
                section = line.substr(4);
            } else if (!section.empty() && !line.empty()) {
                cases.back().sections[section] += line + "\n";
            }
        }
    }
    for (Case& c : cases) {
        if (!c.sections["tsql"].empty())
            c.sections["tsql"].pop_back();  // the text's last line break
    }
    return cases;
}

TEST(TranslationCases, EachEngineGetsTheExpectedStatements) {
    const std::vector<Case> cases = ReadCases();
    ASSERT_FALSE(cases.empty());
    for (Case c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(c.sections.size(), c.sections.count("error") ? 2u : 3u) << "unknown sections";
        const std::string& tsql = c.sections["tsql"];
        if (c.sections.count("error")) {
            std::string part = c.sections["error"];
            part.pop_back();
            for (const Dialect* dialect : {&SqliteDialect(), &PostgresDialect()}) {
                const std::string written = Translated(tsql, *dialect);
                std::string expected = part;  // "{engine}" stands for the engine refusing it
                if (std::size_t at = expected.find("{engine}"); at != std::string::npos)
                    expected.replace(at, 8, dialect->Engine());
                EXPECT_TRUE(written.rfind("refused: ", 0) == 0 &&
                            written.find(expected) != std::string::npos)
                    << dialect->Engine() << "\n"
                    << written;
            }
            continue;
        }
        EXPECT_EQ(Translated(tsql, SqliteDialect()), c.sections["sqlite"]) << "SQLite";
        EXPECT_EQ(Translated(tsql, PostgresDialect()), c.sections["postgres"]) << "PostgreSQL";
    }
}

}  // namespace
}  // namespace orva::tsql
