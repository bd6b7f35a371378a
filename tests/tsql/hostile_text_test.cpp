// Texts built to hurt the layer: nesting far deeper than any real statement,
// sizes that do not fit an integer. Each must end in the layer's own error,
// never in a crash or a bare library exception.
#include <string>
#include <vector>

#include "host/base/nesting_depth.h"
#include "host/db/sqlite/sqlite_dialect.h"
#include "host/tsql/parser.h"
#include "host/tsql/translator.h"
#include "host/tsql/tree_depth.h"
#include "host/tsql/tsql_error.h"
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

std::string Repeat(const std::string& s, int n) {
    std::string o;
    o.reserve(s.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) o += s;
    return o;
}

// One shape of nested text, n levels deep; `marker` is the text the error
// must point at (any, when null).
struct Shape {
    const char* name;
    std::string (*build)(int n);
    const char* marker;
};

const Shape kShapes[] = {
    {"parentheses", [](int n) { return "SELECT " + Repeat("(", n) + "1" + Repeat(")", n); }, "("},
    {"NOT", [](int n) { return "SELECT 1 WHERE " + Repeat("NOT ", n) + "1 = 1"; }, "NOT"},
    {"unary minus", [](int n) { return "SELECT " + Repeat("- ", n) + "1"; }, "-"},
    {"IF", [](int n) { return Repeat("IF 1 = 1 ", n) + "SELECT 1"; }, nullptr},
    {"BEGIN", [](int n) { return Repeat("BEGIN ", n) + "SELECT 1 " + Repeat("END ", n); }, "BEGIN"},
    {"IN (SELECT",
     [](int n) {
         return "SELECT 1 WHERE 1 IN (" + Repeat("SELECT 1 WHERE 1 IN (", n) + "SELECT 1" +
                Repeat(")", n + 1);
     },
     nullptr},
    {"derived tables",
     [](int n) {
         return "SELECT * FROM " + Repeat("(SELECT * FROM ", n) + "t_Cust" + Repeat(") x", n);
     },
     "SELECT"},
    {"AND chain", [](int n) { return "SELECT 1 WHERE 1 = 1" + Repeat(" AND 1 = 1", n); }, "AND"},
    {"OR chain", [](int n) { return "SELECT 1 WHERE 1 = 1" + Repeat(" OR 1 = 1", n); }, "OR"},
    {"+ chain", [](int n) { return "SELECT 1" + Repeat(" + 1", n); }, "+"},
    {"* chain", [](int n) { return "SELECT 1" + Repeat(" * 1", n); }, "*"},
};

std::string CompileError(const std::string& sql, std::size_t* pos = nullptr) {
    try {
        tsql::Compile(sql, SqliteDialect());
    } catch (const tsql::TsqlError& e) {
        if (pos)
            *pos = e.Pos();
        return e.what();
    }
    return "";
}

// Nested as deep as the reproducers crashed the process: each is
// refused with an error that names where the nesting went too deep.
TEST(NestingLimit, HostileDepthsAreRefusedNamingThePosition) {
    for (const Shape& s : kShapes) {
        for (int n : {8000, 12000, 100000}) {
            const std::string sql = s.build(n);
            std::size_t pos = std::string::npos;
            const std::string error = CompileError(sql, &pos);
            EXPECT_NE(error.find("too deeply nested"), std::string::npos) << s.name << " " << n;
            ASSERT_LT(pos, sql.size()) << s.name;
            if (s.marker) {
                EXPECT_EQ(sql.compare(pos, std::string(s.marker).size(), s.marker), 0)
                    << s.name << ": " << sql.substr(pos, 20);
            }
            EXPECT_NE(error.find("offset " + std::to_string(pos)), std::string::npos) << error;
        }
    }
}

// Every shape is accepted up to one depth and refused one level further, and
// that depth leaves room for any statement a person or the module writes.
TEST(NestingLimit, EachShapeStopsAtOneDepth) {
    for (const Shape& s : kShapes) {
        int deepest = 0;
        while (deepest <= NestingDepth::kMaxLevels && CompileError(s.build(deepest + 1)).empty())
            ++deepest;
        EXPECT_GE(deepest, NestingDepth::kMaxLevels / 3) << s.name;
        EXPECT_LE(deepest, NestingDepth::kMaxLevels) << s.name;
        EXPECT_NE(CompileError(s.build(deepest + 1)).find("too deeply nested"), std::string::npos)
            << s.name << " at " << deepest + 1;
    }
}

