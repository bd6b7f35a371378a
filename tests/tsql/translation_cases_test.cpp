// What the translator writes for each engine, read from the case files in
// tests/tsql/cases. A file holds cases of one topic:
//
//   # a comment line
//   === what the case shows
//   <T-SQL text, one or more lines>
//   --- sqlite
//   <the steps written for SQLite>
//   --- postgres
//   <the steps written for PostgreSQL>
//
// or, for a text the translator refuses, "--- error" followed by a part of
// its message. A step is written as "<kind>: <statement>", one line per
// statement; the steps of a block, IF or WHILE follow indented by two blanks
// (an ELSE branch after a line "else").
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/tsql/dialect.h"
#include "host/tsql/translator.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

namespace fs = std::filesystem;

struct Case {
    std::string file;
    int line = 0;
    std::string title;
    std::string tsql;
    std::string sqlite;
    std::string postgres;
    std::string error;
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

void Write(const std::vector<Step>& steps, const std::string& indent, std::ostringstream& out) {
    for (const Step& step : steps) {
        if (step.sql.empty())
            out << indent << KindName(step.kind) << "\n";
        for (const std::string& sql : step.sql)
            out << indent << KindName(step.kind) << ": " << sql << "\n";
        Write(step.body, indent + "  ", out);
        if (!step.elseBody.empty()) {
            out << indent << "else\n";
            Write(step.elseBody, indent + "  ", out);
        }
    }
}

// The program's steps as the case files write them.
std::string Written(const Program& program) {
    std::ostringstream out;
    Write(program.steps, "", out);
    return out.str();
}

std::vector<Case> ReadCases(const fs::path& path) {
    std::vector<Case> cases;
    std::ifstream in(path);
    std::string line;
    std::string* section = nullptr;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("=== ", 0) == 0) {
            cases.push_back({path.filename().string(), number, line.substr(4), {}, {}, {}, {}});
            section = &cases.back().tsql;
        } else if (cases.empty()) {
            if (!line.empty() && line[0] != '#')
                ADD_FAILURE() << path << ":" << number << ": text before the first case";
        } else if (line == "--- sqlite") {
            section = &cases.back().sqlite;
        } else if (line == "--- postgres") {
            section = &cases.back().postgres;
        } else if (line == "--- error") {
            section = &cases.back().error;
        } else if (line.rfind("---", 0) == 0) {
            ADD_FAILURE() << path << ":" << number << ": unknown section " << line;
        } else if (!(line.empty() && section != &cases.back().tsql)) {
            *section += line + "\n";
        }
    }
    for (Case& c : cases) {
        // The T-SQL text is sent as the module sends it: lines joined by CR LF.
        while (!c.tsql.empty() && c.tsql.back() == '\n') c.tsql.pop_back();
        std::string crlf;
        for (char ch : c.tsql) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        c.tsql = crlf;
        while (!c.error.empty() && c.error.back() == '\n') c.error.pop_back();
    }
    return cases;
}

std::vector<Case> AllCases() {
    std::vector<Case> all;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(ORVA_SOURCE_DIR "/tests/tsql/cases"))
        if (entry.path().extension() == ".cases")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
        std::vector<Case> cases = ReadCases(f);
        all.insert(all.end(), cases.begin(), cases.end());
    }
    return all;
}

// The steps written for the engine, or "refused: <message>".
std::string Translated(const std::string& tsql, const Dialect& dialect) {
    try {
        return Written(Compile(tsql, dialect));
    } catch (const TsqlError& e) {
        return std::string("refused: ") + e.what() + "\n";
    }
}

TEST(TranslationCases, EachEngineGetsTheExpectedStatements) {
    const std::vector<Case> cases = AllCases();
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ":" + std::to_string(c.line) + ": " + c.title);
        if (!c.error.empty()) {
            EXPECT_TRUE(c.sqlite.empty() && c.postgres.empty()) << "an error case writes nothing";
            for (const Dialect* dialect : {&SqliteDialect(), &PostgresDialect()}) {
                const std::string written = Translated(c.tsql, *dialect);
                EXPECT_EQ(written.rfind("refused: ", 0), 0u) << dialect->Engine() << "\n"
                                                             << written;
                EXPECT_NE(written.find(c.error), std::string::npos) << dialect->Engine() << "\n"
                                                                    << written;
            }
            continue;
        }
        EXPECT_FALSE(c.sqlite.empty() || c.postgres.empty()) << "a case names both engines";
        EXPECT_EQ(Translated(c.tsql, SqliteDialect()), c.sqlite) << "SQLite";
        EXPECT_EQ(Translated(c.tsql, PostgresDialect()), c.postgres) << "PostgreSQL";
    }
}

}  // namespace
}  // namespace orva::tsql
