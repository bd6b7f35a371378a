// Texts that differ only in their literals run one translation with the
// literals bound: every text must still see its own values, and literals the
// translation depends on (ORDER BY positions, TOP, column names, LIKE
// patterns, CONVERT styles) must still act as written.
#include <cstdint>
#include <limits>

#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

using Strings = std::vector<std::string>;

class LiteralBinding : public TsqlTest {
  protected:
    void SetUp() override {
        Run("CREATE TABLE t_Lit (FID INT NOT NULL PRIMARY KEY, FName NVARCHAR(40), "
            "FPrice DECIMAL(18,4), FDate DATETIME)");
    }

    std::string Insert(int id, const std::string& name, const std::string& price,
                       const std::string& date) {
        return "INSERT INTO t_Lit (FID, FName, FPrice, FDate) VALUES (" + std::to_string(id) +
               ", " + name + ", " + price + ", " + date + ")";
    }

    // FName, FPrice and FDate of a row as text ("<null>" for Null).
    Strings Row(int id) {
        RecordsetPtr rs =
            Query("SELECT FName, FPrice, FDate FROM t_Lit WHERE FID = " + std::to_string(id));
        Strings out;
        if (rs->EOF_())
            return out;
        for (int c = 0; c < 3; ++c) {
            Variant v = rs->Fields(c).Value();
            out.push_back(v.IsNull() ? "<null>" : v.ToText());
        }
        return out;
    }
};

TEST_P(LiteralBinding, EveryTextOfOneShapeWritesAndReadsItsOwnValues) {
    Run(Insert(1, "'plain'", "12.5", "'2025-03-01'"));
    Run(Insert(2, "N'它''s 中文 ''quoted'''", "-3.25", "'2100-01-01'"));
    Run(Insert(3, "''", "-7", "'1999-12-31'"));
    Run(Insert(4, "NULL", "0", "NULL"));
    Run(Insert(5, "'a;b'' DROP TABLE t_Lit --'", "1e3", "'2024-02-29'"));
    EXPECT_EQ(Row(1), (Strings{"plain", "12.5", "2025-03-01"}));
    EXPECT_EQ(Row(2), (Strings{"它's 中文 'quoted'", "-3.25", "2100-01-01"}));
    EXPECT_EQ(Row(3), (Strings{"", "-7", "1999-12-31"}));
    EXPECT_EQ(Row(4), (Strings{"<null>", "0", "<null>"}));
    EXPECT_EQ(Row(5), (Strings{"a;b' DROP TABLE t_Lit --", "1000", "2024-02-29"}));

    // Look-ups of one shape with other values find other rows.
    auto named = [&](const std::string& name) {
        return Column("SELECT FID FROM t_Lit WHERE FName = N'" + name + "' ORDER BY FID");
    };
    EXPECT_EQ(named("PLAIN "), (Strings{"1"}));  // the collation still applies
    EXPECT_EQ(named("它''s 中文 ''quoted''"), (Strings{"2"}));
    EXPECT_EQ(named("nothing"), Strings{});
    auto between = [&](const std::string& from, const std::string& to) {
        return Column("SELECT FID FROM t_Lit WHERE FDate BETWEEN '" + from + "' AND '" + to +
                      "' ORDER BY FID");
    };
    EXPECT_EQ(between("2000-01-01", "2099-12-31"), (Strings{"1", "5"}));
    EXPECT_EQ(between("1990-01-01", "2000-01-01"), (Strings{"3"}));
    EXPECT_EQ(Column("SELECT FID FROM t_Lit WHERE FPrice < -5"), (Strings{"3"}));
    EXPECT_EQ(Column("SELECT FID FROM t_Lit WHERE FPrice < -1 ORDER BY FID"), (Strings{"2", "3"}));
}

TEST_P(LiteralBinding, ValuesKeepTheirTypes) {
    auto row = [&](const std::string& a, const std::string& b, const std::string& c) {
        return Query("SELECT " + a + " AS a, " + b + " AS b, " + c + " AS c");
    };
    for (int i = 0; i < 2; ++i) {
        RecordsetPtr rs = i == 0 ? row("7", "2.5", "'x'") : row("-8", "-0.5", "N'中'");
        ASSERT_NE(rs->Fields(0).Value().AsInteger(), nullptr);
        ASSERT_NE(rs->Fields(1).Value().AsDouble(), nullptr);
        ASSERT_NE(rs->Fields(2).Value().AsText(), nullptr);
        EXPECT_EQ(rs->Fields(0).Value().ToInteger(), i == 0 ? 7 : -8);
        EXPECT_DOUBLE_EQ(rs->Fields(1).Value().ToDouble(), i == 0 ? 2.5 : -0.5);
        EXPECT_EQ(rs->Fields(2).Value().ToText(), i == 0 ? "x" : "中");
    }
    // Integer arithmetic stays integer; text with a number converts.
    EXPECT_EQ(Scalar("SELECT 7 / 2 AS q").ToInteger(), 3);
    EXPECT_EQ(Scalar("SELECT 9 / 2 AS q").ToInteger(), 4);
    EXPECT_DOUBLE_EQ(Scalar("SELECT 9.0 / 2 AS q").ToDouble(), 4.5);
    EXPECT_TRUE(FailsWith("SELECT 9 / 0 AS q", "Divide by zero"));
    // The extremes of 64-bit integers, as the database reads them written.
    Variant smallest = Scalar("SELECT -9223372036854775808 AS n");
    ASSERT_NE(smallest.AsInteger(), nullptr);
    EXPECT_EQ(*smallest.AsInteger(), std::numeric_limits<std::int64_t>::min());
    EXPECT_NE(Scalar("SELECT 9223372036854775808 AS n").AsDouble(), nullptr);
    Variant largest = Scalar("SELECT 9223372036854775807 AS n");
    ASSERT_NE(largest.AsInteger(), nullptr);
    EXPECT_EQ(*largest.AsInteger(), std::numeric_limits<std::int64_t>::max());
}

