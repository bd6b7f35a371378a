// The connection's translation cache: texts of one shape share a program
// unless they differ in a literal the program holds as written; the least
// recently used program goes first.
#include <gtest/gtest.h>

#include <string>

#include "host/db/sqlite/sqlite_dialect.h"
#include "host/tsql/program_cache.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

std::string Select(int id, const std::string& name) {
    return "SELECT * FROM t_Cust WHERE FItemID=" + std::to_string(id) + " AND FName='" + name + "'";
}

TEST(ProgramCache, TextsOfOneShapeShareAProgramAndCarryTheirValues) {
    ProgramCache cache(SqliteDialect(), 8);
    ProgramCache::Found a = cache.Get(Select(1, "x"));
    ProgramCache::Found b = cache.Get(Select(22, "it''s"));
    ProgramCache::Found c = cache.Get("select * from t_Cust where FItemID=1 and FName='x'");
    EXPECT_EQ(cache.Compiles(), 2u);  // the spelling of names makes another shape
    EXPECT_EQ(a.program, b.program);
    EXPECT_NE(a.program, c.program);
    ASSERT_EQ(b.literals->size(), 2u);
    EXPECT_EQ((*b.literals)[0].ToInteger(), 22);
    EXPECT_EQ((*b.literals)[1].ToText(), "it's");
    // Blanks, line breaks and comments are not part of the shape.
    cache.Get("SELECT *\r\n  FROM t_Cust /* x */ WHERE FItemID=5 AND FName='y' -- end");
    EXPECT_EQ(cache.Compiles(), 2u);
    // A number and a string in the same place are different shapes.
    cache.Get("SELECT * FROM t_Cust WHERE FItemID='5' AND FName='y'");
    EXPECT_EQ(cache.Compiles(), 3u);
    // A text sent again whole is not split again, and brings its own values.
    EXPECT_EQ(cache.Tokenized(), 5u);
    ProgramCache::Found again = cache.Get(Select(22, "it''s"));
    EXPECT_EQ(cache.Tokenized(), 5u);
    EXPECT_EQ(again.program, a.program);
    EXPECT_EQ((*again.literals)[0].ToInteger(), 22);
    EXPECT_EQ((*cache.Get(Select(1, "x")).literals)[0].ToInteger(), 1);
}

TEST(ProgramCache, LiteralsWrittenIntoTheProgramSelectItsVariant) {
    ProgramCache cache(SqliteDialect(), 8);
    auto ordered = [&](int column, int top) {
        return cache.Get("SELECT TOP " + std::to_string(top) +
                         " FItemID, FName FROM t_Cust WHERE FItemID > 3 ORDER BY " +
                         std::to_string(column));
    };
    auto first = ordered(1, 10).program;
    EXPECT_EQ(ordered(2, 10).program == first, false);
    EXPECT_EQ(ordered(1, 5).program == first, false);
    EXPECT_EQ(cache.Compiles(), 3u);
    EXPECT_EQ(ordered(1, 10).program, first);  // the 3 of the WHERE clause is bound
    EXPECT_EQ(
        cache.Get("SELECT TOP 10 FItemID, FName FROM t_Cust WHERE FItemID > 4 ORDER BY 1").program,
        first);
    EXPECT_EQ(cache.Compiles(), 3u);
    ASSERT_EQ(first->pinnedLiterals.size(), 2u);  // TOP and the ORDER BY position
}

TEST(ProgramCache, DropsTheLeastRecentlyUsedAndKeepsErrorsOut) {
    ProgramCache cache(SqliteDialect(), 2);
    cache.Get("SELECT 1 AS a");
    cache.Get("SELECT 1 AS a, 2 AS b");
    cache.Get("SELECT 5 AS a");  // the first shape, now the most recent
    cache.Get("SELECT 1 AS a, 2 AS b, 3 AS c");
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_EQ(cache.Compiles(), 3u);
    cache.Get("SELECT 9 AS a");
    EXPECT_EQ(cache.Compiles(), 3u);
    cache.Get("SELECT 9 AS a, 8 AS b");  // dropped: compiled again
    EXPECT_EQ(cache.Compiles(), 4u);
    EXPECT_THROW(cache.Get("SELECT FROM WHERE"), TsqlError);
    EXPECT_THROW(cache.Get("SELECT FROM WHERE"), TsqlError);
    EXPECT_EQ(cache.Size(), 2u);
}

}  // namespace
}  // namespace orva::tsql
