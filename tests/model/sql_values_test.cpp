// Values written into statements: each literal must read back as the value it
// was made from. Text literals are checked by letting SQLite evaluate them,
// whose quoting rules for '...' are those of T-SQL.
#include <sqlite3.h>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// Evaluates "SELECT <literal>" and returns the result as text, or as the
// text of a double read back in full precision when asDouble.
std::string Evaluate(const std::string& literal, bool asDouble = false) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    std::string sql = "SELECT " + literal;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, &tail);
    std::string out = "<error>";
    // The whole text must be one statement: nothing may be left after it.
    if (rc == SQLITE_OK && tail && *tail == '\0' && sqlite3_step(stmt) == SQLITE_ROW) {
        if (asDouble) {
            out = FormatDouble(sqlite3_column_double(stmt, 0));
        } else {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            out = text ? std::string(text, sqlite3_column_bytes(stmt, 0)) : "<null>";
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

TEST(SqlValues, TextIsQuotedWithQuotesDoubled) {
    EXPECT_EQ(SqlText("O'Brien"), "'O''Brien'");
    EXPECT_EQ(SqlText(""), "''");
    EXPECT_EQ(SqlText("''"), "''''''");
    // Whatever the text holds, the literal is one value and reads back intact.
    for (std::string v : {"O'Brien", "a';DROP TABLE t_Cust;--", "';'", "x'); DELETE FROM t;",
                          "客户'名称; 备注", "", "'", "trailing '"}) {
        EXPECT_EQ(Evaluate(SqlText(v)), v) << v;
    }
}

TEST(SqlValues, NumbersInShortestCLocaleForm) {
    EXPECT_EQ(SqlNumber(0.1), "0.1");
    EXPECT_EQ(SqlNumber(80.0), "80");
    EXPECT_EQ(SqlNumber(-12.5), "-12.5");
    EXPECT_EQ(SqlNumber(-0.0), "0");
    for (double v : {0.1, 1.0 / 3.0, 123456789.125, 1e-7, 99999999999999.98, -2.5e-3}) {
        std::string text = SqlNumber(v);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_EQ(Evaluate(text, true), FormatDouble(v)) << text;
    }
    EXPECT_THROW(SqlNumber(std::numeric_limits<double>::quiet_NaN()), ComError);
    EXPECT_THROW(SqlNumber(std::numeric_limits<double>::infinity()), ComError);
}

TEST(SqlValues, IdsFlagsAndFixedLiterals) {
    EXPECT_EQ(SqlId(0), "0");
    EXPECT_EQ(SqlId(-2147483648LL), "-2147483648");
    EXPECT_EQ(SqlId(2147483647), "2147483647");
    EXPECT_EQ(SqlFlag(true), "1");
    EXPECT_EQ(SqlFlag(false), "0");
    EXPECT_EQ(kFBrNo, "'0'");
    EXPECT_EQ(Evaluate(std::string(kFBrNo)), "0");
}

TEST(SqlValues, DatesAsQuotedIsoText) {
    EXPECT_EQ(SqlDate(Date{2024, 3, 1}), "'2024-03-01'");
    EXPECT_EQ(SqlDate("2100-01-01"), "'2100-01-01'");
    EXPECT_EQ(SqlDate("2024-3-1"), "'2024-03-01'");
    EXPECT_EQ(SqlDate("2024/03/01"), "'2024-03-01'");
    EXPECT_EQ(SqlDate("2024-02-29 00:00:00"), "'2024-02-29'");
    EXPECT_EQ(SqlToday(), "'" + Date::Today().ToText() + "'");
    for (const char* bad : {"2023-02-29", "2024-13-01", "abc", "", "2024-01-01'; --"}) {
        EXPECT_THROW(SqlDate(bad), ComError) << bad;
    }
    EXPECT_THROW(SqlDate(Date{2024, 4, 31}), ComError);
}

TEST(SqlValues, LinesJoinedWithCrLfWithoutTerminator) {
    EXPECT_EQ(SqlLines({"SELECT 1", "FROM t", "WHERE 1=1"}), "SELECT 1\r\nFROM t\r\nWHERE 1=1");
    EXPECT_EQ(SqlLines({"SELECT 1"}), "SELECT 1");
    EXPECT_EQ(SqlLines({}), "");
    EXPECT_EQ(kCrLf, "\r\n");
}

}  // namespace
}  // namespace orva