TEST_P(LiteralBinding, LiteralsTheTranslationDependsOnActAsWritten) {
    Run("INSERT INTO t_Lit (FID, FName, FPrice) VALUES (1,'b',30),(2,'c',10),(3,'a',20)");
    // ORDER BY a position sorts by that column.
    EXPECT_EQ(Column("SELECT FID, FName, FPrice FROM t_Lit ORDER BY 2"), (Strings{"3", "1", "2"}));
    EXPECT_EQ(Column("SELECT FID, FName, FPrice FROM t_Lit ORDER BY 3"), (Strings{"2", "3", "1"}));
    EXPECT_EQ(Column("SELECT FID, FName, FPrice FROM t_Lit ORDER BY 3 DESC, 1"),
              (Strings{"1", "3", "2"}));
    // TOP n.
    EXPECT_EQ(Query("SELECT TOP 1 FID FROM t_Lit ORDER BY FID")->RecordCount(), 1);
    EXPECT_EQ(Query("SELECT TOP 2 FID FROM t_Lit ORDER BY FID")->RecordCount(), 2);
    // A literal without an alias names its column.
    RecordsetPtr a = Query("SELECT 'first', FID FROM t_Lit WHERE FID = 1");
    RecordsetPtr b = Query("SELECT 'second', FID FROM t_Lit WHERE FID = 2");
    EXPECT_NE(a->FieldName(0).find("first"), std::string::npos) << a->FieldName(0);
    EXPECT_NE(b->FieldName(0).find("second"), std::string::npos) << b->FieldName(0);
    EXPECT_EQ(b->Fields(0).Value().ToText(), "second");
    // LIKE patterns, and the patterns the layer refuses.
    EXPECT_EQ(Column("SELECT FID FROM t_Lit WHERE FName LIKE 'a%'"), (Strings{"3"}));
    EXPECT_EQ(Column("SELECT FID FROM t_Lit WHERE FName LIKE 'c%'"), (Strings{"2"}));
    EXPECT_TRUE(FailsWith("SELECT FID FROM t_Lit WHERE FName LIKE '[ab]%'", "character class"));
    // CONVERT styles: a known one, then one the layer refuses.
    EXPECT_EQ(Scalar("SELECT CONVERT(DATETIME, '2024-03-05', 120) AS d").ToText(), "2024-03-05");
    EXPECT_TRUE(FailsWith("SELECT CONVERT(DATETIME, '2024-03-05', 101) AS d", "style 101"));
    // DISTINCT with ORDER BY compares the expressions, literals included.
    EXPECT_EQ(Column("SELECT DISTINCT FPrice + 1 AS p FROM t_Lit ORDER BY FPrice + 1"),
              (Strings{"11", "21", "31"}));
    EXPECT_TRUE(FailsWith("SELECT DISTINCT FPrice + 2 AS p FROM t_Lit ORDER BY FPrice + 1",
                          "ORDER BY items must appear"));
    // A table definition takes its default as written.
    auto defaulted = [&](const std::string& value) {
        return Scalar("CREATE TABLE #d (a INT, b VARCHAR(10) DEFAULT '" + value +
                      "') INSERT INTO #d (a) VALUES (1) SELECT b FROM #d DROP TABLE #d")
            .ToText();
    };
    EXPECT_EQ(defaulted("one"), "one");
    EXPECT_EQ(defaulted("two"), "two");
}

TEST_P(LiteralBinding, VariablesAndLiteralsTogetherAndLongInLists) {
    Run("INSERT INTO t_Lit (FID, FName) VALUES (1,'x'),(2,'y'),(3,'z')");
    auto count = [&](int from, const std::string& not_name) {
        return Scalar("DECLARE @from INT SET @from = " + std::to_string(from) +
                      " SELECT COUNT(*) FROM t_Lit WHERE FID >= @from AND FName <> '" + not_name +
                      "'")
            .ToInteger();
    };
    EXPECT_EQ(count(1, "x"), 2);
    EXPECT_EQ(count(2, "q"), 2);
    EXPECT_EQ(count(3, "z"), 0);
    // More literals than a statement can take as parameters.
    std::string in = "SELECT COUNT(*) FROM t_Lit WHERE FID IN (";
    for (int i = 0; i < 40000; ++i) in += std::to_string(i * 2 + 1) + ",";
    in += "2)";
    EXPECT_EQ(Scalar(in).ToInteger(), 3);
}

TEST_P(LiteralBinding, ErrorsPointIntoTheTextThatFailed) {
    Run("INSERT INTO t_Lit (FID, FName) VALUES (1, 'one')");
    const auto text = [](const std::string& name, int id) {
        return "UPDATE t_Lit SET FName = '" + name + "' WHERE FID = 1\r\n" +
               "INSERT INTO t_Lit (FID, FName) VALUES (" + std::to_string(id) + ", 'new')";
    };
    EXPECT_EQ(ErrorOf(text("a", 2)), "");
    EXPECT_TRUE(
        FailsWith(text("a much longer name than the first text had", 1),
                  {"UNIQUE", "(line 2: INSERT INTO t_Lit (FID, FName) VALUES (1, 'new'))"}));
    // The failed text changed nothing.
    EXPECT_EQ(Scalar("SELECT FName FROM t_Lit WHERE FID = 1").ToText(), "a");
}

INSTANTIATE_TEST_SUITE_P(Engines, LiteralBinding, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