// A tree the parser did not build (a deep NOT chain) is refused by the
// translator before its recursive walks, and one just inside its limit passes.
TEST(NestingLimit, TranslatorRefusesATreeDeeperThanItsLimit) {
    auto deepBatch = [](int depth) {
        tsql::Batch batch = tsql::ParseBatch("SELECT 1 WHERE 1 = 1");
        tsql::ExprPtr& where = batch.statements[0]->select->cores[0].where;
        for (int i = 0; i < depth; ++i) {
            auto e = std::make_unique<tsql::Expr>(tsql::ExprKind::Not, 100 + i);
            e->args.push_back(std::move(where));
            where = std::move(e);
        }
        return batch;
    };
    // statement, select, then the NOTs over a comparison of two numbers
    const int fits = tsql::kMaxTreeDepth - 4;
    EXPECT_NO_THROW(tsql::Translate(deepBatch(fits), "x", SqliteDialect()));
    try {
        tsql::Translate(deepBatch(fits + 1), "x", SqliteDialect());
        ADD_FAILURE() << "a tree past the limit was translated";
    } catch (const tsql::TsqlError& e) {
        EXPECT_NE(std::string(e.what()).find("too deeply nested"), std::string::npos);
        EXPECT_EQ(e.Pos(), 15u);  // the comparison's first operand is the node past the limit
    }
}

class HostileText : public TsqlTest {};

// Through a connection: the host gets a database error with the line, and
// the connection stays usable.
TEST_P(HostileText, DeepNestingIsADatabaseErrorAndTheConnectionGoesOn) {
    const std::string sql = "SELECT 1\r\nSELECT " + Repeat("(", 8000) + "1" + Repeat(")", 8000);
    const std::string error = ErrorOf(sql);
    EXPECT_NE(error.find("too deeply nested"), std::string::npos) << error.substr(0, 200);
    EXPECT_NE(error.find("(line 2: (((("), std::string::npos) << error.substr(0, 300);
    EXPECT_EQ(Scalar("SELECT 2").ToInteger(), 2);
}

// Type sizes: a number too big for an integer, or past what the server takes,
// is the layer's error naming the number.
TEST_P(HostileText, TypeSizesOutOfRangeNameTheNumber) {
    struct Case {
        const char* sql;
        const char* error;
    };
    const Case cases[] = {
        {"SELECT CAST(1 AS VARCHAR(99999999999))",
         "The size (99999999999) given to the type 'VARCHAR' exceeds the maximum allowed for any "
         "data type (8000)."},
        {"DECLARE @v NVARCHAR(4001)", "The size (4001) given to the type 'NVARCHAR'"},
        {"SELECT CONVERT(DECIMAL(39, 2), 1)", "The size (39) given to the type 'DECIMAL'"},
        {"SELECT CAST(1 AS DECIMAL(10, 11))", "The scale (11) for type 'DECIMAL'"},
        {"SELECT CAST(1 AS NUMERIC(0))",
         "The length or precision 0 given to the type 'NUMERIC' is invalid"},
        {"DECLARE @d DATETIME2(99999999999999999999)", "The size (99999999999999999999)"},
    };
    for (const Case& c : cases) {
        const std::string error = ErrorOf(c.sql);
        EXPECT_NE(error.find(c.error), std::string::npos) << c.sql << "\n" << error;
        EXPECT_NE(error.find("(line 1: "), std::string::npos) << error;
    }
    EXPECT_EQ(Scalar("SELECT CAST('abc' AS VARCHAR(8000))").ToText(), "abc");
    EXPECT_EQ(Scalar("SELECT CAST(2.5 AS DECIMAL(38, 38))").IsNull(), false);
}

INSTANTIATE_TEST_SUITE_P(Engines, HostileText, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
